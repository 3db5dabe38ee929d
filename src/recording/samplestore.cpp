#include "samplestore.h"

#include <algorithm>
#include <limits>

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
    m_bands.clear();
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
    if (!m_periods.empty())
        markAlarm(m_last);
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

namespace {

// A local date and time as a number that orders them, without the cost of a time zone.
qint64 stamp(QDate date, QTime time)
{
    return date.toJulianDay() * 86'400'000 + time.msecsSinceStartOfDay();
}

} // namespace

void SampleStore::setAlarmPeriods(std::vector<AlarmJournal::Period> periods)
{
    m_periods.clear();
    for (const AlarmJournal::Period &p : periods)
        m_periods.push_back(
            {stamp(p.from.date(), p.from.time()),
             p.to.isValid() ? stamp(p.to.date(), p.to.time()) : std::numeric_limits<qint64>::max(),
             p.type});
    m_bands.clear();
    if (m_periods.empty())
        return;
    for (int i = 1; i <= num_mesure(); ++i)
        markAlarm(i);
}

void SampleStore::markAlarm(int i)
{
    const Sample &sample = at(i);
    if (!sample.date.isValid() || !sample.time.isValid())
        return;
    const qint64 taken = stamp(sample.date, sample.time);
    // The latest periods started by then; one that ended before does not mark it.
    auto period = std::upper_bound(m_periods.begin(), m_periods.end(), taken,
                                   [](qint64 t, const AlarmSpan &p) { return t < p.from; });
    for (int looked = 0; period != m_periods.begin() && looked < 4; ++looked) {
        --period;
        if (taken >= period->to)
            continue;
        if (!m_bands.empty() && m_bands.back().last == i - 1 && m_bands.back().type == period->type)
            m_bands.back().last = i;
        else
            m_bands.push_back({i, i, period->type});
        return;
    }
}

std::optional<AlarmEvent::Type> SampleStore::alarmAt(int i) const
{
    const auto band = std::upper_bound(m_bands.begin(), m_bands.end(), i,
                                       [](int i, const AlarmBand &b) { return i < b.first; });
    if (band == m_bands.begin() || std::prev(band)->last < i)
        return std::nullopt;
    return std::prev(band)->type;
}
