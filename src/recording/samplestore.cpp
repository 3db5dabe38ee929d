#include "samplestore.h"

#include <algorithm>

SampleStore::SampleStore(QObject *parent)
    : QObject(parent)
    , m_samples(1)
{
    m_samples.reserve(Capacity + 1);
}

void SampleStore::clear()
{
    m_samples.front() = Sample {};
    m_last = 0;
    m_header.reset();
    m_reading = false;
    m_scales.clear();
    m_starts.clear();
    emit cleared();
}

void SampleStore::startReading(const std::optional<QString> &header)
{
    clear();
    if (header)
        m_samples.front().line = QString(); // listed as a line of the file, empty
    m_header = header;
    m_reading = true;
}

bool SampleStore::add(Sample sample)
{
    if (isFull())
        return false;
    sample.number = ++m_last;
    if (sample.line && sample.line->startsWith(u"1;"))
        m_starts.push_back(m_last);
    if (std::size_t(m_last) < m_samples.size())
        m_samples[std::size_t(m_last)] = std::move(sample);
    else
        m_samples.push_back(std::move(sample));
    if (!m_reading)
        emit grew();
    return true;
}

void SampleStore::readComplete()
{
    m_reading = false;
    emit reloaded();
}

std::pair<double, double> SampleStore::extremes(int from, int to) const
{
    from = std::clamp(from, 0, num_mesure());
    to = std::clamp(to, from, num_mesure());
    const auto [low, high]
        = std::minmax_element(m_samples.begin() + from, m_samples.begin() + to + 1,
                              [](const Sample &a, const Sample &b) { return a.value < b.value; });
    return {low->value, high->value};
}

void SampleStore::setScaleFrom(int first, const SensorScale &scale)
{
    while (!m_scales.empty() && m_scales.back().first >= first)
        m_scales.pop_back();
    m_scales.emplace_back(first, scale);
}

const SensorScale &SampleStore::scaleAt(int i) const
{
    static const SensorScale identity;
    for (auto it = m_scales.crbegin(); it != m_scales.crend(); ++it)
        if (it->first <= i)
            return it->second;
    return identity;
}
