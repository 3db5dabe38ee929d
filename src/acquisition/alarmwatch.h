#pragma once

#include "alarmlimits.h"

#include <QDateTime>
#include <optional>
#include <vector>

// What the alarm records and tells: raised (beyond a limit, or the sensor silent), back to
// normal, acknowledged, or the watch interrupted (the program stopped or the limits changed
// while a condition lasted).
struct AlarmEvent
{
    enum class Type { High, Low, Silent, Back, SensorBack, Acknowledged, Interrupted };
    Type type;
    QDateTime at;
    std::optional<double> value; // in units: the reading that raised it or came back
    std::optional<double> limit; // in units: the limit passed

    bool raises() const { return type == Type::High || type == Type::Low || type == Type::Silent; }
    bool operator==(const AlarmEvent &other) const = default;
};

// The alarm rule, fed at each refresh of the live value: a value beyond a limit for the delay
// raises the alarm, one back inside the limit by the hysteresis ends the condition; a reading
// that is no longer fresh for the delay raises it too, when asked. A raised alarm stays latched
// until acknowledged, even when the condition ended meanwhile.
class AlarmWatch
{
public:
    // A sensor is not taken for silent in the first seconds of a watch: a serial sensor's
    // first frame may take that long.
    static constexpr qint64 SilenceGraceMs = 5000;

    // New limits, read on scale: the conditions under way end without an event (the caller
    // records the interruption); the latch is kept.
    void setLimits(const AlarmLimits &limits, const SensorScale &scale);
    const AlarmLimits &limits() const { return m_limits; }

    // A refresh at monotonic time ms (wall time now): the value in units, none when the reading
    // is not fresh. The events it gives, in order.
    std::vector<AlarmEvent> check(qint64 ms, const QDateTime &now, std::optional<double> value);
    // The user acknowledged: the event, none when nothing was latched.
    std::optional<AlarmEvent> acknowledge(const QDateTime &now);
    // A raise found unacknowledged in the journal at start-up, latched again.
    void restoreLatched(const AlarmEvent &raised) { m_latched = raised; }
    // The conditions that last now end without an event (the watch stops, or starts again on
    // another source).
    bool interrupt();

    // The condition that lasts now: the silence first, then a limit passed.
    std::optional<AlarmEvent> active() const;
    // The raise not yet acknowledged, and when its condition ended if it did.
    const std::optional<AlarmEvent> &latched() const { return m_latched; }
    const std::optional<QDateTime> &latchedEnded() const { return m_latchedEnded; }

private:
    void raise(const AlarmEvent &event, std::vector<AlarmEvent> *events);
    void end(AlarmEvent::Type type, const AlarmEvent &event, std::vector<AlarmEvent> *events);

    AlarmLimits m_limits;
    double m_hysteresis = 0;
    // A limit passed: which one since when (monotonic ms), and the raise once the delay is over.
    std::optional<AlarmEvent::Type> m_beyond;
    qint64 m_beyondSince = 0;
    std::optional<AlarmEvent> m_valueRaised;
    // The silence: since when, and its raise.
    std::optional<qint64> m_silentSince;
    std::optional<qint64> m_watchedSince; // the first check since the watch (re)started
    std::optional<AlarmEvent> m_silentRaised;
    std::optional<AlarmEvent> m_latched;
    std::optional<QDateTime> m_latchedEnded;
};
