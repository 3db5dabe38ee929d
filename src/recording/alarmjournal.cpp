#include "alarmjournal.h"

#include "recordingfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <array>

namespace AlarmJournal {

namespace {

using Type = AlarmEvent::Type;
constexpr std::array kTypes {Type::High,       Type::Low,          Type::Silent,     Type::Back,
                             Type::SensorBack, Type::Acknowledged, Type::Interrupted};
constexpr char kBom[] = "\xEF\xBB\xBF";

} // namespace

QString pathFor(const QString &recordingFile)
{
    const QFileInfo file(recordingFile);
    return file.dir().filePath(file.completeBaseName() + QStringLiteral("-alarmes.csv"));
}

QString eventText(Type type)
{
    switch (type) {
    case Type::High:
        return QStringLiteral("Alarme haute");
    case Type::Low:
        return QStringLiteral("Alarme basse");
    case Type::Silent:
        return QStringLiteral("Capteur muet");
    case Type::Back:
        return QStringLiteral("Retour à la normale");
    case Type::SensorBack:
        return QStringLiteral("Capteur revenu");
    case Type::Acknowledged:
        return QStringLiteral("Acquittée");
    case Type::Interrupted:
        return QStringLiteral("Surveillance interrompue");
    }
    return {};
}

QByteArray header()
{
    return QByteArray(kBom)
        + QStringLiteral("Date;Heure;Événement;Valeur;Limite;Unité\r\n").toUtf8();
}

QByteArray line(const AlarmEvent &event, const SensorScale &scale, const QLocale &locale)
{
    const auto number = [&](const std::optional<double> &value) {
        return value ? scale.unitsText(*value, locale, SensorScale::Unit::Omitted) : QString();
    };
    const QString text = event.at.toString(QStringLiteral("yyyy-MM-dd;HH:mm:ss")) + u';'
        + eventText(event.type) + u';' + number(event.value) + u';' + number(event.limit) + u';'
        + (event.value || event.limit ? scale.unit() : QString());
    return text.toUtf8() + "\r\n";
}

bool append(const QString &path, const AlarmEvent &event, const SensorScale &scale,
            const QLocale &locale, QString *error)
{
    QByteArray bytes;
    QFile file(path);
    if (file.size() == 0) {
        bytes = header();
    } else if (file.open(QIODevice::ReadOnly) && file.seek(file.size() - 1)
               && file.read(1) != "\n") {
        bytes = "\r\n"; // a line the last run left half written stays on its own
    }
    file.close();
    bytes += line(event, scale, locale);
    return RecordingFile::append(path, bytes, error);
}

std::vector<AlarmEvent> read(const QString &path)
{
    std::vector<AlarmEvent> events;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return events;
    QHash<QString, Type> types;
    for (const Type type : kTypes)
        types.insert(eventText(type), type);
    while (!file.atEnd()) {
        const QByteArray bytes = file.readLine(4096);
        if (!bytes.endsWith('\n'))
            continue; // half written, or no line
        const QStringList fields = QString::fromUtf8(bytes).trimmed().split(u';');
        if (fields.size() < 5 || !types.contains(fields[2]))
            continue;
        const QDateTime at = QDateTime::fromString(fields[0] + u' ' + fields[1],
                                                   QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        if (!at.isValid())
            continue;
        events.push_back({types.value(fields[2]), at, SensorScale::parseNumber(fields[3]),
                          SensorScale::parseNumber(fields[4])});
    }
    return events;
}

std::vector<Period> periods(const std::vector<AlarmEvent> &events)
{
    std::vector<Period> periods;
    std::optional<std::size_t> value, silent; // the periods that last
    const auto close = [&](std::optional<std::size_t> &open, const QDateTime &at) {
        if (open)
            periods[*open].to = at;
        open.reset();
    };
    for (const AlarmEvent &event : events) {
        switch (event.type) {
        case Type::High:
        case Type::Low:
            close(value, event.at);
            value = periods.size();
            periods.push_back({event.at, {}, event.type});
            break;
        case Type::Silent:
            close(silent, event.at);
            silent = periods.size();
            periods.push_back({event.at, {}, event.type});
            break;
        case Type::Back:
            close(value, event.at);
            break;
        case Type::SensorBack:
            close(silent, event.at);
            break;
        case Type::Interrupted:
            close(value, event.at);
            close(silent, event.at);
            break;
        case Type::Acknowledged:
            break;
        }
    }
    return periods;
}

std::optional<AlarmEvent> unacknowledged(const std::vector<AlarmEvent> &events)
{
    for (auto event = events.rbegin(); event != events.rend(); ++event) {
        if (event->type == Type::Acknowledged)
            return std::nullopt;
        if (event->raises())
            return *event;
    }
    return std::nullopt;
}

bool lasts(const std::vector<AlarmEvent> &events)
{
    const std::vector<Period> all = periods(events);
    return std::any_of(all.begin(), all.end(), [](const Period &p) { return !p.to.isValid(); });
}

} // namespace AlarmJournal
