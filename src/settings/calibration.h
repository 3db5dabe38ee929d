#pragma once

#include "common/sensorscale.h"

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <optional>

// A two-point calibration, as a lab calibrates a probe: the sensor is put in a known state, its
// true value typed, and the live value read for a few seconds; twice. The line through the two
// points gives the scale's Min and Max. A point whose readings were lost or moved is refused, and
// so are two points that would make a scale of noise.
class Calibration
{
public:
    using Reading = std::function<std::optional<double>()>;
    using Clock = std::function<qint64()>;

    // What a calibration window needs of the live reading; wired where the settings open.
    struct Live
    {
        Reading value; // the recorded value now; none while the reading is not fresh
        Clock monotonicMs; // never goes back
        // Calls refreshed after each refresh of the live value, as long as context lives.
        std::function<void(QObject *context, std::function<void()> refreshed)> onRefresh;
        std::function<void(int characterCode)> testKey; // "+" and "-" move the test value
    };

    // How long a point is read.
    static constexpr qint64 ReadingMs = 3000;
    // The most a point's readings may move, in recorded values: two raw steps, which the floor
    // of raw × 3.921 makes 7 or 8 apart.
    static constexpr double MostMovement = 8;
    // The least two points may be apart, in recorded values: ten raw steps, at least 39 apart.
    static constexpr double LeastApart = 39;

    // reading: the live recorded value, none while not fresh; monotonicMs: when each refresh is.
    Calibration(Reading reading, Clock monotonicMs);

    // Point 0 or 1: its true value as typed (a decimal comma or point), then the live value read
    // from now for ReadingMs. What the point held is forgotten; a true value that is not a number
    // refuses it at once.
    void measure(int point, const QString &truth);
    // A refresh of the live value, taken into the point being read: true when that point ended
    // with it, kept or refused. A reading lost or moving too much refuses the point at once.
    bool refresh();
    // The point being read, or none.
    std::optional<int> reading() const { return m_reading; }
    // The readings a point took, so far while it is read.
    int readings(int point) const { return m_points.at(point).count; }
    // A point's mean recorded value, once read and kept.
    std::optional<double> recorded(int point) const { return m_points.at(point).mean; }
    // Why a point was refused, in French; empty when it was not.
    QString refusal(int point) const { return m_points.at(point).refusal; }

    // The scale, without unit, whose line goes through the two points; none while a point is
    // missing (reason left empty), or with the reason in French when they make no scale.
    std::optional<SensorScale> scale(QString *reason) const;

private:
    struct Point
    {
        double truth = 0;
        std::optional<double> mean;
        QString refusal;
        int count = 0;
        double sum = 0;
        double lowest = 0;
        double highest = 0;
    };
    void refuse(QString why);

    Reading m_live;
    Clock m_clock;
    std::array<Point, 2> m_points;
    std::optional<int> m_reading;
    qint64 m_startedAt = 0;
};
