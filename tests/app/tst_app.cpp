#include "app/widgets/desktoplook.h"
#include "app/widgets/qtdialogs.h"
#include "chart/widgets/chartview.h"
#include "chart/widgets/samplelistview.h"
#include "ptypair.h"
#include "settings/widgets/formoption.h"
#include "viewer/widgets/loadingwindow.h"
#include "windowrig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
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
        QCOMPARE(read(rig.note()), "Ondaris : enregistrement en cours\n0\ndata_tr.csv\n");
        rig.runSamples(1);
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
        for (int i = 0; i < 5; ++i)
            serial.acquisition().TimerValActu_Timer();
        QCOMPARE(serial.dialogs.told.size(), 1);

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
    // A recording over a serial sensor that falls silent, then is unplugged: nothing recorded
    // while it is silent, "----" shown, told once for the outage; the first sample as soon as a
    // reading comes. (Its return, perhaps under another name, is the serial link's test.)
    void recordsOnlyFreshReadings()
    {
        PtyPair pty;
        WindowRig rig(WindowRig::config(1, 2), pty.slaveName());
        const QLabel *value = rig.find<QLabel>("Label3");
        const auto frame = [&](char reading) { // with a silence before and after
            QTest::qWait(40);
            QVERIFY(pty.send(QByteArray("\x0A\x14", 2) + reading + '\x28'));
            QTest::qWait(40);
            rig.acquisition().TimerValActu_Timer();
        };
        QString shownWhenTold; // the message may wait for an answer: "----" is shown by then
        connect(rig.core.get(), &Instrument::told, this, [&] { shownWhenTold = value->text(); });
        QTest::mouseClick(rig.find<QPushButton>("CmdRecord"), Qt::LeftButton);
        rig.tick(); // the first tick, 10 ms on: no reading yet
        QCOMPARE(std::pair(value->text(), rig.core->samples().num_mesure()),
                 std::pair(QString("----"), 0));
        frame(30); // taken at once
        QCOMPARE(std::pair(value->text(), rig.core->samples().num_mesure()),
                 std::pair(QString("117"), 1));
        frame(40);
        rig.tick();
        rig.serialAhead += 6s; // silent
        for (int i = 0; i < 3; ++i)
            rig.tick();
        pty.hangUp();
        QTest::qWait(100); // the loss seen by the event loop: not told again, the same outage
        QCOMPARE(std::pair(int(rig.dialogs.told.size()), shownWhenTold),
                 std::pair(1, QString("----")));
        QCOMPARE(read(rig.dir.filePath("data_tr.csv")),
                 "1;117;03-14-2026;10:05:00\r\n2;156;03-14-2026;10:05:01\r\n");
        QVERIFY(rig.dialogs.told.first().contains("n'envoie plus de mesure"));
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
        const QByteArray at27 = noted + "27\ndata_tr.csv\n";
        const char *changed = "ne se termine plus";
        const auto row = [](const char *name, QByteArray file, QByteArray note, bool answer,
                            int resumed, const char *told = "") {
            QTest::newRow(name) << file << note << answer << resumed << QString(told);
        };
        row("resumed", h + three + "4;40", at27, true, 3);
        row("declined", h + three, at27, false, 3);
        row("none taken yet", QByteArray(), noted + "0\ndata_tr.csv\n", true, 0);
        row("full", recording(32000, [](int) { return 1; }), at27, true, 32000, "32000");
        row("file gone", QByteArray(), at27, true, -1, "n'existe plus");
        row("emptied", "", at27, true, -1, changed);
        row("another recording after", h + three + three, at27, true, -1, changed);
        row("a line end first", h + "\n" + three, at27, true, -1, changed);
        row("a long tail", h + three + QByteArray(64, '9'), at27, true, -1, changed);
        row("32001 lines", recording(32001, [](int) { return 1; }), at27, true, -1, changed);
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
                QString("Fichier : data_tr.csv\nDernière mesure : N° %1, le 12-06-2026 à 04:38:58 "
                        "(%1 mesures dans le fichier).")
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
    // The question to resume counts down in its box and answers Yes by itself at the end; "Non"
    // clicked answers No.
    void resumeQuestionCountsDown()
    {
        QtDialogs dialogs;
        QStringList counted;
        QTimer watch;
        connect(&watch, &QTimer::timeout, this, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                if (!counted.contains(box->informativeText()))
                    counted << box->informativeText();
        });
        watch.start(50);
        QElapsedTimer waited;
        waited.start();
        QVERIFY(dialogs.confirmResume(nullptr, "Reprendre l'enregistrement ?", 2));
        QVERIFY(waited.elapsed() >= 1900);
        QCOMPARE(counted,
                 QStringList({"Sans réponse, l'enregistrement reprend de lui-même dans 2 s.",
                              "Sans réponse, l'enregistrement reprend de lui-même dans 1 s."}));
        QTimer::singleShot(100, this, [] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
        });
        QVERIFY(!dialogs.confirmResume(nullptr, "Reprendre l'enregistrement ?", 60));
    }
    // The recording and export dialogs add ".csv" to a bare name, ask before overwriting, and
    // refuse a name they may not take with their own message before that question, staying
    // open. Quotes Qt's dialog reads as a list of names: only the window's own check sees them.
    void fileDialogs_data()
    {
        QTest::addColumn<bool>("exporting");
        QTest::addColumn<QString>("typed"); // in a folder holding rec.csv
        QTest::addColumn<QString>("chosen"); // empty: refused
        QTest::addColumn<QString>("reason");
        QTest::newRow("bare name") << false << "essai"
                                   << "essai.csv" << QString();
        QTest::newRow("missing folder")
            << false << "absent/essai.csv" << QString() << "n'existe pas";
        QTest::newRow("export, bare name") << true << "mesures"
                                           << "mesures.csv" << QString();
        QTest::newRow("export onto the recording")
            << true << "rec.csv" << QString() << "fichier d'enregistrement";
    }
    void fileDialogs()
    {
        QFETCH(bool, exporting);
        QFETCH(QString, typed);
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
