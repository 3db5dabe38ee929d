#pragma once

#include <QtGlobal>

// When the sampling timer ticks and which ticks store a sample. The first tick comes 10 ms
// after the start, tick k at start + 10 ms + (k - 1) × period, all from one monotonic origin so
// that the ticks never drift. Every divisor-th tick (the first one included) stores a sample.
class SamplingSchedule
{
public:
    static constexpr qint64 FirstTickDelayMs = 10;

    void start(qint64 nowMs, int periodMs, int divisor);

    // Monotonic time of the next tick.
    qint64 nextTickAt() const { return m_nextTickAt; }
    // Runs the tick that is due at nowMs; true when it stores a sample. Ticks missed entirely
    // (the machine was suspended) count toward the divisor but store nothing of their own.
    bool onTick(qint64 nowMs);

private:
    qint64 m_origin = 0;
    qint64 m_nextTickAt = 0;
    qint64 m_ticks = 0;
    int m_periodMs = 1000;
    int m_divisor = 1;
    int m_compteTick = 0;
};
