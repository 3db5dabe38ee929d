// The program's window and recorder, run as the program runs them, for the crash tests to kill:
//   crashsubject record FOLDER   records at the 1-second option into FOLDER/data_tr.csv from the
//                                start, or resumes the recording found interrupted there,
//                                printing "listed N" as each sample is listed;
//   crashsubject switch FOLDER   switches the chart on and off as fast as it can, printing
//                                "switching" once, so that the settings file is being rewritten;
//   crashsubject alarm FOLDER    moves the test value across an alarm's limit and back,
//                                acknowledging now and then, printing "event N" as each event
//                                of the alarm is in its journal.
#include "windowrig.h"

#include <QApplication>
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
    if (mode == QLatin1String("alarm"))
        TestFiles::write(folder.filePath("ondaris.ini"),
                         "[alarme]\nhaute=2\ndelai=0\nhysteresis=1\n");
    FakeDialogs dialogs;
    Instrument instrument(testServices(folder.path()));
    Enregistreur window(instrument, dialogs);
    window.Form_Load();
    window.show();

    QTimer keys;
    int events = 0, pressed = 0; // of the alarm mode
    if (mode == QLatin1String("record")) {
        QObject::connect(&instrument.samples(), &SampleStore::grew, [&] {
            std::printf("listed %d\n", instrument.samples().num_mesure());
            std::fflush(stdout);
        });
        // The test value moves, so that the samples differ.
        QObject::connect(&keys, &QTimer::timeout, [&] { window.Form_KeyPress('+'); });
        keys.start(70);
        if (!QFile::exists(folder.filePath("ondaris.reprise")))
            window.CmdRecord_Click();
    } else if (mode == QLatin1String("switch")) {
        QObject::connect(&keys, &QTimer::timeout, [&] { window.menuGraphe_Click(); });
        keys.start(0);
        std::printf("switching\n");
        std::fflush(stdout);
    } else if (mode == QLatin1String("alarm")) {
        QObject::connect(&instrument.alarm(), &Alarm::periodsChanged, [&] {
            std::printf("event %d\n", ++events);
            std::fflush(stdout);
        });
        QObject::connect(&keys, &QTimer::timeout, [&] {
            window.Form_KeyPress(pressed++ % 10 < 5 ? '+' : '-');
            if (pressed % 25 == 0)
                instrument.alarm().acknowledge();
        });
        keys.start(50);
    } else {
        return 2;
    }
    return app.exec();
}
