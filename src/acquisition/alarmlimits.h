#pragma once

#include "common/sensorscale.h"

#include <QString>
#include <optional>

class QLocale;

// What the alarm watches for, in the scale's units: a high and a low limit (either may be unset;
// none set, no alarm), how long the value must stay beyond one before the alarm is raised, how
// far back inside it must come to be normal again, whether a sensor that falls silent raises it
// and whether it sounds.
struct AlarmLimits
{
    static constexpr double DefaultDelaySeconds = 2;
    static constexpr double LongestDelaySeconds = 3600;

    std::optional<double> high;
    std::optional<double> low;
    double delaySeconds = DefaultDelaySeconds;
    std::optional<double> hysteresis; // unset: two raw steps of the scale in force
    bool silenceRaises = true;
    bool sound = true;

    bool isArmed() const { return high || low; }
    // The hysteresis in force on scale.
    double hysteresisOn(const SensorScale &scale) const
    {
        return hysteresis.value_or(2 * scale.rawStep());
    }
    bool operator==(const AlarmLimits &other) const = default;

    // The limits as the user typed them (numbers with a decimal comma or point; an empty limit or
    // hysteresis is unset); none, with the reason in French, when they cannot be used on scale.
    struct Texts
    {
        QString high, low, delay, hysteresis;
        bool silenceRaises = true;
        bool sound = true;
    };
    static std::optional<AlarmLimits> parse(const Texts &texts, const SensorScale &scale,
                                            QString *reason);
    // The limits as the dialog shows them.
    Texts texts(const SensorScale &scale, const QLocale &locale) const;
};
