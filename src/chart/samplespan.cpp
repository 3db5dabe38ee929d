#include "samplespan.h"

#include <algorithm>
#include <cmath>

void SampleSpan::showWhole(double count)
{
    m_count = std::max(count, 0.0);
    m_first = 0;
    m_last = m_count;
    m_whole = true;
}

void SampleSpan::setCount(double count)
{
    if (m_whole) {
        showWhole(count);
        return;
    }
    const bool newest = m_last >= m_count;
    const double width = this->width();
    m_count = std::max(count, 0.0);
    place(newest ? m_count - width : m_first, width);
}

void SampleSpan::zoom(double anchor, int notches)
{
    const double narrowest = std::min(m_narrowest, m_count);
    const double width
        = std::clamp(this->width() / std::pow(ZoomStep, notches), narrowest, m_count);
    const double at = std::clamp(anchor, m_first, m_last);
    const double share = this->width() > 0 ? (at - m_first) / this->width() : 0;
    place(at - share * width, width);
}

void SampleSpan::show(double first, double last)
{
    place(first, std::clamp(last - first, std::min(m_narrowest, m_count), m_count));
}

void SampleSpan::pan(double samples)
{
    if (!m_whole)
        place(m_first + samples, width());
}

void SampleSpan::place(double first, double width)
{
    // Zoomed out as far as it goes: the whole view again, whatever the rounding left.
    if (width >= m_count * (1 - 1e-9)) {
        showWhole(m_count);
        return;
    }
    m_first = std::clamp(first, 0.0, m_count - width);
    m_last = m_first + width;
    m_whole = false;
}
