#pragma once

#include "acquisition/alarmwatch.h"
#include "alarmsound.h"
#include "desktopnotifier.h"
#include "recording/alarmjournal.h"
#include "recording/recorder.h"

#include <QObject>
#include <memory>

// The threshold alarm around its rule: each event written to the journal of the current
// recording file before anything shows it, then told in the window, on the desktop and by the
// sound, repeated until someone acknowledges. A journal that cannot be written is told once;
// the alarm goes on in the window.
class Alarm : public QObject
{
    Q_OBJECT

public:
    // How often the sound comes again while the alarm waits for an acknowledgement.
    static constexpr qint64 SoundEveryMs = 5000;

    Alarm(Recorder::Clock clock, std::unique_ptr<DesktopNotifier> notifier,
          std::unique_ptr<AlarmSound> sound, QObject *parent = nullptr);

    // The limits, read on scale; the conditions under way are closed in the journal.
    void setLimits(const AlarmLimits &limits, const SensorScale &scale);
    const AlarmLimits &limits() const { return m_watch.limits(); }
    // The events go to the journal of that recording file from now on. At the first one, a
    // raise the journal holds unacknowledged waits again, and a period that a stop left open
    // (a crash, a power cut) is closed.
    void setJournal(const QString &recordingFile);
    // A refresh of the live value: its recorded value, none when not fresh. What it changes is
    // shown with the refresh.
    void check(std::optional<double> recorded);
    // "Acquitter", in the window or on the desktop.
    void acknowledge();
    // The program ends: a condition that lasts is closed in the journal.
    void stop();
    // Another source: the watch starts again, a condition that lasts closed in the journal.
    void restart();

    // What the window shows: nothing, or the alarm's colours (blinking while not acknowledged)
    // and its text.
    struct Look
    {
        bool shown = false;
        bool alarmColours = false; // a condition lasts or waits for its acknowledgement
        bool lit = true; // the blink's phase
        bool acknowledgeable = false;
        QString text;
    };
    Look look() const;
    // The periods in alarm of the current journal.
    const std::vector<AlarmJournal::Period> &periods() const { return m_periods; }

signals:
    // The look changed between two refreshes (a refresh is followed by its own showing).
    void changed();
    // An event was recorded: the periods may have changed.
    void periodsChanged();
    // Something the user must know: the journal unwritable, no desktop notifications.
    void problem(const QString &message);

private:
    void record(const AlarmEvent &event);
    void tellDesktop();
    QString text() const;
    QString when(const QDateTime &at) const;

    Recorder::Clock m_clock;
    std::unique_ptr<DesktopNotifier> m_notifier;
    std::unique_ptr<AlarmSound> m_sound;
    AlarmWatch m_watch;
    SensorScale m_scale;
    QString m_journal;
    std::vector<AlarmEvent> m_events; // of the current journal
    std::vector<AlarmJournal::Period> m_periods;
    std::optional<double> m_value; // the last fresh value, in units
    std::optional<qint64> m_soundedAt;
    QString m_unwritable; // the journal last told as unwritable
};
