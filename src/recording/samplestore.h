#pragma once

#include "alarmjournal.h"
#include "common/sensorscale.h"
#include "sample.h"

#include <QObject>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

// The samples on screen, 0..num_mesure, and the first line of the file they were read from.
// Sample 0 is no measure (value 0) and starts the trace. The store tells those who show it when
// it is cleared, when a recorded sample is added and when a file it reads is complete.
class SampleStore : public QObject
{
    Q_OBJECT

public:
    static constexpr int Capacity = 32000; // samples 1..32000

    explicit SampleStore(QObject *parent = nullptr);

    // The number of the last sample, 0 for none.
    int num_mesure() const { return m_last; }
    bool isFull() const { return num_mesure() >= Capacity; }

    // Sample i (0..num_mesure), or an empty sample 0 outside.
    const Sample &at(int i) const
    {
        static const Sample none;
        return i >= 0 && i <= num_mesure() ? m_samples[std::size_t(i)] : none;
    }
    double valeur(int i) const { return at(i).value; }
    // The first line of the file the samples are read from; none for a recording.
    const std::optional<QString> &entete_fichier() const { return m_header; }
    // The lowest and highest values of samples from..to (within 0..num_mesure, from <= to).
    std::pair<double, double> extremes(int from, int to) const;

    // No samples: a recording starts, or a file is about to be read.
    void clear();
    // A file is read: no samples but its sample 0, its first line kept (none when the samples
    // are those of a recording taken up again); the samples added are told once it is complete.
    void startReading(const std::optional<QString> &header);
    // The sample as num_mesure + 1, told at once unless a file is being read. False, nothing
    // stored, when full.
    bool add(Sample sample);
    // The file read is complete and is shown.
    void readComplete();

    // The samples from first on are read on scale, until another is set from a later one; the
    // identity before any, and after a clear.
    void setScaleFrom(int first, const SensorScale &scale);
    // The scale sample i is read on.
    const SensorScale &scaleAt(int i) const;
    // The samples read from lines numbered 1, where the file's recordings start.
    const std::vector<int> &recordingStarts() const { return m_starts; }

    // The alarm's periods for these samples, from the journal of the file they belong to: the
    // samples taken within one, already there and to come, are marked with its alarm.
    void setAlarmPeriods(std::vector<AlarmJournal::Period> periods);
    // Runs of samples first..last taken in alarm, by first sample.
    struct AlarmBand
    {
        int first;
        int last;
        AlarmEvent::Type type;
    };
    const std::vector<AlarmBand> &alarmBands() const { return m_bands; }
    // The alarm sample i was taken in, if any.
    std::optional<AlarmEvent::Type> alarmAt(int i) const;

signals:
    void cleared();
    void grew(); // one more recorded sample
    void reloaded(); // a file read, whole

private:
    // Samples 0..m_last; those after it are left from before the last clear, to be written
    // over, so that a file read after another reuses the memory its lines had.
    std::vector<Sample> m_samples;
    int m_last = 0;
    std::optional<QString> m_header;
    bool m_reading = false;
    std::vector<std::pair<int, SensorScale>> m_scales; // by first sample, rising
    std::vector<int> m_starts;
    // The alarm's periods, by start, and the samples they mark.
    void markAlarm(int i);
    struct AlarmSpan
    {
        qint64 from; // ms of the local date and time, as the samples' stamps read
        qint64 to;
        AlarmEvent::Type type;
    };
    std::vector<AlarmSpan> m_periods;
    std::vector<AlarmBand> m_bands;
};
