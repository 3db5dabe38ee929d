// The program's window and recorder, run as the program runs them, for the crash tests to kill:
//   crashsubject record FOLDER   records at the 1-second option into FOLDER/data_tr.csv from the
//                                start, printing "listed N" as each sample is listed;
//   crashsubject switch FOLDER   switches the chart on and off as fast as it can, printing
//                                "switching" once, so that the settings file is being rewritten.
#include "acquisition/hidtransport.h"
#include "app/enregistreur.h"
#include "fakedialogs.h"
#include "fakehidtransport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QDir folder(QString::fromLocal8Bit(argv[2]));
    QDir::setCurrent(folder.path());
    QFile cfg(folder.filePath("ondaris.cfg"));
    if (!cfg.exists() && cfg.open(QIODevice::WriteOnly))
        cfg.write("\"NE PAS MODIFIER CE FICHIER\",\"data_tr.csv\",1,0,3600\r\n");
    cfg.close();

    FakeDialogs dialogs;
    Enregistreur::Services services;
    services.configPath = cfg.fileName();
    services.serialPorts = [port = folder.filePath("no-port")] {
        return QStringList {port};
    };
    services.hidTransport = std::make_unique<FakeHidTransport>();
    services.dialogs = &dialogs;
    Enregistreur window(std::move(services));
    window.Form_Load();
    window.show();

    QTimer keys;
    if (mode == QLatin1String("record")) {
        QObject::connect(&window.recorder(), &Recorder::sampleStored, [&] {
            std::printf("listed %d\n", window.buffer().num_mesure());
            std::fflush(stdout);
        });
        // The test value moves, so that the samples differ.
        QObject::connect(&keys, &QTimer::timeout, [&] { window.Form_KeyPress('+'); });
        keys.start(70);
        window.CmdRecord_Click();
    } else if (mode == QLatin1String("switch")) {
        QObject::connect(&keys, &QTimer::timeout, [&] { window.menuGraphe_Click(); });
        keys.start(0);
        std::printf("switching\n");
        std::fflush(stdout);
    } else {
        return 2;
    }
    return app.exec();
}
