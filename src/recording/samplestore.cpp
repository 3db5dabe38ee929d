#include "samplestore.h"

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
