#include "calibration.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <utility>

Calibration::Calibration(Reading reading, Clock monotonicMs)
    : m_live(std::move(reading))
    , m_clock(std::move(monotonicMs))
{ }

void Calibration::measure(int point, const QString &truth)
{
    Q_ASSERT(point == 0 || point == 1);
    m_points.at(point) = Point();
    m_reading = point;
    m_startedAt = m_clock();
    bool ok = false;
    const double value = QString(truth.trimmed()).replace(u',', u'.').toDouble(&ok);
    if (truth.trimmed().isEmpty())
        return refuse(QObject::tr("tapez d'abord la valeur vraie"));
    if (!ok || !std::isfinite(value))
        return refuse(QObject::tr("la valeur vraie « %1 » n'est pas un nombre").arg(truth));
    m_points.at(point).truth = value;
}

bool Calibration::refresh()
{
    if (!m_reading)
        return false;
    Point &point = m_points.at(*m_reading);
    const std::optional<double> value = m_live();
    if (!value) {
        refuse(QObject::tr("le capteur n'a pas donné de mesure pendant la lecture"));
        return true;
    }
    point.lowest = point.count == 0 ? *value : std::min(point.lowest, *value);
    point.highest = point.count == 0 ? *value : std::max(point.highest, *value);
    point.sum += *value;
    ++point.count;
    if (point.highest - point.lowest > MostMovement) {
        refuse(QObject::tr("la mesure bouge de %1 pendant la lecture : attendez qu'elle se "
                           "stabilise")
                   .arg(QLocale().toString(point.highest - point.lowest, 'g', 6)));
        return true;
    }
    if (m_clock() - m_startedAt < ReadingMs)
        return false;
    point.mean = point.sum / point.count;
    m_reading.reset();
    return true;
}

void Calibration::refuse(QString why)
{
    m_points.at(*m_reading).refusal = std::move(why);
    m_reading.reset();
}

std::optional<SensorScale> Calibration::scale(QString *reason) const
{
    const auto fail = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    const Point &p1 = m_points[0], &p2 = m_points[1];
    if (!p1.mean || !p2.mean)
        return fail(QString());
    const double v1 = *p1.mean, v2 = *p2.mean;
    if (std::abs(v2 - v1) < LeastApart)
        return fail(QObject::tr("les deux points sont trop proches : l'étalonnage amplifierait "
                                "le bruit"));
    if (p1.truth == p2.truth)
        return fail(QObject::tr("les deux valeurs vraies sont égales"));
    const auto units = [&](double recorded) {
        return p1.truth + (p2.truth - p1.truth) * (recorded - v1) / (v2 - v1);
    };
    const double min = units(0), max = units(SensorScale::FullScale);
    if (!(std::abs(min) <= SensorScale::Largest && std::abs(max) <= SensorScale::Largest))
        return fail(QObject::tr("l'échelle obtenue dépasse un milliard"));
    return SensorScale(min, max);
}
