#include "recorder.h"

#include "recordingfile.h"
#include "samplestore.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <limits>

namespace {

// Milliseconds since boot, the time the machine was suspended included.
qint64 bootTimeMs()
{
    timespec now {};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    using namespace std::chrono;
    return duration_cast<milliseconds>(seconds(now.tv_sec) + nanoseconds(now.tv_nsec)).count();
}

} // namespace

Recorder::Clock Recorder::Clock::system()
{
    return {&bootTimeMs, [] {
                return QDateTime::currentDateTime();
            }};
}

Recorder::Recorder(SampleStore &store, std::function<std::optional<double>()> sample, Clock clock,
                   QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_sample(std::move(sample))
    , m_clock(std::move(clock))
{
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setSingleShot(true);
    m_timer1.setTimerType(Qt::PreciseTimer);
    connect(&m_timer1, &QTimer::timeout, this, &Recorder::Timer1_Timer);
}

void Recorder::start(const Plan &plan)
{
    if (m_recording)
        return;
    m_store.clear();
    begin(plan);
}

void Recorder::resume(const Plan &plan)
{
    if (!m_recording)
        begin(plan);
}

void Recorder::begin(const Plan &plan)
{
    m_firstNumber = m_store.num_mesure();
    m_recording = true;
    m_waiting = false;
    m_plan = plan;
    m_schedule.start(m_clock.monotonicMs(), m_plan.periodMs, m_plan.divisor);
    emit recordingChanged(true);
    armTimer1();
}

void Recorder::readingRefreshed()
{
    if (m_recording && m_waiting)
        takeSample();
}

void Recorder::stop()
{
    if (!m_recording)
        return;
    m_recording = false;
    m_timer1.stop();
    emit recordingChanged(false);
}

void Recorder::Timer1_Timer()
{
    if (!m_recording)
        return;
    if (m_schedule.onTick(m_clock.monotonicMs()))
        takeSample();
    if (m_recording)
        armTimer1();
}

void Recorder::takeSample()
{
    if (m_store.isFull()) {
        stop();
        emit stoppedOnProblem(
            tr("L'enregistrement est arrêté : la limite de %1 mesures est atteinte.\nToutes les "
               "mesures prises sont dans la liste et dans le fichier d'enregistrement.")
                .arg(SampleStore::Capacity));
        return;
    }
    const std::optional<double> value = m_sample();
    // Nothing measured: no sample, no number used; the first one waits for a reading.
    m_waiting = !value && m_store.num_mesure() == m_firstNumber;
    if (!value)
        return;
    const QDateTime now = m_clock.now();
    const QTime time = now.time();
    const Sample sample {m_store.num_mesure() + 1, *value, now.date(),
                         QTime(time.hour(), time.minute(), time.second())};
    // On disk first, then listed: a sample the user has seen is never lost to a crash.
    QString reason;
    const QByteArray line = RecordingFile::line(sample);
    if (sample.number == 1)
        emit firstLineWriting(line.chopped(2));
    const bool written = RecordingFile::append(m_plan.file, line, &reason);
    m_store.add(sample);
    if (!written) {
        stop();
        emit stoppedOnProblem(
            tr("L'enregistrement est arrêté : impossible d'écrire dans le fichier\n« %1 »\n(%2).\n"
               "La dernière mesure est dans la liste mais pas dans le fichier.")
                .arg(m_plan.file, reason));
    }
}

void Recorder::armTimer1()
{
    const qint64 delay = std::max<qint64>(0, m_schedule.nextTickAt() - m_clock.monotonicMs());
    m_timer1.start(int(std::min<qint64>(delay, std::numeric_limits<int>::max())));
}
