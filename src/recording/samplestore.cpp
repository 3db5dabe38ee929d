#include "samplestore.h"

#include <algorithm>

namespace {

// A date mm-dd-yyyy and a time hh:mm:ss, or an invalid date and time.
std::pair<QDate, QTime> read(QStringView date, QStringView time)
{
    if (date.size() != 10 || time.size() != 8 || date[2] != u'-' || date[5] != u'-'
        || time[2] != u':' || time[5] != u':')
        return {};
    const auto number = [](QStringView digits) {
        bool ok = false;
        const int n = digits.toInt(&ok);
        return ok && digits.front().isDigit() ? n : -1;
    };
    const QDate day(number(date.sliced(6)), number(date.first(2)), number(date.sliced(3, 2)));
    const QTime hour(number(time.first(2)), number(time.sliced(3, 2)), number(time.sliced(6)));
    if (!day.isValid() || !hour.isValid())
        return {};
    return {day, hour};
}

} // namespace

SampleStore::SampleStore(QObject *parent)
    : QObject(parent)
    , m_samples(1)
{
    m_samples.reserve(Capacity + 1);
}

void SampleStore::clear()
{
    m_samples.resize(1);
    emit cleared();
}

bool SampleStore::record(double value, const QString &date, const QString &time)
{
    if (isFull())
        return false;
    m_samples.push_back({value, date, time, {}});
    m_loaded = false;
    // Only ever up: the newest sample sits on the top edge, never above it.
    if (value > m_borneBasse + WindowSpan)
        m_borneBasse = qint16(value - WindowSpan);
    emit grew();
    return true;
}

bool SampleStore::load(double value, const QString &line)
{
    if (isFull())
        return false;
    m_samples.push_back({value, {}, {}, line});
    m_loaded = true;
    return true;
}

std::pair<QDate, QTime> SampleStore::stamp(int i) const
{
    const Sample &sample = at(i);
    if (!m_loaded)
        return read(sample.date, sample.time);
    const QList<QStringView> fields = QStringView(sample.line).split(u';');
    return fields.size() < 4 ? std::pair<QDate, QTime>() : read(fields[2], fields[3]);
}

QDateTime SampleStore::dateTime(int i) const
{
    const auto [date, time] = stamp(i);
    return date.isValid() ? QDateTime(date, time) : QDateTime();
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
