#pragma once

#include "samplingschedule.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

class SampleStore;

// A recording: the start and stop sequences and the sampling tick (Timer1), which stores each
// sample in the store and appends it to the recording file. Widget-free; the clocks are
// injected so that tests walk through hours at once.
class Recorder : public QObject
{
    Q_OBJECT

public:
    struct Clock
    {
        std::function<qint64()> monotonicMs; // never goes back
        std::function<QDateTime()> now; // wall clock for the sample stamps
        // The monotonic clock counts the time the machine was suspended, so that a schedule
        // counted on it keeps its times of day across a suspend.
        static Clock system();
    };

    // What a recording needs of the settings.
    struct Plan
    {
        int periodMs = 1000; // of the sampling timer
        int divisor = 1; // diviseur_tick: timer periods a sample
        QString file; // fichier_donnees
    };

    // sample: the value a sample takes now; none while the reading is not fresh, and then no
    // sample is taken.
    Recorder(SampleStore &store, std::function<std::optional<double>()> sample, Clock clock,
             QObject *parent = nullptr);

    // Whether a recording runs: from its start until it is stopped or stops by itself.
    bool isRecording() const { return m_recording; }
    // When its next sampling tick is due, on the monotonic clock.
    qint64 nextTickAt() const { return m_schedule.nextTickAt(); }
    // Clears the samples and takes the first one 10 ms later, then one a period.
    void start(const Plan &plan);
    // Goes on with the samples in the store, the next numbered after them, as a start does.
    void resume(const Plan &plan);
    void stop();
    // A new reading came: a recording whose first tick found no fresh reading, and that has no
    // sample yet, takes it now.
    void readingRefreshed();
    // The sampling tick: runs the tick that is due now and arms the timer for the next one.
    void Timer1_Timer();

signals:
    void recordingChanged(bool recording); // after the start or stop sequence
    void stoppedOnProblem(const QString &message); // the recording stopped by itself
    // Its sample N° 1 is about to be appended: line as it will be written, without its end.
    void firstLineWriting(const QByteArray &line);

private:
    void begin(const Plan &plan);
    void takeSample();
    void armTimer1();

    SampleStore &m_store;
    std::function<std::optional<double>()> m_sample;
    Clock m_clock;
    Plan m_plan;
    SamplingSchedule m_schedule;
    QTimer m_timer1 {this};
    bool m_recording = false;
    int m_firstNumber = 0; // the samples in the store when it started or resumed
    bool m_waiting = false; // its first sample waits for a fresh reading
};
