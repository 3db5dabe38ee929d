#pragma once

#include "acquisition/serialframer.h"

#include <QByteArray>
#include <QList>
#include <cmath>
#include <random>

// A serial sensor at 2400 baud 8N1 as the program receives it: frames AA <counter> <reading> 55
// sent every period on the sensor's own (drifting) clock, each byte taking 1/240 s on the line,
// handed over whole, byte by byte, or in the 16 ms packets of a USB adapter's latency timer,
// each hand-over up to jitterUs late, as a busy event loop makes it.
class SimulatedSensor
{
public:
    using Time = SerialFramer::Time;
    enum class Delivery { Whole, Bytes, Packets };

    struct Arrival
    {
        Time at;
        QByteArray bytes;
    };
    struct Sent
    {
        Time complete; // its last byte is in the program's hands
        SerialFramer::Frame frame;
    };

    static constexpr double ByteUs = 1e6 / 240;
    static constexpr double PacketUs = 16000;

    double periodMs = 100;
    Delivery delivery = Delivery::Whole;
    double driftPpm = 0;
    double jitterUs = 300;

    explicit SimulatedSensor(quint32 seed = 1)
        : m_random(seed)
    { }

    // The reading of frame i: varies so that a misaligned frame shows.
    static quint8 reading(int i) { return quint8((i * 37 + 11) & 0xFF); }
    static SerialFramer::Frame frame(int i) { return {0xAA, quint8(i & 0xFF), reading(i), 0x55}; }

    // Frames first..last-1, frame first starting at startUs; with skip, the first frame's first
    // bytes are not seen (the port opened while it was on the line).
    void send(int first, int last, double startUs, int skip = 0)
    {
        const double period = periodMs * 1000 / (1 + driftPpm * 1e-6);
        for (int i = first; i < last; ++i) {
            const SerialFramer::Frame f = frame(i);
            const QByteArray bytes(reinterpret_cast<const char *>(f.data()) + skip, 4 - skip);
            const Time done = put(bytes, startUs + (i - first) * period);
            if (skip == 0)
                m_sent.append({done, f});
            skip = 0;
        }
    }
    // Bytes on the line from startUs on, at the line rate; the time the last is handed over.
    Time put(const QByteArray &bytes, double startUs)
    {
        std::uniform_real_distribution<double> late(0, jitterUs);
        const double end = startUs + bytes.size() * ByteUs;
        switch (delivery) {
        case Delivery::Whole:
            m_arrivals.append({Time(qint64(end + late(m_random))), bytes});
            break;
        case Delivery::Bytes:
            for (int k = 0; k < bytes.size(); ++k)
                m_arrivals.append(
                    {Time(qint64(startUs + (k + 1) * ByteUs + late(m_random))), bytes.mid(k, 1)});
            break;
        case Delivery::Packets:
            for (int k = 0; k < bytes.size(); ++k) {
                const double tick = std::ceil((startUs + (k + 1) * ByteUs) / PacketUs) * PacketUs;
                if (!m_arrivals.isEmpty() && m_tick == tick) {
                    m_arrivals.last().bytes.append(bytes[k]);
                } else {
                    m_arrivals.append({Time(qint64(tick + late(m_random))), bytes.mid(k, 1)});
                    m_tick = tick;
                }
            }
            break;
        }
        return m_arrivals.last().at;
    }

    const QList<Arrival> &arrivals() const { return m_arrivals; }
    const QList<Sent> &sent() const { return m_sent; }

private:
    std::mt19937 m_random;
    QList<Arrival> m_arrivals;
    QList<Sent> m_sent;
    double m_tick = -1;
};

// Polls a framer every 200 ms (from phaseUs on) over a sensor's arrivals, as the live value
// refresh does, and judges each frame taken against what was really sent.
struct FramerRun
{
    int wrong = 0; // frames that were never sent
    int due = 0; // polls with a frame completed since the previous poll
    int fresh = 0; // of those, polls that took one completed since the previous poll
    QList<int> counters; // of the frame each poll took, -1 for none

    static FramerRun run(const SimulatedSensor &sensor, SerialFramer &framer, double untilUs,
                         double phaseUs = 1000, double pollUs = 200000)
    {
        FramerRun r;
        const auto &arrivals = sensor.arrivals();
        const auto &sent = sensor.sent();
        qsizetype next = 0;
        qsizetype sentNext = 0;
        SerialFramer::Time previous {0};
        for (double t = phaseUs; t < untilUs; t += pollUs) {
            const SerialFramer::Time now {qint64(t)};
            while (next < arrivals.size() && arrivals[next].at <= now) {
                framer.feed(arrivals[next].bytes, arrivals[next].at);
                ++next;
            }
            bool wasDue = false;
            for (; sentNext < sent.size() && sent[sentNext].complete <= now; ++sentNext)
                wasDue = wasDue || sent[sentNext].complete > previous;
            const qsizetype newest = sentNext - 1;
            r.due += wasDue;
            const auto frame = framer.take(now);
            r.counters << (frame ? int((*frame)[1]) : -1);
            if (frame) {
                qsizetype found = -1;
                for (qsizetype i = std::max<qsizetype>(0, newest - 300); i <= newest; ++i)
                    if (i >= 0 && sent[i].frame == *frame)
                        found = i;
                if (found < 0)
                    ++r.wrong;
                else if (wasDue && sent[found].complete > previous)
                    ++r.fresh;
            }
            previous = now;
        }
        return r;
    }
};
