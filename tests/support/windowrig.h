#pragma once

#include "app/enregistreur.h"
#include "fakedialogs.h"
#include "fakehidtransport.h"
#include "testfiles.h"

#include <QDir>
#include <QTemporaryDir>

// A main window started in its own folder (made current), its settings file beside it, a
// scripted board, scripted dialogs and a clock that moves only when the test says so.
struct WindowRig
{
    QTemporaryDir dir;
    QString previousFolder = QDir::currentPath();
    FakeDialogs dialogs;
    FakeHidTransport *board = nullptr;
    qint64 monotonic = 5000;
    QDateTime wall {QDate(2026, 3, 14), QTime(10, 5, 0)};
    std::unique_ptr<Enregistreur> window;

    // config: the settings file's bytes before start-up, or null for none.
    explicit WindowRig(const QByteArray &config = QByteArray(),
                       const QString &serialPort = QString())
    {
        QDir::setCurrent(dir.path());
        if (!config.isNull())
            TestFiles::write(cfg(), config);
        auto fake = std::make_unique<FakeHidTransport>();
        board = fake.get();
        Enregistreur::Services services;
        services.configPath = cfg();
        services.serialPorts = [port = serialPort.isEmpty() ? dir.filePath("no-tty") : serialPort] {
            return QStringList {port};
        };
        services.hidTransport = std::move(fake);
        services.dialogs = &dialogs;
        services.clock = {[this] { return monotonic; },
                          [this] {
                              return wall.addMSecs(monotonic - 5000);
                          }};
        window = std::make_unique<Enregistreur>(std::move(services));
        window->Form_Load();
    }
    ~WindowRig()
    {
        window.reset();
        QDir::setCurrent(previousFolder);
    }
    QString cfg() const { return dir.filePath("ondaris.cfg"); }
    template<typename T> T *find(const char *name) const
    {
        return window->findChild<T *>(QLatin1StringView(name));
    }
    // Runs the sampling ticks of the recording until it holds n more samples or stops.
    void runSamples(int n)
    {
        Recorder &recorder = window->recorder();
        const int target = window->buffer().num_mesure() + n;
        while (recorder.isRecording() && window->buffer().num_mesure() < target) {
            monotonic = recorder.schedule().nextTickAt();
            recorder.tick();
        }
    }
    static QByteArray config(int option, int source, int width = 3600,
                             const QString &file = "data_tr.csv")
    {
        return ConfigFile::encode(Settings {file, quint8(option), quint8(source), qint16(width)});
    }
};
