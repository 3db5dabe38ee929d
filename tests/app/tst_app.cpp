#include "app/widgets/desktoplook.h"
#include "app/widgets/qtdialogs.h"
#include "chart/widgets/chartview.h"
#include "chart/widgets/samplelistview.h"
#include "ptypair.h"
#include "settings/extrasettings.h"
#include "settings/widgets/formoption.h"
#include "viewer/widgets/loadingwindow.h"
#include "windowrig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>
#include <sys/stat.h>

using TestFiles::read;
using namespace std::chrono_literals;
using TestFiles::recording;

class TestApp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { DesktopLook::apply(*qApp); }
    // The test keys reach the window whatever has the focus and the clock shows the time of day;
    // a recording takes the test value from 0 and closing while it runs is asked first. An absent
    // serial port is told once, over the window once it is shown, or over the settings dialog.
    void liveValue()
    {
        WindowRig rig;
        rig.window->show();
        rig.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
        auto *button = rig.find<QPushButton>("CmdRecord");
        rig.find<SampleListView>("Text1")->setFocus();
        QTest::keyClicks(rig.find<SampleListView>("Text1"), QStringLiteral("+++-x"));
        QTest::keyClick(rig.find<SampleListView>("Text1"), Qt::Key_Plus, Qt::KeypadModifier);
        button->setFocus();
        QTest::keyClick(button, '+');
        rig.acquisition().TimerValActu_Timer();
        QCOMPARE(rig.find<QLabel>("Label3")->text(), QStringLiteral("4"));
        QVERIFY(rig.find<QLabel>("Label2")->text().startsWith(QStringLiteral("10:05:00")));
        QCOMPARE(rig.find<SampleListView>("Text1")->model()->rowCount(), 0);
        QTest::mouseClick(button, Qt::LeftButton);
        rig.runSamples(1);
        QCOMPARE(read(rig.note()),
                 "Ondaris : enregistrement en cours\n0\ndata_tr.csv\n1;0;03-14-2026;10:05:00\n");
        QTest::keyClicks(button, QStringLiteral("++"));
        rig.runSamples(1);
        QVERIFY(!rig.window->close() && rig.recorder().isRecording()); // answered No
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(read(rig.dir.filePath("data_tr.csv")),
                 "1;0;03-14-2026;10:05:00\r\n2;2;03-14-2026;10:05:01\r\n");

        WindowRig serial(WindowRig::config(1, 2)), usb(WindowRig::config(1, 1));
        QCOMPARE(std::tuple(rig.board->opens, serial.board->opens, usb.board->opens),
                 std::tuple(0, 0, 1));
        QVERIFY(serial.dialogs.told.isEmpty()); // held until the window is on screen
        serial.window->show();
        QTRY_COMPARE(serial.dialogs.told.size(), 1);
        QCOMPARE(serial.dialogs.toldOver, serial.window.get());
        QVERIFY(serial.dialogs.told.first().contains(serial.dir.filePath("no-tty")));

        // Opened, the settings dialog writes nothing; a port failure is told over it, as over the
        // disabled main window the message could not be answered.
        QVERIFY(QFile::remove(rig.cfg()));
        rig.window->menuReglage_Click();
        QVERIFY(!QFile::exists(rig.cfg()));
        auto *dialog = rig.window->findChild<FormOption *>("Form_option");
        for (auto *b : dialog->findChildren<QAbstractButton *>("Option2"))
            if (b->property("index") == 2)
                QTest::mouseClick(b, Qt::LeftButton, {}, {6, 8});
        QTRY_COMPARE(rig.dialogs.told.size(), 1);
        QCOMPARE(rig.dialogs.toldOver, dialog);
    }
    // A two-point calibration in test mode, "+" typed in its window moving the test value: a
    // point whose value moves while it is read is refused and read again; the line through 12.5
    // at 9 and 52.5 at 49 gives Min 12.5 − 9 and Max 12.5 + 991, shown, then applied as typed.
    void calibrates()
    {
        WindowRig rig;
        rig.window->show();
        rig.window->menuReglage_Click();
        auto *dialog = rig.window->findChild<FormOption *>("Form_option");
        QTest::keyClicks(dialog->findChild<QLineEdit *>("Text4"), "mV");
        QTest::keyClick(dialog->findChild<QLineEdit *>("Text4"), Qt::Key_Return);
        QTest::mouseClick(dialog->findChild<QPushButton *>("CmdEtalonner"), Qt::LeftButton);
        QPointer calibration = dialog->findChild<QWidget *>("Form_etalonnage");
        QVERIFY(QTest::qWaitForWindowActive(calibration));
        const auto refresh = [&](int n) {
            for (int i = 0; i < n; ++i) {
                rig.monotonic += Acquisition::RefreshPeriodMs;
                rig.acquisition().TimerValActu_Timer();
            }
        };
        auto *measure1 = calibration->findChild<QPushButton *>("CmdMesurer1");
        auto *measure2 = calibration->findChild<QPushButton *>("CmdMesurer2");
        auto *apply = calibration->findChild<QPushButton *>("CmdAppliquer");
        QTest::keyClicks(calibration->findChild<QLineEdit *>("TextVraie1"), "12,5");
        QTest::mouseClick(measure1, Qt::LeftButton);
        refresh(2);
        QTest::keyClicks(measure1, QString(9, u'+'));
        refresh(1);
        QVERIFY(calibration->findChild<QLabel *>("LabelPoint1")->text().contains("bouge de 9"));
        QTest::mouseClick(measure1, Qt::LeftButton);
        refresh(15);
        QTest::keyClicks(measure1, QString(40, u'+'));
        QTest::keyClicks(calibration->findChild<QLineEdit *>("TextVraie2"), "52.5");
        QTest::mouseClick(measure2, Qt::LeftButton);
        refresh(14);
        QVERIFY(!apply->isEnabled());
        refresh(1);
        QCOMPARE(calibration->findChild<QLabel *>("LabelResultat")->text(),
                 "Echelle obtenue : Max = 1003.5\u00A0mV, Min = 3.5\u00A0mV");
        QCOMPARE(rig.core->scale(), SensorScale(0, 1000, "mV"));
        QTest::mouseClick(apply, Qt::LeftButton);
        QCOMPARE(rig.core->scale(), SensorScale(3.5, 1003.5, "mV"));
        QCOMPARE(dialog->findChild<QLineEdit *>("Text1")->text(), "1003.5");
        QCOMPARE(dialog->findChild<QLineEdit *>("Text2")->text(), "3.5");
        QVERIFY(!calibration || !calibration->isVisible());
    }
    // A recording over a serial sensor, the clocks following the real one and the timers run by
    // the event loop: it falls silent, then its adapter is pulled out and plugged back. Each
    // outage is told once, in a box nobody answers, in sight of the other; under them the clock
    // goes on, "----" is shown and nothing recorded while nothing comes, the samples come back
    // with the frames, one a second, and the record button stops the recording.
    void measuringGoesOnUnderMessages()
    {
        auto pty = std::make_unique<PtyPair>();
        QtDialogs boxes;
        WindowRig rig(WindowRig::config(1, 2), pty->slaveName());
        rig.dialogs.shown = &boxes;
        rig.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
        bool sending = true;
        char reading = 30;
        QElapsedTimer real;
        real.start();
        const SampleStore &store = rig.core->samples();
        const auto *value = rig.find<QLabel>("Label3");
        const auto *clock = rig.find<QLabel>("Label2");
        // The recorder's clocks, and a sensor sending every 300 ms while it is on. A clock label
        // frozen for 2 s is a refresh waiting for an answer: the boxes are answered, the test
        // fails.
        QString shown;
        qint64 shownAt = 0, frozen = 0;
        QTimer world;
        connect(&world, &QTimer::timeout, this, [&] {
            rig.monotonic = 5000 + real.elapsed();
            if (sending && real.elapsed() / 300 != (real.elapsed() - 10) / 300)
                (void)pty->write(QByteArray("\x0A\x14", 2) + reading + '\x28');
            if (clock->text() != std::exchange(shown, clock->text()))
                shownAt = real.elapsed();
            if (real.elapsed() - shownAt > 2000)
                for (QMessageBox *box : boxes.waiting())
                    box->done(++frozen);
        });
        world.start(10);
        rig.acquisition().startRefresh();
        auto *record = rig.find<QPushButton>("CmdRecord");
        QTest::mouseClick(record, Qt::LeftButton);
        QTRY_COMPARE(store.num_mesure(), 2);

        const auto outage = [&](const char *told, int &before) {
            QTRY_VERIFY(value->text() == "----" && !boxes.waiting().isEmpty()
                        && boxes.waiting().constLast()->text().contains(told));
            before = store.num_mesure();
            const QString time = clock->text();
            QTest::qWait(1500);
            QCOMPARE(store.num_mesure(), before);
            QVERIFY(clock->text() != time);
            reading += 10;
        };
        sending = false;
        QTest::qWait(400); // the last frame read
        rig.serialAhead += 6s; // silent for 6 s, as the link sees it
        int silent = 0, unplugged = 0;
        outage("n'envoie plus de mesure", silent);
        sending = true;
        QTRY_COMPARE(store.num_mesure(), silent + 2);
        QCOMPARE(value->text(), "156");

        pty->hangUp();
        outage("Le port a disparu", unplugged);
        pty = std::make_unique<PtyPair>();
        rig.serialPort = pty->slaveName(); // plugged back: opened again within 2 s
        QTRY_COMPARE_WITH_TIMEOUT(store.num_mesure(), unplugged + 2, 8000);
        QCOMPARE(value->text(), "196");
        const QList<QMessageBox *> waiting = boxes.waiting();
        QCOMPARE(waiting.size(), 2);
        QVERIFY(waiting[0]->pos() != waiting[1]->pos());
        QCOMPARE(rig.dialogs.told.size(), 2);

        QTest::mouseClick(record, Qt::LeftButton);
        QVERIFY(!rig.recorder().isRecording() && frozen == 0);
        const QList<QByteArray> lines = read(rig.dir.filePath("data_tr.csv")).split('\n');
        QCOMPARE(lines.size(), store.num_mesure() + 1);
        for (const int n : {1, silent, silent + 1, unplugged, unplugged + 1, store.num_mesure()})
            QVERIFY2(lines[n - 1].startsWith(QByteArray(QByteArray::number(n) + ';'
                                                        + (n <= silent          ? "117"
                                                               : n <= unplugged ? "156"
                                                                                : "196"))),
                     lines[n - 1]);
    }
    // A recording left running by a crash is found at the next start: asked about over the
    // window, it goes on from its samples, read back, with the next number, its half-written
    // line cut; declined, left as it is. A note that does not fit its file is dropped, told
    // unless it is no note at all. However the recording then stops, the note goes.
    void resumesAnInterruptedRecording_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: none
        QTest::addColumn<QByteArray>("note");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<int>("resumed"); // samples read back; -1: not asked
        QTest::addColumn<QString>("told");
        const QByteArray h = RecordingFile::header(), noted = "Ondaris : enregistrement en cours\n";
        const QByteArray three = TestFiles::samples(1, 3, [](int i) { return i * 100; });
        const QByteArray first = "1;100;12-06-2026;04:38:58\n"; // as the note keeps it
        const QByteArray at0 = noted + "0\ndata_tr.csv\n",
                         at27 = noted + "27\ndata_tr.csv\n" + first;
        const auto full = [&](int n) {
            return recording(n, [](int i) { return i * 100; });
        };
        const char *changed = "ne se termine plus";
        const auto row = [](const char *name, QByteArray file, QByteArray note, bool answer,
                            int resumed, const char *told = "") {
            QTest::newRow(name) << file << note << answer << resumed << QString(told);
        };
        row("resumed", h + three + "4;40", at27, true, 3);
        row("declined", h + three, at27, false, 3);
        row("none taken yet", QByteArray(), at0, true, 0);
        row("full", full(32000), at27, true, 32000, "32000");
        row("file gone", QByteArray(), at27, true, -1, "n'existe plus");
        row("made, then gone", QByteArray(), at0 + first, true, -1, "n'existe plus");
        row("replaced", TestFiles::samples(1, 40, [](int i) { return i; }), at0 + first, true, -1,
            changed);
        row("lines where none was written", three, at0, true, -1, changed);
        row("emptied", "", at27, true, -1, changed);
        row("another recording after", h + three + three, at27, true, -1, changed);
        row("a line end first", h + "\n" + three, at27, true, -1, changed);
        row("a long tail", h + three + QByteArray(64, '9'), at27, true, -1, changed);
        row("32001 lines", full(32001), at27, true, -1, changed);
        row("junk", h + three, "Ondaris\n27\n", true, -1);
        row("not UTF-8", h + three, noted + "27\n\xff.csv\n", true, -1);
        row("before the file", h + three, noted + "-5\ndata_tr.csv\n", true, -1);
        row("another file now", h + three, noted + "27\nautre.csv\n", true, -1, "un autre fichier");
    }
    void resumesAnInterruptedRecording()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, note);
        QFETCH(int, resumed);
        QFETCH(QString, told);
        WindowRig rig(WindowRig::config(1, 0), {},
                      {{"data_tr.csv", file}, {"ondaris.reprise", note}});
        QFETCH(bool, answer);
        rig.dialogs.resumeAnswer = answer;
        rig.window->show();
        QCoreApplication::processEvents(); // what the window holds until it is shown: told, asked
        QCOMPARE(rig.dialogs.resumeQuestions.size(), resumed >= 0 ? 1 : 0);
        QCOMPARE(rig.recorder().isRecording(), resumed >= 0 && answer);
        const SampleStore &store = rig.core->samples();
        const int listed = answer ? std::max(resumed, 0) : 0;
        QCOMPARE(std::tuple(store.num_mesure(), rig.find<ChartView>("Ecran1")->drawnCount(),
                            rig.find<SampleListView>("Text1")->model()->rowCount()),
                 std::tuple(listed, listed, rig.recorder().isRecording() ? listed + 1 : 0));
        if (resumed > 0)
            QVERIFY(rig.dialogs.resumeQuestions.first().contains(
                QString("Fichier : data_tr.csv\nDernière mesure : N° %1, le 6 décembre 2026 à "
                        "04:38:58 (%1 mesures dans cet enregistrement).")
                    .arg(resumed)));
        rig.tick(); // the first new sample at once, as at a start, listed as a recording's
        const QAbstractItemModel *rows = rig.find<SampleListView>("Text1")->model();
        if (rig.recorder().isRecording())
            QCOMPARE(std::tuple(store.num_mesure(), rows->rowCount(),
                                rows->index(listed + 1, 0).data().toString()),
                     std::tuple(listed + 1, listed + 2, QString("0 ---- 000 ---  --- ")));
        if (resumed == 3 && answer) // the half line cut off, the new sample after the others
            QCOMPARE(read(rig.dir.filePath("data_tr.csv")),
                     file.left(file.lastIndexOf('\n') + 1) + "4;0;03-14-2026;10:05:00\r\n");
        else if (!answer || resumed < 0)
            QCOMPARE(read(rig.dir.filePath("data_tr.csv")), file);
        QCOMPARE(rig.dialogs.told.size(), told.isEmpty() ? 0 : 1);
        QVERIFY(rig.dialogs.told.join("").contains(told));
        QCOMPARE(QFile::exists(rig.note()), rig.recorder().isRecording());
        rig.dialogs.quitAnswer = true; // "Oui" to the quit question stops it too
        QVERIFY(rig.window->close());
        QVERIFY(!QFile::exists(rig.note()));
    }
    // What the user does during a load arrives as the window system's input: it is dropped, not
    // held back until the load is over; a close is asked once the load ends.
    void inputDuringALoadIsDropped()
    {
        WindowRig rig;
        rig.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
        const QByteArray big = recording(32001, [](int i) { return i % 999; });
        bool checked = false;
        connect(rig.find<LoadingWindow>("barreChargement"), &LoadingWindow::started, this, [&] {
            auto *record = rig.find<QPushButton>("CmdRecord");
            QVERIFY(!rig.find<QMenu>("menu_fichier")->isEnabled() && !record->isEnabled());
            QCOMPARE(rig.find<QProgressBar>("ProgressBar1")->maximum(), big.size());
            QWindow *window = rig.window->windowHandle();
            const QPointF at = record->mapTo(rig.window.get(), record->rect().center());
            using Queued = QWindowSystemInterface::AsynchronousDelivery;
            for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
                QWindowSystemInterface::handleMouseEvent<Queued>(
                    window, at, window->mapToGlobal(at),
                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                    Qt::LeftButton, type);
            QWindowSystemInterface::handleKeyEvent<Queued>(window, QEvent::KeyPress, Qt::Key_Plus,
                                                           Qt::NoModifier, "+");
            QWindowSystemInterface::handleCloseEvent<Queued>(window);
            checked = true;
        });
        TestFiles::write(rig.dialogs.viewAnswer = rig.dir.filePath("viewed.csv"), big);
        rig.window->menu_charger_Click();
        QVERIFY(checked);
        QCOMPARE(rig.dialogs.quitQuestions, 0);
        QTRY_COMPARE(rig.dialogs.quitQuestions, 1);
        rig.acquisition().TimerValActu_Timer();
        QVERIFY(!rig.recorder().isRecording() && rig.find<QLabel>("Label3")->text() == "0");
        QCOMPARE(rig.dialogs.told.size(), 1);
        QVERIFY(rig.dialogs.told.first().contains(QStringLiteral("32000")));
    }
    // A second program ends at once, leaving the first alone; once the first has crashed, a
    // new one starts. A copy of the program alone in an empty folder, with its own runtime folder.
    void secondProgramEndsAtOnce()
    {
        QTemporaryDir folder, runtime, home;
        ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
        const QString program = folder.filePath("ondaris");
        QVERIFY(QFile::copy(QStringLiteral(ONDARIS_BINARY), program));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("HOME", home.path());
        const auto start = [&](QProcess &process) {
            process.setProcessEnvironment(env);
            process.setWorkingDirectory(folder.path());
            process.start(program, {});
        };

        QProcess first;
        start(first);
        QVERIFY(first.waitForStarted());
        const QString cfg = folder.filePath("ondaris.cfg");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(cfg), 10000);

        const QString note = folder.filePath("ondaris.reprise"); // never the second's to take up
        TestFiles::write(note, "Ondaris : enregistrement en cours\n0\ndata_tr.csv\n");
        QProcess second;
        start(second);
        QVERIFY(second.waitForFinished(10000) && QFile::exists(note));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        first.kill(); // a crash leaves its lock behind: the next start goes on all the same
        first.waitForFinished();
        QVERIFY(QFile::remove(cfg));
        QProcess third;
        start(third);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(cfg), 10000);
        QCOMPARE(third.state(), QProcess::Running);
        third.kill();
        third.waitForFinished();
    }
    // Questions and messages wait in boxes of their own while the caller goes on: the question to
    // resume counts down and answers Yes by itself at the end, "Non" clicked answers No; a
    // message or the quit question already waiting is brought forward, not shown twice; the
    // boxes that wait together are each in sight.
    void boxesWaitWithoutBlocking()
    {
        QtDialogs dialogs;
        std::optional<bool> answer;
        const auto answered = [&](bool yes) {
            answer = yes;
        };
        QElapsedTimer waited;
        waited.start();
        dialogs.askResume(nullptr, "Reprendre l'enregistrement ?", 2, answered);
        const QMessageBox *box = dialogs.waiting().value(0);
        const QString text = "Sans réponse, l'enregistrement reprend de lui-même dans %1 s.";
        QCOMPARE(box->informativeText(), text.arg(2));
        QTRY_COMPARE(box->informativeText(), text.arg(1));
        QTRY_COMPARE(answer, true);
        QVERIFY(waited.elapsed() >= 1900);
        answer.reset();
        dialogs.askResume(nullptr, "Reprendre l'enregistrement ?", 60, answered);
        QCOMPARE(answer, std::nullopt);
        QTest::mouseClick(dialogs.waiting().value(0)->button(QMessageBox::No), Qt::LeftButton);
        QCOMPARE(answer, false);

        int quits = 0;
        for (const char *text : {"Port série perdu", "Réglages non écrits", "Port série perdu"})
            dialogs.tell(nullptr, text, true);
        for (int i = 0; i < 2; ++i)
            dialogs.askQuit(nullptr, [&](bool yes) { quits += yes ? 10 : 1; });
        const QList<QMessageBox *> boxes = dialogs.waiting();
        QCOMPARE(boxes.size(), 3);
        for (int i = 0; i < 3; ++i) // one below the other while the screen has room
            QVERIFY(!boxes[i]->frameGeometry().intersects(boxes[(i + 1) % 3]->frameGeometry()));
        QTest::keyClick(boxes[2], Qt::Key_Escape);
        QCOMPARE(std::pair(quits, int(dialogs.waiting().size())), std::pair(1, 2));
    }
    // A scale typed in the settings dialog's panel: refused with its reason, nothing kept; or in
    // force at once in the live value, the list and the export, kept for the next start and,
    // with the recording, beside its file: viewed on another scale later, it reads on its own,
    // and as recorded once that record is junk. The file keeps the recorded values.
    void scaleInUnits_data()
    {
        QTest::addColumn<QStringList>("typed"); // Max, Min, unit
        QTest::addColumn<QString>("shown"); // the test value 200, or the refusal
        QTest::newRow("0..50 °C") << QStringList {"50", "0", "°C"} << "10,0\u00a0°C";
        QTest::newRow("inverted, a decimal comma")
            << QStringList {"-10", "40,5", "°C"} << "30,4\u00a0°C";
        QTest::newRow("Max = Min") << QStringList {"5", "5,0", ""} << "égaux";
        QTest::newRow("not a number") << QStringList {"5a", "0", ""} << "« 5a » n'est pas";
        QTest::newRow("beyond a billion") << QStringList {"0", "-1e10", ""} << "milliard";
        QTest::newRow("a quote in the unit") << QStringList {"50", "0", "°\"C"} << "unité";
        QTest::newRow("a semicolon in the unit") << QStringList {"50", "0", "a;b"} << "unité";
    }
    void scaleInUnits()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, shown);
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        const auto cLocale = qScopeGuard([] { QLocale::setDefault(QLocale::c()); });
        WindowRig rig;
        const QString ini = rig.dir.filePath("ondaris.ini"), csv = rig.dir.filePath("data_tr.csv");
        const QByteArray before = read(ini);
        rig.window->show();
        rig.window->menuReglage_Click();
        auto *dialog = rig.window->findChild<FormOption *>("Form_option");
        const char *fields[] = {"Text1", "Text2", "Text4"};
        for (int i = 0; i < 3; ++i) {
            auto *field = dialog->findChild<QLineEdit *>(fields[i]);
            field->clear();
            QTest::keyClicks(field, typed[i]);
        }
        QTest::keyClick(dialog->findChild<QLineEdit *>("Text4"), Qt::Key_Return);
        const QString line = dialog->findChild<QLabel *>("Label5")->text();
        const bool refused = !shown.contains(u'C');
        QVERIFY2(line.contains(refused ? shown : "1 pas = ") == true, qPrintable(line));
        QCOMPARE(rig.core->scale().isIdentity(), refused);
        QCOMPARE(read(ini) == before, refused);
        QTest::keyClick(dialog->findChild<QPushButton *>("Command1"), Qt::Key_Space);
        rig.window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
        QTest::mouseClick(rig.find<QPushButton>("CmdRecord"), Qt::LeftButton);
        QTest::keyClicks(rig.find<SampleListView>("Text1"), QString(200, u'+'));
        rig.acquisition().TimerValActu_Timer();
        QCOMPARE(rig.find<QLabel>("Label3")->text(), refused ? "200" : shown);
        rig.runSamples(2);
        QTest::mouseClick(rig.find<QPushButton>("CmdRecord"), Qt::LeftButton);
        const QAbstractItemModel *rows = rig.find<SampleListView>("Text1")->model();
        QCOMPARE(rows->index(0, 0).data().toString(),
                 "2 ---- " + (refused ? QString("200") : shown) + " --- 03-14-2026 --- 10:05:01");
        QVERIFY(read(csv).startsWith("1;200;03-14-2026;10:05:00\r\n"));
        QCOMPARE(QFile::exists(csv + ".echelle"), !refused);
        if (refused)
            return;
        ExtraSettings next(ini);
        next.load();
        QCOMPARE(next.scale(), rig.core->scale());

        QCOMPARE(rig.core->chooseScale("100", "0", "%HR"), QString());
        for (const bool junk : {false, true}) {
            if (junk)
                TestFiles::write(csv + ".echelle", "1;200;03-14-2026;10:05:00\t0\tx\t°C\n");
            rig.dialogs.viewAnswer = csv;
            rig.window->menu_charger_Click();
            QCOMPARE(rows->index(1, 0).data().toString(),
                     "2 ---- 2;" + (junk ? QString("200") : shown) + ";03-14-2026;10:05:01");
        }
    }
    // The recording and export dialogs add ".csv" to a bare name, ask before overwriting, and
    // refuse a name they may not take with their own message before that question, staying
    // open. Quotes Qt's dialog reads as a list of names: only the window's own check sees them.
    // With the workbook type chosen, an export's name ends with ".xlsx" unless it is typed with
    // ".csv".
    void fileDialogs_data()
    {
        QTest::addColumn<bool>("exporting");
        QTest::addColumn<QString>("typed"); // in a folder holding rec.csv
        QTest::addColumn<bool>("workbook"); // the type chosen before the name is typed
        QTest::addColumn<QString>("chosen"); // empty: refused
        QTest::addColumn<QString>("reason");
        QTest::newRow("bare name") << false << "essai" << false << "essai.csv" << QString();
        QTest::newRow("missing folder")
            << false << "absent/essai.csv" << false << QString() << "n'existe pas";
        QTest::newRow("export, bare name")
            << true << "mesures" << false << "mesures.csv" << QString();
        QTest::newRow("export onto the recording")
            << true << "rec.csv" << false << QString() << "fichier d'enregistrement";
        QTest::newRow("workbook, named .csv")
            << true << "mesures.csv" << true << "mesures.csv" << QString();
        QTest::newRow("workbook, another suffix")
            << true << "mesures.2026" << true << "mesures.2026.xlsx" << QString();
    }
    void fileDialogs()
    {
        QFETCH(bool, exporting);
        QFETCH(QString, typed);
        QFETCH(bool, workbook);
        QFETCH(QString, chosen);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        TestFiles::write(dir.filePath("rec.csv"), RecordingFile::header());
        QString told;
        QTimer::singleShot(0, this, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog && !dialog->testOption(QFileDialog::DontConfirmOverwrite));
            auto *buttons = dialog->findChild<QDialogButtonBox *>(); // Qt's own, in French
            QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), "Annuler");
            dialog->setDirectory(dir.path());
            if (workbook) // the type after the CSV files in the list
                QTest::keyClick(dialog->findChild<QComboBox *>("fileTypeCombo"), Qt::Key_Down);
            dialog->selectFile(dir.filePath(typed));
            QTimer::singleShot(0, dialog, [&, dialog] { // the first question, then cancelled
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                    told = box->text();
                    box->button(QMessageBox::Ok)->click();
                }
                QVERIFY(dialog->isVisible());
                QTimer::singleShot(0, dialog, &QDialog::reject);
            });
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QtDialogs dialogs;
        const auto refusal = [&](const QString &path) {
            return QFileInfo(path).fileName() == "rec.csv"
                ? QStringLiteral("fichier d'enregistrement")
                : QString();
        };
        const QString answer = exporting ? dialogs.chooseSpreadsheet(nullptr, {}, refusal)
                                         : dialogs.chooseNewRecording(nullptr);
        QCOMPARE(answer, chosen.isEmpty() ? "" : dir.filePath(chosen));
        QVERIFY2(told.contains(reason) && told.isEmpty() == reason.isEmpty(), qPrintable(told));
        QVERIFY(Instrument::refusal(dir.filePath("dit \"ceci\".csv")).contains("guillemet"));
        QVERIFY(Instrument::refusal(dir.filePath("a\nb.csv")).contains("saut de ligne"));
    }
};

QTEST_MAIN(TestApp)
#include "tst_app.moc"
