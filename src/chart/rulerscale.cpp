#include "rulerscale.h"

#include <QDateTime>
#include <QTimeZone>
#include <algorithm>
#include <cmath>

namespace RulerScale {

namespace {

// Whether labels at these places fit: each pair of neighbours at least their half widths and a
// gap apart.
bool fits(const QList<Tick> &ticks, double from, double to, double length, const Width &width)
{
    const double perUnit = length / (to - from);
    double previousEnd = -1e300;
    for (const Tick &tick : ticks) {
        const double half = width(tick.text) / 2;
        const double centre = (tick.at - from) * perUnit;
        if (centre - half < previousEnd + Gap)
            return false;
        previousEnd = centre + half;
    }
    return true;
}

const QLocale &french()
{
    static const QLocale locale(QLocale::French, QLocale::France);
    return locale;
}

} // namespace

double niceStep(double least)
{
    const double power = std::pow(10.0, std::floor(std::log10(least)));
    for (const double mantissa : {1.0, 2.0, 5.0, 10.0})
        if (mantissa * power >= least * (1 - 1e-9))
            return mantissa * power;
    return 10 * power;
}

int decimals(double step)
{
    return std::max(0, -int(std::floor(std::log10(step) + 1e-9)));
}

QList<Tick> valueTicks(double low, double high, double length, const Width &width,
                       const QLocale &locale, double smallest)
{
    if (!(high > low) || length <= 0 || !std::isfinite(high - low))
        return {};
    // No label is narrower than a few pixels: finer steps are not tried.
    double step = niceStep(std::max(smallest, (high - low) * 4 / length));
    for (int tries = 0; tries < 64; ++tries, step = niceStep(step * 1.5)) {
        QList<Tick> ticks;
        const int places = decimals(step);
        for (double k = std::ceil(low / step - 1e-9); k * step <= high * (1 + 1e-12) + 1e-300;
             ++k) {
            const double at = k == 0 ? 0 : k * step;
            ticks.append({at, locale.toString(at, 'f', places)});
        }
        if (fits(ticks, low, high, length, width))
            return ticks;
    }
    return {};
}

QDateTime dateTimeOf(double seconds)
{
    const double day = std::floor(seconds / SecondsPerDay);
    const int ms = int(std::llround((seconds - day * SecondsPerDay) * 1000));
    return QDateTime(QDate::fromJulianDay(qint64(day)), QTime::fromMSecsSinceStartOfDay(0),
                     QTimeZone::utc())
        .addMSecs(ms);
}

QList<Tick> timeTicks(double from, double to, double length, const Width &width)
{
    if (!(to > from) || length <= 0)
        return {};
    const auto label = [](const QDateTime &at, double step) {
        if (step < SecondsPerDay && at.time() != QTime(0, 0))
            return at.time().toString(step < 60 ? QStringLiteral("HH:mm:ss")
                                                : QStringLiteral("HH:mm"));
        return at.date().toString(QStringLiteral("dd/MM"));
    };
    // Steps in seconds; Julian day 0 is a Monday, so weeks start on Mondays.
    static const double steps[]
        = {1,   2,    5,    10,   15,    30,    60,    120,   300,    600,
           900, 1800, 3600, 7200, 10800, 21600, 43200, 86400, 172800, 604800};
    for (const double step : steps) {
        if ((to - from) / step > length / 4)
            continue;
        QList<Tick> ticks;
        for (double at = std::ceil(from / step - 1e-9) * step; at <= to + 1e-6; at += step)
            ticks.append({at, label(dateTimeOf(at), step)});
        if (fits(ticks, from, to, length, width))
            return ticks;
    }
    // Months, then years: on the first of a month whose number the step divides.
    const QDate first = dateTimeOf(from).date();
    for (const int months : {1, 2, 3, 6, 12, 24, 60, 120, 600}) {
        QList<Tick> ticks;
        QDate day(first.year(), first.month(), 1);
        while ((day.year() * 12 + day.month() - 1) % months != 0
               || day.toJulianDay() * SecondsPerDay < from)
            day = day.addMonths(1);
        for (; day.toJulianDay() * SecondsPerDay <= to; day = day.addMonths(months))
            ticks.append({double(day.toJulianDay()) * SecondsPerDay,
                          months < 12 ? french().toString(day, QStringLiteral("MMM yyyy"))
                                      : QString::number(day.year())});
        if (fits(ticks, from, to, length, width))
            return ticks;
    }
    return {};
}

} // namespace RulerScale
