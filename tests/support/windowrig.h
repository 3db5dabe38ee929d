#pragma once

#include "app/enregistreur.h"
#include "fakedialogs.h"
#include "fakehidtransport.h"
#include "sampling.h"
#include "testfiles.h"

#include <QDir>
#include <QTemporaryDir>

// The program's services for a run in a folder: its settings file there, a serial port that
// is missing unless one is given, a scripted board, and the given dialogs.
inline Enregistreur::Services testServices(const QString &folder, Dialogs &dialogs,
                                           const QString &serialPort = {})
{
    Enregistreur::Services services;
    services.configPath = QDir(folder).filePath("ondaris.cfg");
    services.serialPorts = [port = serialPort.isEmpty() ? folder + "/no-tty" : serialPort] {
        return QStringList {port};
    };
    services.hidTransport = std::make_unique<FakeHidTransport>();
    services.dialogs = &dialogs;
    return services;
}

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
        Enregistreur::Services services = testServices(dir.path(), dialogs, serialPort);
        board = static_cast<FakeHidTransport *>(services.hidTransport.get());
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
    void runSamples(int n) { ::runSamples(window->recorder(), window->buffer(), monotonic, n); }
    static QByteArray config(int option, int source, int width = 3600,
                             const QString &file = "data_tr.csv")
    {
        return ConfigFile::encode(Settings {file, quint8(option), quint8(source), qint16(width)});
    }
};
