#pragma once

#include "app/instrument.h"
#include "app/widgets/enregistreur.h"
#include "fakedialogs.h"
#include "fakehidtransport.h"
#include "sampling.h"
#include "testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QTemporaryDir>

// The program's services for a run in a folder: its settings file there, a serial port that
// is missing, and a scripted board.
inline Instrument::Services testServices(const QString &folder)
{
    Instrument::Services services;
    services.configPath = QDir(folder).filePath("ondaris.cfg");
    services.serialPorts = [port = folder + "/no-tty"] {
        return QStringList {port};
    };
    services.hidTransport = std::make_unique<FakeHidTransport>();
    // No desktop: no session bus, no sound player.
    services.notificationBus = [] {
        return QDBusConnection(QStringLiteral("no bus"));
    };
    services.soundPlayer.reset();
    return services;
}

// A main window started in its own folder (made current), its settings file beside it, a
// scripted board, scripted dialogs, and clocks and a live value that move only when the test
// says so.
struct WindowRig
{
    QTemporaryDir dir;
    QString previousFolder = QDir::currentPath();
    FakeDialogs dialogs;
    FakeHidTransport *board = nullptr;
    qint64 monotonic = 5000;
    QString serialPort; // the first serial port present; none when empty
    SerialFramer::Time serialAhead {}; // the serial clock ahead of the real one
    std::unique_ptr<Instrument> core;
    std::unique_ptr<Enregistreur> window;

    // config: the settings file's bytes before start-up, or null for none; the files made
    // before start-up.
    explicit WindowRig(const QByteArray &config = QByteArray(),
                       const QString &serialPort = QString(),
                       const QList<std::pair<const char *, QByteArray>> &files = {},
                       const std::function<void(Instrument::Services &)> &adjust = {})
    {
        QDir::setCurrent(dir.path());
        if (!config.isNull())
            TestFiles::write(cfg(), config);
        for (const auto &[name, bytes] : files)
            if (!bytes.isNull())
                TestFiles::write(dir.filePath(name), bytes);
        this->serialPort = serialPort.isEmpty() ? dir.filePath("no-tty") : serialPort;
        Instrument::Services services = testServices(dir.path());
        services.serialPorts = [this] {
            return QStringList {this->serialPort};
        };
        services.serialClock = [this] {
            return SerialLink::steadyNow() + serialAhead;
        };
        board = static_cast<FakeHidTransport *>(services.hidTransport.get());
        services.clock = testClock(monotonic, QDateTime(QDate(2026, 3, 14), QTime(10, 5)), 5000);
        if (adjust)
            adjust(services);
        core = std::make_unique<Instrument>(std::move(services));
        window = std::make_unique<Enregistreur>(*core, dialogs);
        window->Form_Load();
        acquisition().findChild<QTimer *>("TimerValActu")->stop(); // refreshed when the test says
    }
    ~WindowRig()
    {
        window.reset();
        core.reset();
        QDir::setCurrent(previousFolder);
    }
    QString cfg() const { return dir.filePath("ondaris.cfg"); }
    QString note() const { return dir.filePath("ondaris.reprise"); }
    template<typename T> T *find(const char *name) const
    {
        return window->findChild<T *>(QLatin1StringView(name));
    }
    // The instrument's parts, whose timers tests drive.
    Recorder &recorder() const { return *core->findChild<Recorder *>(); }
    Acquisition &acquisition() const { return *core->findChild<Acquisition *>(); }
    void runSamples(int n) { ::runSamples(recorder(), core->samples(), monotonic, n); }
    // The sampling timer's next tick, the clock moved on to it, and a refresh of the live value,
    // each run by the event loop, which never runs a timer inside its own slot: false when one
    // could not run (a handler of it still waits).
    bool tick()
    {
        auto *timer1 = recorder().findChild<QTimer *>("Timer1");
        monotonic += timer1->interval();
        const bool sampled = !recorder().isRecording() || fire(timer1);
        auto *refresh = acquisition().findChild<QTimer *>("TimerValActu");
        const bool refreshed = fire(refresh);
        refresh->stop();
        return sampled && refreshed;
    }
    static bool fire(QTimer *timer)
    {
        bool fired = false;
        const auto seen = QObject::connect(timer, &QTimer::timeout, [&fired] { fired = true; });
        const int interval = timer->interval();
        timer->start(0);
        for (int i = 0; i < 10 && !fired; ++i)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QObject::disconnect(seen);
        if (!timer->isActive() || !fired) { // not armed again by its slot
            timer->stop();
            timer->setInterval(interval);
        }
        return fired;
    }
    static QByteArray config(int option, int source, int width = 3600,
                             const QString &file = "data_tr.csv")
    {
        return ConfigFile::encode(Settings {file, quint8(option), quint8(source), qint16(width)});
    }
};
