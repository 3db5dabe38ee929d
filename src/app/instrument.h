#pragma once

#include "acquisition/acquisition.h"
#include "alarm.h"
#include "recording/recorder.h"
#include "recording/recordingnote.h"
#include "recording/samplestore.h"
#include "settings/extrasettings.h"
#include "settings/settingschoices.h"
#include "settings/settingsmodel.h"
#include "viewer/recordingloader.h"

#include <QObject>
#include <memory>

class HidTransport;

// The recorder's state and the rules between its parts: the settings, the live reading of the
// chosen source, the recording and the samples on screen. The windows show it and hand it the
// user's choices; it tells them, in French, what the user must know.
class Instrument : public QObject, public SettingsChoices
{
    Q_OBJECT

public:
    // What the world decides: where the settings are, the serial ports and the board present,
    // the clocks.
    struct Services
    {
        QString configPath;
        QString configFallback; // read while configPath is missing
        SerialLink::PortLister serialPorts = SerialLink::systemPorts;
        SerialLink::Clock serialClock = SerialLink::steadyNow; // the bytes' arrival times
        std::unique_ptr<HidTransport> hidTransport;
        Recorder::Clock clock = Recorder::Clock::system();
        // Where the alarm's desktop notifications go, how its sound is played, and the bell
        // when no player can be.
        std::function<QDBusConnection()> notificationBus = [] {
            return QDBusConnection::sessionBus();
        };
        std::optional<AlarmSound::Player> soundPlayer = AlarmSound::find();
        std::function<void()> bell;
    };

    explicit Instrument(Services services, QObject *parent = nullptr);

    // How long the question to resume an interrupted recording waits for an answer.
    static constexpr int ResumeAfterSeconds = 60;

    // Start-up: the settings read, or made with the defaults; the stored period applied and the
    // stored source opened; the live value refreshed from now on; a recording that was
    // interrupted found in its file, or why it cannot be taken up again told.
    void start();
    // Shut-down: the recording stopped, the serial port closed.
    void shutDown();

    // The question to ask when a recording was interrupted and can be taken up again.
    std::optional<QString> resumeQuestion() const;
    // The answer: yes, the recording goes on from its samples, read back into the list and the
    // chart; no, it is left as it is. Either way it is not asked again.
    void answerResume(bool yes);

    // The samples on screen, for the views that show them.
    const SampleStore &samples() const { return m_samples; }
    const SensorScale &scale() const override { return m_scale; }
    QString chooseScale(const QString &min, const QString &max, const QString &unit) override;
    // A date as written for a French reader in messages: "9 décembre 2026", "1er mars 2027".
    static QString frenchDate(QDate date);
    // The time of day in the system's format, without a time zone.
    QString clockText() const;
    // The live value as shown, and the test keys "+" and "-".
    QString liveText() const { return m_acquisition.displayText(); }
    void keyPress(int characterCode) { m_acquisition.keyPress(characterCode); }
    // The recorded value a sample would take now, none while the reading is not fresh.
    std::optional<double> liveValue() const { return m_acquisition.sampleValue(); }
    const Recorder::Clock &clock() const { return m_clock; } // the clocks it runs on
    bool isRecording() const { return m_recorder.isRecording(); }

    // A file is being read for viewing.
    bool isLoading() const { return m_loading; }
    // The chart is shown: the window is wide.
    bool chartShown() const;
    // "Graphe on/off": the chart shown or hidden, and the width kept for the next start; the
    // wide window's width is kept to widen back to.
    void toggleChart();
    // The window's width in twips: the narrow window's, or the wide one's as kept, never below
    // the design's.
    int windowWidth() const;
    // The window's height in twips as kept; 0 for none.
    int windowHeight() const { return m_extra.windowHeight(); }
    // The user resized the window (twips): its width, while the chart is shown, and its height
    // kept for the next start. The width's field holds at most 32767 twips.
    void keepWindowSize(int width, int height);
    // "Axe du temps", kept from run to run.
    bool timeAxis() const { return m_extra.timeAxis(); }
    void setTimeAxis(bool on);
    // The title bar: the program, whether the chart is shown, the current recording file.
    QString title() const;

