#include "samplingschedule.h"

#include <algorithm>

void SamplingSchedule::start(qint64 nowMs, int periodMs, int divisor)
{
    m_origin = nowMs + FirstTickDelayMs;
    m_nextTickAt = m_origin;
    m_ticks = 0;
    m_periodMs = std::max(periodMs, 1);
    m_divisor = std::max(divisor, 1);
    m_compteTick = 0;
}

bool SamplingSchedule::onTick(qint64 nowMs)
{
    const bool sample = m_compteTick == 0 || m_compteTick >= m_divisor;
    if (sample)
        m_compteTick = 0;
    if (m_divisor != 1)
        ++m_compteTick;
    ++m_ticks;
    m_nextTickAt = m_origin + m_ticks * m_periodMs;
    // Ticks whose time has passed entirely are counted, not run one after another.
    if (nowMs >= m_nextTickAt + m_periodMs) {
        const qint64 missed = (nowMs - m_nextTickAt) / m_periodMs + 1;
        m_ticks += missed;
        m_nextTickAt += missed * m_periodMs;
        if (m_divisor != 1)
            m_compteTick = int(std::min<qint64>(m_compteTick + missed, m_divisor));
    }
    return sample;
}
