#include "app/widgets/desktoplook.h"
#include "app/widgets/qtdialogs.h"
#include "chart/widgets/chartview.h"
#include "chart/widgets/samplelistview.h"
#include "settings/widgets/formoption.h"
#include "viewer/widgets/loadingwindow.h"
#include "windowrig.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
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
using TestFiles::recording;

class TestApp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { DesktopLook::apply(*qApp); }
    // The test keys reach the window whatever has the focus and the clock shows the time of day;
    // a recording takes the test value from 0 and closing while it runs is asked first. An absent
    // serial port is told once, over the window once it is shown.
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
        QCOMPARE(rig.find<ChartView>("Ecran1")->drawnCount(), 32000);
        QCOMPARE(rig.dialogs.told.size(), 1);
        QVERIFY(rig.dialogs.told.first().contains(QStringLiteral("32000")));
    }
    // Opened, the dialog shows the choices and writes nothing; a port failure is told over it,
    // as over the disabled main window the message could not be answered.
    void portFailureToldOverTheSettings()
    {
        WindowRig rig(QByteArray(), "/dev/ondaris-no-such-port");
        rig.window->show();
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

        QProcess second;
        start(second);
        QVERIFY(second.waitForFinished(10000));
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
            if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_fr.qm"))
                QCOMPARE(dialog->findChild<QDialogButtonBox *>()
                             ->button(QDialogButtonBox::Cancel)
                             ->text(),
                         "Annuler"); // Qt's own dialogs speak French
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
