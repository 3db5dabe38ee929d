#pragma once

#include "samplingschedule.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <functional>

class Acquisition;
class MeasurementBuffer;

// A recording: the start and stop sequences, the sampling tick (Timer1) and the LED blink
// (TimerLed). Widget-free; the clocks are injected so that tests walk through hours at once.
class Recorder : public QObject
{
    Q_OBJECT

public:
    struct Clock
    {
        std::function<qint64()> monotonicMs; // never goes back
        std::function<QDateTime()> now; // wall clock for the sample stamps
        // Milliseconds since boot, the time the machine was suspended included, so that a
        // schedule counted on it keeps its times of day across a suspend.
        static qint64 bootTimeMs();
        static Clock system();
    };

    // What a recording needs of the settings, read when it starts.
    struct Plan
    {
        int periodMs = 1000; // intervalle_timer
        int divisor = 1; // diviseur_tick
        QString file; // fichier_donnees
    };

    static constexpr int LedPeriodMs = 500;
    static constexpr int LedLit = 255; // Led1 fill colour, red in the low byte
    static constexpr int LedDark = 128;

    Recorder(MeasurementBuffer &buffer, Acquisition &acquisition, std::function<Plan()> plan,
             Clock clock, QObject *parent = nullptr);

    // Whether a recording runs: exactly whether the sampling timer is enabled.
    bool isRecording() const { return m_recording; }
    // CmdRecord_Click: starts when idle, stops when recording.
    void toggle();
    void start();
    void stop();

    // Timer1_Timer: runs the tick that is due now and arms the timer for the next one.
    void tick();
    // TimerLed_Timer: one blink step.
    void ledTick();
    // eteint_led: the LED's off look.
    void eteint_led();

    int ledFill() const { return m_ledFill; }
    const SamplingSchedule &schedule() const { return m_schedule; }
    const Clock &clock() const { return m_clock; }
    const QTimer &timer1() const { return m_timer1; }
    const QTimer &timerLed() const { return m_timerLed; }

    static QString bufferFullMessage();
    static QString writeFailedMessage(const QString &path, const QString &reason);

signals:
    void recordingChanged(bool recording); // after the start or stop sequence
    void sampleStored(); // a sample is in the buffer: list and chart follow
    void ledChanged(bool lit);
    void stoppedOnProblem(const QString &message); // the recording stopped by itself

private:
    void takeSample();
    void armTimer1();

    MeasurementBuffer &m_buffer;
    Acquisition &m_acquisition;
    std::function<Plan()> m_planned;
    Clock m_clock;
    Plan m_plan;
    SamplingSchedule m_schedule;
    QTimer m_timer1;
    QTimer m_timerLed;
    bool m_recording = false;
    int m_ledFill = LedDark;
};
