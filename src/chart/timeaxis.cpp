#include "timeaxis.h"

#include <algorithm>
#include <cmath>

void TimeAxis::clear()
{
    m_origin = 0;
    m_seconds.clear();
    m_steps.clear();
    m_holds = true;
    m_gap = -1;
    m_gaps.clear();
    m_gapsFor = -1;
    m_gapsUpTo = 1;
}

void TimeAxis::append(QDate date, QTime time)
{
    const bool dated = date.isValid() && time.isValid();
    const double absolute
        = dated ? double(date.toJulianDay()) * 86400 + time.msecsSinceStartOfDay() / 1000.0 : 0;
    if (m_seconds.empty())
        m_origin = absolute;
    const double seconds = absolute - m_origin;
    if (!dated || (!m_seconds.empty() && seconds < m_seconds.back()))
        m_holds = false;
    if (!m_seconds.empty() && m_holds)
        ++m_steps[std::llround((seconds - m_seconds.back()) * 1000)];
    m_seconds.push_back(seconds);
    m_gap = -1;
}

double TimeAxis::at(int index) const
{
    if (m_seconds.empty())
        return 0;
    return m_seconds[std::size_t(std::clamp(index, 1, count()) - 1)];
}

double TimeAxis::period() const
{
    int total = 0;
    for (const auto &[step, times] : m_steps)
        total += times;
    int seen = 0;
    for (const auto &[step, times] : m_steps) {
        seen += times;
        if (2 * seen >= total && step > 0)
            return step / 1000.0;
    }
    return 1;
}

bool TimeAxis::gapBefore(int index) const
{
    if (m_gap < 0)
        m_gap = 1.5 * period() + 1;
    if (index < 2 || index > count())
        return false;
    return at(index) - at(index - 1) > m_gap;
}

const std::vector<int> &TimeAxis::gaps() const
{
    gapBefore(2); // the step found
    if (m_gapsFor != m_gap) { // a new usual period: all found again
        m_gaps.clear();
        m_gapsFor = m_gap;
        m_gapsUpTo = 1;
    }
    // Only the samples that came since are looked at.
    for (int i = std::max(2, m_gapsUpTo + 1); i <= count(); ++i)
        if (m_seconds[std::size_t(i - 1)] - m_seconds[std::size_t(i - 2)] > m_gap)
            m_gaps.push_back(i);
    m_gapsUpTo = std::max(m_gapsUpTo, count());
    return m_gaps;
}

int TimeAxis::firstFrom(double seconds) const
{
    return int(std::lower_bound(m_seconds.begin(), m_seconds.end(), seconds) - m_seconds.begin())
        + 1;
}

int TimeAxis::lastUpTo(double seconds) const
{
    return int(std::upper_bound(m_seconds.begin(), m_seconds.end(), seconds) - m_seconds.begin());
}

double TimeAxis::indexAt(double seconds) const
{
    if (m_seconds.empty())
        return 0;
    const int after = std::clamp(firstFrom(seconds), 2, std::max(2, count()));
    if (after > count())
        return 1;
    const double t0 = at(after - 1), t1 = at(after);
    if (seconds <= t0 || t1 <= t0)
        return seconds <= t0 ? after - 1 : after;
    return std::min<double>(after, after - 1 + (seconds - t0) / (t1 - t0));
}

int TimeAxis::nearest(double seconds) const
{
    if (m_seconds.empty())
        return 0;
    const int after = std::min(firstFrom(seconds), count());
    const int before = std::max(1, after - 1);
    return seconds - at(before) <= at(after) - seconds ? before : after;
}
