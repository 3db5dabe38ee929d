#include "sensorscale.h"

#include <QLocale>
#include <QObject>
#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// Halves away from zero, as the file's whole values.
double roundedTo(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

} // namespace

SensorScale::SensorScale(double min, double max, QString unit)
    : m_min(min)
    , m_max(max)
    , m_unit(std::move(unit))
{ }

int SensorScale::recorded(qint32 raw)
{
    return static_cast<int>(std::floor(raw * RecordedPerRaw));
}

qint64 SensorScale::wholeValue(double recorded)
{
    return static_cast<qint64>(std::llround(recorded));
}

double SensorScale::toUnits(double recorded) const
{
    return m_min + (m_max - m_min) * recorded / FullScale;
}

int SensorScale::decimals() const
{
    // Neighbouring raw readings are 3 or 4 recorded values apart (the floor): the narrower gap
    // sets the decimals.
    const double gap = std::abs(m_max - m_min) * std::floor(RecordedPerRaw) / FullScale;
    if (!(gap > 0))
        return 0; // Max = Min: every reading is the same
    return int(std::clamp(std::ceil(-std::log10(gap)), 0.0, double(MaxDecimals)));
}

QString SensorScale::number(double units, bool exact, QStringView decimalMark) const
{
    // Not QLocale::toString: no group separators, and the minus a file and a spreadsheet read.
    QString text = exact && std::abs(units) < 1e15
        ? QString::number(roundedTo(units, decimals()), 'f', decimals())
        : QString::number(units, 'g', 15);
    return text.replace(u'.', decimalMark.toString());
}

QString SensorScale::text(double recorded, QStringView decimalMark, Unit unit) const
{
    const QString text = number(toUnits(recorded), recorded == std::trunc(recorded), decimalMark);
    return unit == Unit::Appended ? QString(text + unitSuffix()) : text;
}

QString SensorScale::text(double recorded, const QLocale &locale, Unit unit) const
{
    return text(recorded, decimalMark(locale), unit);
}

QString SensorScale::decimalMark(const QLocale &locale) const
{
    // The identity keeps the texts it always had, a file's own "3.5" included.
    return isIdentity() ? QStringLiteral(".") : locale.decimalPoint();
}

std::optional<SensorScale> SensorScale::parse(const QString &min, const QString &max,
                                              const QString &unit, QString *reason)
{
    const auto fail = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    double values[2] = {};
    const QString names[2] = {QObject::tr("Min"), QObject::tr("Max")};
    const QString *texts[2] = {&min, &max};
    for (int i = 0; i < 2; ++i) {
        const std::optional<double> value = parseNumber(*texts[i]);
        values[i] = value.value_or(0);
        if (!value)
            return fail(
                QObject::tr("La valeur %1 « %2 » n'est pas un nombre.").arg(names[i], *texts[i]));
        if (std::abs(values[i]) > Largest)
            return fail(
                QObject::tr("La valeur %1 « %2 » dépasse un milliard.").arg(names[i], *texts[i]));
    }
    if (values[0] == values[1])
        return fail(QObject::tr("Max et Min sont égaux : toutes les mesures se liraient pareil."));
    if (unit.size() > LongestUnit)
        return fail(QObject::tr("L'unité tient en %1 caractères au plus.").arg(LongestUnit));
    for (const QChar c : unit)
        if (c.category() == QChar::Other_Control || c == u';' || c == u'"')
            return fail(QObject::tr("L'unité ne peut contenir ni « ; », ni « \" », ni "
                                    "caractère de contrôle."));
    return SensorScale(values[0], values[1], unit.trimmed());
}

std::optional<double> SensorScale::parseNumber(const QString &text)
{
    bool ok = false;
    const double value = QString(text.trimmed()).replace(u',', u'.').toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional(value) : std::nullopt;
}

QString SensorScale::unitsText(double units, const QLocale &locale, Unit unit) const
{
    // Typed by the user in units: the locale's decimal mark, on the identity too.
    const QString text
        = number(units, roundedTo(units, decimals()) == units, locale.decimalPoint());
    return unit == Unit::Appended ? QString(text + unitSuffix()) : text;
}

QString SensorScale::difference(double from, double to, const QLocale &locale) const
{
    const double change = (m_max - m_min) * (to - from) / FullScale;
    const bool exact = to - from == std::trunc(to - from);
    const bool rises = (exact ? roundedTo(change, decimals()) : change) > 0; // never "+0"
    return (rises ? QStringLiteral("+") : QString()) + number(change, exact, decimalMark(locale))
        + unitSuffix();
}

QString SensorScale::unitSuffix() const
{
    // A no-break space, as French typography wants: a unit never wraps away from its number.
    return m_unit.isEmpty() ? QString() : QString(QChar(0x00A0) + m_unit);
}

QString SensorScale::resolutionText(const QLocale &locale) const
{
    return QStringLiteral("1 pas = ") + number(rawStep(), true, locale.decimalPoint())
        + unitSuffix();
}
