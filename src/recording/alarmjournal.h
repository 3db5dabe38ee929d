#pragma once

#include "acquisition/alarmwatch.h"

#include <QByteArray>
#include <QString>
#include <vector>

class QLocale;

// The alarm's journal beside a recording file, "<name>-alarmes.csv": a line an event,
// "date;heure;événement;valeur;limite;unité" in UTF-8 (a byte-order mark first, so that a
// spreadsheet reads its accents), the date as yyyy-mm-dd, values in units with the locale's
// decimal mark, CR LF line ends. Each line is appended whole and on disk before it is shown.
namespace AlarmJournal {

QString pathFor(const QString &recordingFile);
// "Alarme haute", "Retour à la normale", "Acquittée"…
QString eventText(AlarmEvent::Type type);
QByteArray header();
QByteArray line(const AlarmEvent &event, const SensorScale &scale, const QLocale &locale);
// Appends the event's line (the header first in a new file); false, with the reason in French,
// when it could not be written.
bool append(const QString &path, const AlarmEvent &event, const SensorScale &scale,
            const QLocale &locale, QString *error);
// The events of a journal, in its order; the lines that are not one (half written, edited) are
// passed over. None for a missing file.
std::vector<AlarmEvent> read(const QString &path);

// A span of time in alarm: a limit passed or the sensor silent, from its raise to its end (an
// invalid end while it lasts).
struct Period
{
    QDateTime from;
    QDateTime to;
    AlarmEvent::Type type;
};
// The periods the events tell, by start.
std::vector<Period> periods(const std::vector<AlarmEvent> &events);
// The last raise not acknowledged after it, if any.
std::optional<AlarmEvent> unacknowledged(const std::vector<AlarmEvent> &events);
// A period of these events still lasts at their end.
bool lasts(const std::vector<AlarmEvent> &events);

} // namespace AlarmJournal
