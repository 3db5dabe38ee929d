#include "measurementbuffer.h"

#include <QtGlobal>

namespace {

bool checked(int i)
{
    if (MeasurementBuffer::isIndex(i))
        return true;
    qCritical("measurement buffer: index %d outside 0..%d", i, MeasurementBuffer::Capacity);
    return false;
}

} // namespace

MeasurementBuffer::MeasurementBuffer()
    : m_valeur(Capacity + 1, 0.0)
    , m_date(Capacity + 1)
    , m_heure(Capacity + 1)
{ }

double MeasurementBuffer::outOfRange(int i)
{
    checked(i);
    return 0.0;
}

QString MeasurementBuffer::date_mesure(int i) const
{
    return checked(i) ? m_date[std::size_t(i)] : QString();
}

QString MeasurementBuffer::heure_mesure(int i) const
{
    return checked(i) ? m_heure[std::size_t(i)] : QString();
}

bool MeasurementBuffer::append(double value, const QString &date, const QString &time)
{
    if (isFull())
        return false;
    const auto i = std::size_t(++m_num);
    m_valeur[i] = value;
    m_date[i] = date;
    m_heure[i] = time;
    return true;
}

bool MeasurementBuffer::appendLoaded(double value)
{
    if (isFull())
        return false;
    m_valeur[std::size_t(++m_num)] = value;
    return true;
}

void MeasurementBuffer::followValue(double value)
{
    if (value > m_borneHaute)
        setWindow(qint16(value - WindowSpan));
}

void MeasurementBuffer::setWindow(qint16 borneBasse)
{
    m_borneBasse = borneBasse;
    m_borneHaute = qint16(borneBasse + WindowSpan);
}