    // "Alarme…": the limits in force, and the user's new ones, refused with the reason in French
    // (nothing changed) when they cannot be used or a recording runs.
    const AlarmLimits &alarmLimits() const { return m_alarm.limits(); }
    QString chooseAlarm(const AlarmLimits::Texts &texts);
    // The alarm as the window shows it, and its acknowledgement.
    Alarm &alarm() { return m_alarm; }

    const Settings &current() const override { return m_settings.settings(); }
    void chooseDuration(int index, bool save) override;
    void chooseSource(int index, bool save) override;

    // Why a new recording file cannot be made under this path, in French; empty when it can:
    // the settings file must be able to keep its name, and its folder must exist.
    static QString refusal(const QString &path);
    // "Nouvel Enregistrement": the file made afresh with its header and made the current one,
    // or the refusal told. An empty path (a cancelled choice) changes nothing.
    void newRecordingFile(const QString &path);

    // The record button: starts a recording when idle (the test value back to 0), stops it when
    // one runs; does nothing while a file loads.
    void toggleRecording();

    // "Visualiser Enregistrement": the samples and lines of a stored recording, shown once the
    // whole file is read; what went wrong is told. Nothing for an empty path, while a file loads
    // or while a recording runs.
    void view(const QString &path, const RecordingLoader::Hooks &hooks);

    // The name proposed for an export or a picture: "<name><ending>" beside the file the
    // samples on screen came from, the viewed file or the recording file.
    QString proposedName(const QString &ending) const;
    // Why an export or a picture may not be written to path, in French: it is the recording
    // file or the viewed one, never written over; empty when it may.
    QString overwriteRefusal(const QString &path) const;
    // The file the samples on screen came from: the viewed file or the recording file.
    QString shownFile() const;
    // "Exporter pour tableur": samples first..last written to path, a workbook for a ".xlsx"
    // path, else a CSV file in the user's locale; what went wrong is told, and so is a refused
    // path. An empty path (a cancelled choice) changes nothing.
    void exportSamples(const QString &path, int first, int last);
    // "Enregistrer l'image…": the chart's picture, PNG bytes, written to path; what went wrong
    // is told, and so is a refused path. An empty path changes nothing.
    void savePicture(const QString &path, const QByteArray &png);

signals:
    // Something to tell the user; a problem when warning is set.
    void told(const QString &text, bool warning);
    // A file starts or ends loading.
    void loadingChanged(bool loading);
    // The live value was refreshed.
    void refreshed();
    // After a recording's start or stop sequence.
    void recordingChanged(bool recording);

private:
    struct Interrupted
    {
        RecordingNote::Note note;
        RecordingNote::Recovered recovered;
    };
    void findInterrupted();
    // The scale of the recording that runs is kept beside its file, under its first line.
    void keepScale(const QByteArray &first);
    Recorder::Plan plan() const;
    // The settings of ondaris.ini written; unkept, and why, told when they could not be.
    void keepExtra(const QString &unkept);
    // The samples of the recording file on screen are marked with the alarm's periods.
    void markRecordingAlarms();

    Recorder::Clock m_clock;
    SettingsModel m_settings;
    SensorScale m_scale;
    Acquisition m_acquisition;
    SampleStore m_samples;
    Recorder m_recorder;
    bool m_loading = false;
    QString m_viewed; // the file last chosen for viewing
    QString m_shownFile; // the file the samples on screen came from; empty: the recording file
    RecordingNote m_note;
    ExtraSettings m_extra;
    Alarm m_alarm;
    RecordingNote::Note m_running; // the note of the recording that runs
    std::optional<Interrupted> m_interrupted;
};
