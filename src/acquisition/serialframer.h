#pragma once

#include <QByteArrayView>
#include <QtGlobal>
#include <array>
#include <chrono>
#include <optional>

// Cuts the serial sensor's byte stream into 4-byte frames. Only a silence on the line tells
// where a frame begins: the bytes between two silences form a burst, counted into frames from
// its first byte. A burst counts only when it began after a silence and ends, at the next
// silence, on a whole number of frames; anything else (the port opened in mid-frame, a byte
// lost, noise, frames back to back with no silence) is dropped rather than misread.
// A sensor in step (its last burst one clean frame) has its next frame taken as soon as its
// fourth byte is in, when it began one period after the last one.
class SerialFramer
{
public:
    using Time = std::chrono::microseconds; // arrival time on a monotonic clock
    using Frame = std::array<quint8, 4>;

    static constexpr int FrameSize = 4;
    // Longer than the 16 ms between two packets of a USB adapter, shorter than the 20.5 ms
    // between the last byte of one frame and the first of the next for a sensor sending every
    // 33 ms at 2400 baud.
    static constexpr Time Silence = std::chrono::milliseconds(18);
    // How far a frame in step may begin from one period after the last (packets and jitter).
    static constexpr Time StepTolerance = std::chrono::milliseconds(40);

    // The port was opened at t: what arrives next may be the tail of a frame.
    void restart(Time t);
    // Bytes that arrived at t; times never go back.
    void feed(QByteArrayView bytes, Time t);
    // The newest frame known whole by now, when one came since the last take.
    std::optional<Frame> take(Time now);

private:
    void openBurst(Time t);
    void closeBurst();
    bool inStepAt(Time start) const;

    Time m_lastArrival {};
    bool m_known = false; // m_lastArrival is a real time
    bool m_burstOpen = true;
    bool m_trusted = false; // the open burst began after a silence
    bool m_handedOut = false; // the open burst's first frame was taken before its end
    qint64 m_length = 0;
    Time m_burstStart {};
    Frame m_tail {}; // byte i of the burst lands at i % 4
    std::optional<Frame> m_fresh;
    // The starts of the last two bursts that were one clean frame each, while in step.
    std::optional<Time> m_cleanStart;
    std::optional<Time> m_period;
};
