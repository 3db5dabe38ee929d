#include "serialframer.h"

#include <utility>

void SerialFramer::restart(Time t)
{
    *this = SerialFramer();
    m_lastArrival = t;
    m_known = true;
}

void SerialFramer::feed(QByteArrayView bytes, Time t)
{
    if (bytes.isEmpty())
        return;
    if (!m_burstOpen || (m_known && t - m_lastArrival >= Silence)) {
        closeBurst();
        openBurst(t);
    }
    for (const char byte : bytes)
        m_tail[std::size_t(m_length++ % FrameSize)] = quint8(byte);
    m_lastArrival = t;
    m_known = true;
}

std::optional<SerialFramer::Frame> SerialFramer::take(Time now)
{
    if (m_known && now - m_lastArrival >= Silence) {
        closeBurst();
    } else if (m_burstOpen && m_trusted && m_length == FrameSize && !m_handedOut
               && inStepAt(m_burstStart)) {
        m_fresh = m_tail;
        m_handedOut = true;
    }
    return std::exchange(m_fresh, std::nullopt);
}

void SerialFramer::openBurst(Time t)
{
    m_burstOpen = true;
    m_trusted = true;
    m_handedOut = false;
    m_length = 0;
    m_burstStart = t;
}

void SerialFramer::closeBurst()
{
    if (!m_burstOpen)
        return;
    const bool whole = m_trusted && m_length > 0 && m_length % FrameSize == 0;
    if (whole && !(m_handedOut && m_length == FrameSize))
        m_fresh = m_tail;
    if (whole && m_length == FrameSize) {
        if (m_cleanStart)
            m_period = m_burstStart - *m_cleanStart;
        m_cleanStart = m_burstStart;
    } else {
        m_cleanStart.reset();
        m_period.reset();
    }
    m_burstOpen = false;
    m_length = 0;
}

bool SerialFramer::inStepAt(Time start) const
{
    if (!m_cleanStart || !m_period)
        return false;
    const Time expected = *m_cleanStart + *m_period;
    return start >= expected - StepTolerance && start <= expected + StepTolerance;
}
