#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QLocale;
class SampleStore;

// Samples as a spreadsheet reads them in the locale it runs in: UTF-8, a header line
// "N°;Valeur;Date et heure", the date and time as yyyy-mm-dd hh:mm:ss (every locale reads it),
// the locale's decimal mark, CR LF line ends. Samples on a scale other than the identity add
// their unit to the value's title, and their recorded value beside it.
namespace SpreadsheetFile {

// The decimal mark, and the field separator that goes with it: ";" beside a decimal comma,
// "," beside a decimal point, as spreadsheets expect them in that locale.
struct Format
{
    char decimal = ',';
    char separator = ';';
};
Format formatFor(const QLocale &locale);

// What the columns of an export hold: the unit of its values, empty for none (several units
// joined by ", "), and whether the recorded values stand beside them.
struct Columns
{
    QString unit;
    bool recorded = false;
};
// The columns of samples from..to: the recorded values when any is on another scale than the
// identity.
Columns columnsFor(const SampleStore &store, int from, int to);
// "N°", "Valeur (°C)" or "Valeur", "Valeur enregistrée" when it is there, "Date et heure".
QStringList titles(const Columns &columns);

QByteArray header(Format format = {}, const Columns &columns = {});
// Writes samples from..to under the header, a line each as SampleText makes it on its scale, in
// one step: the file is whole or left as it was. False with the reason, in French, when it
// cannot be written.
bool write(const QString &path, const SampleStore &store, int from, int to, Format format,
           QString *error);

} // namespace SpreadsheetFile
