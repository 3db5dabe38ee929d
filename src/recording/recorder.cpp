#include "recorder.h"

#include "acquisition/acquisition.h"
#include "measurementbuffer.h"
#include "recordingfile.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <memory>

qint64 Recorder::Clock::bootTimeMs()
{
    timespec now {};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    using namespace std::chrono;
    return duration_cast<milliseconds>(seconds(now.tv_sec) + nanoseconds(now.tv_nsec)).count();
}

Recorder::Clock Recorder::Clock::system()
{
    return {&Clock::bootTimeMs, [] {
                return QDateTime::currentDateTime();
            }};
}

Recorder::Recorder(MeasurementBuffer &buffer, Acquisition &acquisition, std::function<Plan()> plan,
                   Clock clock, QObject *parent)
    : QObject(parent)
    , m_buffer(buffer)
    , m_acquisition(acquisition)
    , m_planned(std::move(plan))
    , m_clock(std::move(clock))
{
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setSingleShot(true);
    m_timer1.setInterval(int(SamplingSchedule::FirstTickDelayMs));
    m_timer1.setTimerType(Qt::PreciseTimer);
    connect(&m_timer1, &QTimer::timeout, this, &Recorder::tick);

    m_timerLed.setObjectName(QStringLiteral("TimerLed"));
    m_timerLed.setInterval(LedPeriodMs);
    connect(&m_timerLed, &QTimer::timeout, this, &Recorder::ledTick);
}

void Recorder::toggle()
{
    if (m_recording)
        stop();
    else
        start();
}

void Recorder::start()
{
    if (m_recording)
        return;
    m_timerLed.start();
    m_recording = true;
    m_plan = m_planned();
    m_schedule.start(m_clock.monotonicMs(), m_plan.periodMs, m_plan.divisor);
    m_acquisition.resetTest();
    m_buffer.restart();
    // Menus, caption and the cleared list and chart follow the signal, before the first tick.
    emit recordingChanged(true);
    armTimer1();
}

void Recorder::stop()
{
    if (!m_recording)
        return;
    m_recording = false;
    m_timer1.stop();
    eteint_led();
    m_timerLed.stop();
    emit recordingChanged(false);
}

void Recorder::tick()
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
    if (m_buffer.isFull()) {
        stop();
        emit stoppedOnProblem(bufferFullMessage());
        return;
    }
    const double value = m_acquisition.sampleValue();
    const QDateTime now = m_clock.now();
    m_buffer.append(value, now.toString(QStringLiteral("MM-dd-yyyy")),
                    now.toString(QStringLiteral("hh:mm:ss")));
    m_buffer.followValue(value);

    // On disk first, then listed: a sample the user has seen is never lost to a crash.
    const int n = m_buffer.num_mesure();
    const QByteArray line = RecordingFile::sampleLine(
        n, m_buffer.valeur(n), m_buffer.date_mesure(n), m_buffer.heure_mesure(n));
    const QString &path = m_plan.file;
    QString reason;
    const bool written = RecordingFile::append(path, line, &reason);
    emit sampleStored();
    if (!written) {
        stop();
        emit stoppedOnProblem(writeFailedMessage(path, reason));
    }
}

void Recorder::armTimer1()
{
    const qint64 delay = std::max<qint64>(0, m_schedule.nextTickAt() - m_clock.monotonicMs());
    m_timer1.start(int(std::min<qint64>(delay, std::numeric_limits<int>::max())));
}

void Recorder::ledTick()
{
    if (m_ledFill == LedDark) {
        m_ledFill = LedLit;
        emit ledChanged(true);
    } else {
        eteint_led();
    }
}

void Recorder::eteint_led()
{
    m_ledFill = LedDark;
    emit ledChanged(false);
}

QString Recorder::bufferFullMessage()
{
    return tr("L'enregistrement est arrêté : la limite de %1 mesures est atteinte.\nToutes les "
              "mesures prises sont dans la liste et dans le fichier d'enregistrement.")
        .arg(MeasurementBuffer::Capacity);
}

QString Recorder::writeFailedMessage(const QString &path, const QString &reason)
{
    return tr("L'enregistrement est arrêté : impossible d'écrire dans le fichier\n« %1 »\n(%2).\n"
              "La dernière mesure est dans la liste mais pas dans le fichier.")
        .arg(path, reason);
}
