#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <functional>

// The marks of the rulers that carry real values: values in readable steps (1, 2 or 5 × 10^n),
// sample numbers, or times of day and dates in steps that fit the span (seconds to years). Each
// set is the finest whose labels, as wide as the caller measures them, stand at least Gap pixels
// apart along the ruler's length, so that none overlaps.
namespace RulerScale {

constexpr double Gap = 8; // pixels between two labels
constexpr double SecondsPerDay = 86400;

// The pixels a label takes along the ruler.
using Width = std::function<double(const QString &)>;

struct Tick
{
    double at; // along the axis: a value, a sample number, or seconds
    QString text;
};

// The smallest step of 1, 2 or 5 × 10^n that is at least least (> 0).
double niceStep(double least);
// The decimals a step of 1, 2 or 5 × 10^n needs.
int decimals(double step);
// Ticks at the multiples of a readable step within low..high, over length pixels, labelled in
// the locale; the step never below smallest (1 for sample numbers).
QList<Tick> valueTicks(double low, double high, double length, const Width &width,
                       const QLocale &locale, double smallest = 0);
// The date and time of seconds counted as a Julian day × 86400 plus the seconds in that day.
QDateTime dateTimeOf(double seconds);
// Ticks at round times within from..to (seconds as above), over length pixels: times of the
// day ("10:05:30", "10:05"), dates at midnight and for steps of days ("14/03"), months
// ("mars 2026") and years.
QList<Tick> timeTicks(double from, double to, double length, const Width &width);

} // namespace RulerScale
