#include "alarmwatch.h"

using Type = AlarmEvent::Type;

void AlarmWatch::setLimits(const AlarmLimits &limits, const SensorScale &scale)
{
    m_limits = limits;
    m_hysteresis = limits.hysteresisOn(scale);
    interrupt();
}

bool AlarmWatch::interrupt()
{
    const bool lasted = m_valueRaised || m_silentRaised;
    m_beyond.reset();
    m_valueRaised.reset();
    m_silentSince.reset();
    m_silentRaised.reset();
    m_watchedSince.reset();
    return lasted;
}

std::optional<AlarmEvent> AlarmWatch::active() const
{
    return m_silentRaised ? m_silentRaised : m_valueRaised;
}

void AlarmWatch::raise(const AlarmEvent &event, std::vector<AlarmEvent> *events)
{
    events->push_back(event);
    m_latched = event;
    m_latchedEnded.reset();
}

void AlarmWatch::end(Type type, const AlarmEvent &event, std::vector<AlarmEvent> *events)
{
    AlarmEvent ended = event;
    ended.type = type;
    events->push_back(ended);
    if (m_latched && !active())
        m_latchedEnded = event.at;
}

std::vector<AlarmEvent> AlarmWatch::check(qint64 ms, const QDateTime &now,
                                          std::optional<double> value)
{
    std::vector<AlarmEvent> events;
    if (!m_limits.isArmed())
        return events;
    const qint64 delayMs = qint64(m_limits.delaySeconds * 1000);
    if (!m_watchedSince)
        m_watchedSince = ms;

    if (!value) {
        // Silent: the value's conditions wait, neither going on nor ending.
        m_beyond.reset();
        if (!m_limits.silenceRaises)
            return events;
        if (ms - *m_watchedSince < SilenceGraceMs)
            return events; // not heard from yet
        if (!m_silentSince)
            m_silentSince = ms;
        if (!m_silentRaised && ms - *m_silentSince >= delayMs) {
            m_silentRaised = AlarmEvent {Type::Silent, now, {}, {}};
            raise(*m_silentRaised, &events);
        }
        return events;
    }
    m_silentSince.reset();
    if (m_silentRaised) {
        m_silentRaised.reset();
        end(Type::SensorBack, {Type::SensorBack, now, value, {}}, &events);
    }

    const double v = *value;
    if (m_valueRaised) {
        // Back to normal only inside the limit by the hysteresis.
        const double limit = *m_valueRaised->limit;
        const bool back = m_valueRaised->type == Type::High ? v <= limit - m_hysteresis
                                                            : v >= limit + m_hysteresis;
        if (!back)
            return events;
        m_valueRaised.reset();
        end(Type::Back, {Type::Back, now, v, limit}, &events);
    }
    std::optional<Type> beyond;
    if (m_limits.high && v > *m_limits.high)
        beyond = Type::High;
    else if (m_limits.low && v < *m_limits.low)
        beyond = Type::Low;
    if (beyond != m_beyond)
        m_beyondSince = ms; // one noisy reading starts the delay again
    m_beyond = beyond;
    if (beyond && ms - m_beyondSince >= delayMs) {
        m_valueRaised
            = AlarmEvent {*beyond, now, v, *beyond == Type::High ? m_limits.high : m_limits.low};
        raise(*m_valueRaised, &events);
    }
    return events;
}

std::optional<AlarmEvent> AlarmWatch::acknowledge(const QDateTime &now)
{
    if (!m_latched)
        return std::nullopt;
    m_latched.reset();
    m_latchedEnded.reset();
    return AlarmEvent {Type::Acknowledged, now, {}, {}};
}
