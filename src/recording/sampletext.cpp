#include "sampletext.h"

#include <QDateTime>
#include <QStringList>
#include <cmath>
#include <cstdio>

namespace {

constexpr QStringView kNumberSeparator = u" ---- ";
constexpr QStringView kFieldSeparator = u" --- ";

// "#000": the whole recorded value on the scale with at least three digits before the decimal
// mark, zero-padded after the sign, and the unit: 7 → "007", -7 → "-007", 19,6 → "019,6".
QString pattern000(double value, const SensorScale &scale, const QLocale &locale)
{
    // In units the value reads as a number does: "-3,5 °C", not "-003,5 °C".
    if (!scale.isIdentity())
        return scale.text(double(SensorScale::wholeValue(value)), locale);
    QString text
        = scale.text(double(SensorScale::wholeValue(value)), locale, SensorScale::Unit::Omitted);
    const qsizetype sign = text.startsWith(u'-') ? 1 : 0;
    qsizetype digits = 0;
    while (sign + digits < text.size() && text[sign + digits].isDigit())
        ++digits;
    text.insert(sign, QString(std::max<qsizetype>(0, 3 - digits), u'0'));
    return text + scale.unitSuffix();
}

// A count with its sign: "+52", "-3", "0".
QString signedText(int value)
{
    return (value > 0 ? QStringLiteral("+") : QString()) + QString::number(value);
}

// A signed duration: "+12 s", "-5 min 03 s", "+6 h 40 min 00 s", "+2 j 6 h 40 min 00 s".
QString durationText(qint64 seconds)
{
    const QString sign = seconds > 0 ? QStringLiteral("+")
        : seconds < 0                ? QStringLiteral("-")
                                     : QString();
    const qint64 s = std::abs(seconds);
    const auto two = [](qint64 n) {
        return QString::number(n).rightJustified(2, u'0');
    };
    QString text = QStringLiteral("%1 s").arg(s < 60 ? QString::number(s) : two(s % 60));
    if (s >= 60)
        text = QStringLiteral("%1 min ").arg(s < 3600 ? QString::number(s / 60) : two(s / 60 % 60))
            + text;
    if (s >= 3600)
        text = QStringLiteral("%1 h ").arg(s / 3600 % 24) + text;
    if (s >= 86400)
        text = QStringLiteral("%1 j ").arg(s / 86400) + text;
    return sign + text;
}

// When the sample was taken, in local time; invalid when unknown.
QDateTime dateTime(const Sample &sample)
{
    return sample.date.isValid() ? QDateTime(sample.date, sample.time) : QDateTime();
}

// Three numbers as the format sets them out.
QString threeNumbers(const char *format, int a, int b, int c)
{
    char text[16];
    return QString::fromLatin1(text, std::snprintf(text, sizeof text, format, a, b, c));
}

// A viewed line's fields after the number.
QStringList fieldsAfterNumber(const QString &line)
{
    return line.section(u';', 1).split(u';');
}

} // namespace

namespace SampleText {

void appendField(QByteArray &out, const QString &field, char separator)
{
    const QByteArray text = field.toUtf8();
    if (!text.contains(separator) && !text.contains('"')) {
        out.append(text);
        return;
    }
    out.append('"').append(QByteArray(text).replace("\"", "\"\"")).append('"');
}

QStringList fieldsAfterValue(const Sample &sample)
{
    return sample.line ? fieldsAfterNumber(*sample.line).mid(1) : QStringList();
}

QString date(QDate date)
{
    return date.isValid() ? threeNumbers("%02d-%02d-%04d", date.month(), date.day(), date.year())
                          : QString();
}

QString time(QTime time)
{
    return time.isValid()
        ? threeNumbers("%02d:%02d:%02d", time.hour(), time.minute(), time.second())
        : QString();
}

QString row(const Sample &sample, const SensorScale &scale, const QLocale &locale)
{
    if (sample.line && scale.isIdentity())
        return QString::number(sample.number) % kNumberSeparator % *sample.line;
    if (sample.line) // the line with its value on the scale
        return QString::number(sample.number) % kNumberSeparator % sample.line->section(u';', 0, 0)
            % u';' % scale.text(sample.value, locale) % u';' % sample.line->section(u';', 2);
    return QString::number(sample.number) % kNumberSeparator
        % pattern000(sample.value, scale, locale) % kFieldSeparator % date(sample.date)
        % kFieldSeparator % time(sample.time);
}

QString label(const Sample &sample, const SensorScale &scale, const QLocale &locale)
{
    QString value;
    QString when;
    if (sample.line) {
        const QStringList fields = fieldsAfterNumber(*sample.line);
        value = scale.isIdentity() ? fields.first().trimmed() : scale.text(sample.value, locale);
        when = fields.mid(1).join(u' ').trimmed();
    } else {
        when = QString(date(sample.date) + u' ' + time(sample.time)).trimmed();
    }
    if (value.isEmpty())
        value = pattern000(sample.value, scale, locale);
    QString text = QStringLiteral("N° %1 : %2").arg(sample.number).arg(value);
    if (!when.isEmpty())
        text += QStringLiteral(" — ") + when;
    return text;
}

QString delta(const Sample &pinned, const Sample &sample, const SensorScale &scale,
              const QLocale &locale)
{
    const int samples = sample.number - pinned.number;
    const QDateTime from = dateTime(pinned), to = dateTime(sample);
    return QStringLiteral("Δ %1 %2, %3, %4")
        .arg(signedText(samples), std::abs(samples) > 1 ? u"mesures" : u"mesure",
             from.isValid() && to.isValid() ? durationText(from.secsTo(to)) : QStringLiteral("—"),
             scale.difference(pinned.value, sample.value, locale));
}

void appendSpreadsheetLine(QByteArray &out, const Sample &sample, SpreadsheetFile::Format format,
                           const SensorScale &scale, bool recorded)
{
    const char s = format.separator;
    const QChar decimal = QLatin1Char(format.decimal);
    const QStringView mark(&decimal, 1);
    out.append(QByteArray::number(sample.number)).append(s);
    out.append(scale.text(sample.value, mark, SensorScale::Unit::Omitted).toLatin1()).append(s);
    if (recorded)
        out.append(SensorScale().text(sample.value, mark, SensorScale::Unit::Omitted).toLatin1())
            .append(s);
    char text[48];
    if (sample.date.isValid()) {
        out.append(text,
                   std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d",
                                 sample.date.year(), sample.date.month(), sample.date.day(),
                                 sample.time.hour(), sample.time.minute(), sample.time.second()));
    } else {
        const QStringList fields = fieldsAfterValue(sample);
        for (qsizetype f = 0; f < fields.size(); ++f) {
            if (f > 0)
                out.append(s);
            appendField(out, fields[f], s);
        }
    }
    out.append("\r\n");
}

} // namespace SampleText
