#include "app/circleshape.h"
#include "chart/chartview.h"
#include "chart/samplelistview.h"
#include "recording/recordingfile.h"
#include "viewer/loadingwindow.h"
#include "windowrig.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

using TestFiles::read;

namespace {

QString list(const WindowRig &rig)
{
    return rig.find<SampleListView>("Text1")->toPlainText();
}

void showAndFocusList(WindowRig &rig)
{
    rig.window->show();
    rig.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    rig.find<SampleListView>("Text1")->setFocus();
}

// Runs a recording in the window until it holds n samples, then stops it.
void recordSamples(WindowRig &rig, int n)
{
    rig.window->recorder().start();
    QTRY_COMPARE_WITH_TIMEOUT(rig.window->buffer().num_mesure(), n, 1200 * n);
    rig.window->recorder().stop();
}

} // namespace

class TestEnregistreur : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void menusAndTabOrder();
    void startsFromStoredSettings_data();
    void startsFromStoredSettings();
    void chartSwitchTwice();
    void closeAsksFirst();
    void testKeysReachWindowWhateverHasFocus();
    void liveValueOfTheBoard();
    void serialSourceWithoutHardware();
    void recordsFromTheButton();
    void recordingStopsOnUnwritableFile();
    void newRecordingFile();
    void viewsRecordings();
    void commandsWaitWhileAFileLoads();
    void chartPictureCopiedAndSaved();
};

void TestEnregistreur::menusAndTabOrder()
{
    WindowRig rig;
    const QStringList expected {"Fichier", "Nouvel Enregistrement",
                                "",        "Visualiser Enregistrement",
                                "Option",  "Graphe on/off",
                                "",        "Réglages",
                                "?",       "Aide",
                                "à Propos"};
    QStringList captions;
    for (QAction *top : rig.window->menuBar()->actions()) {
        captions << top->text();
        for (QAction *item : top->menu()->actions()) {
            captions << item->text();
            QVERIFY(item->shortcut().isEmpty());
            QCOMPARE(item->isEnabled(), item->objectName() != QLatin1String("menu_aide"));
        }
    }
    QCOMPARE(captions, expected);
    QVERIFY(!(rig.window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(rig.window->minimumSize(), rig.window->maximumSize());

    QWidget *w = rig.find<QWidget>("Text1");
    QStringList order;
    for (int i = 0; i < 5; ++i, w = w->nextInFocusChain()) {
        while (!(w->focusPolicy() & Qt::TabFocus))
            w = w->nextInFocusChain();
        order << w->objectName();
    }
    QCOMPARE(order, (QStringList {"Text1", "Ecran1", "Picture1", "Picture2", "CmdRecord"}));

    rig.window->menu_apropos_Click();
    rig.window->menu_apropos_Click(); // a second choice only raises the open box
    QCOMPARE(rig.window->findChildren<AboutBox *>().size(), 1);
    QVERIFY(rig.window->aboutBox()->isVisible() && rig.window->isEnabled());
}

void TestEnregistreur::startsFromStoredSettings_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("title");
    QTest::newRow("first run") << QByteArray() << 240 << "Ondaris : data_tr.csv";
    QTest::newRow("stored wide") << WindowRig::config(2, 0, 7890, "/tmp/a.csv") << 526
                                 << "Ondaris                     Fichier en cours : /tmp/a.csv";
    QTest::newRow("stored narrow") << WindowRig::config(1, 0) << 240 << "Ondaris : data_tr.csv";
}

void TestEnregistreur::startsFromStoredSettings()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, width);
    QFETCH(QString, title);
    WindowRig rig(stored);
    QCOMPARE(rig.window->width(), width);
    QCOMPARE(rig.window->height(), rig.window->menuBar()->sizeHint().height() + 249);
    QCOMPARE(rig.find<QAction>("menuGraphe")->isChecked(), width > 240);
    QCOMPARE(rig.window->windowTitle(), title);
    QCOMPARE(read(rig.cfg()), stored.isNull() ? WindowRig::config(1, 0) : stored);
    QCOMPARE(rig.find<QLabel>("Label2")->text(), QStringLiteral("00.00"));
    QCOMPARE(rig.find<QLabel>("Label3")->text(), QStringLiteral("Valeur"));
}

void TestEnregistreur::chartSwitchTwice()
{
    WindowRig rig;
    QAction *graphe = rig.find<QAction>("menuGraphe");
    graphe->trigger();
    QCOMPARE(rig.window->width(), 526);
    QVERIFY(graphe->isChecked());
    QCOMPARE(read(rig.cfg()), WindowRig::config(1, 0, 7890));
    graphe->trigger();
    QCOMPARE(rig.window->width(), 240);
    QCOMPARE(read(rig.cfg()), WindowRig::config(1, 0, 3600));
    QCOMPARE(rig.window->windowTitle(), QStringLiteral("Ondaris : data_tr.csv"));
}

void TestEnregistreur::closeAsksFirst()
{
    WindowRig rig;
    QSignalSpy quit(rig.window.get(), &Enregistreur::quitConfirmed);
    rig.window->show();
    rig.window->recorder().start();
    QVERIFY(!rig.window->close()); // answered No: the recording goes on
    QVERIFY(rig.window->isVisible() && rig.window->recorder().isRecording());
    QTRY_VERIFY(rig.window->buffer().num_mesure() >= 1);
    rig.dialogs.quitAnswer = true;
    QVERIFY(rig.window->close());
    QCOMPARE(rig.dialogs.quitQuestions, 2);
    QCOMPARE(quit.count(), 1);
}

void TestEnregistreur::testKeysReachWindowWhateverHasFocus()
{
    WindowRig rig;
    showAndFocusList(rig);
    auto *list = rig.find<SampleListView>("Text1");
    QTest::keyClicks(list, QStringLiteral("+++-x"));
    QTest::keyClick(list, Qt::Key_Plus, Qt::KeypadModifier);
    auto *button = rig.find<QPushButton>("CmdRecord");
    button->setFocus();
    QTest::keyClick(button, '+');
    QCOMPARE(int(rig.window->acquisition().valeur_test()), 4);
    QVERIFY(list->toPlainText().isEmpty());
    rig.window->TimerValActu_Timer();
    QCOMPARE(rig.find<QLabel>("Label3")->text(), QStringLiteral("4"));
    QVERIFY(rig.find<QLabel>("Label2")->text() != QStringLiteral("00.00"));
}

void TestEnregistreur::liveValueOfTheBoard()
{
    WindowRig rig(WindowRig::config(1, 1));
    for (int raw : {0, 100, 128, 255}) {
        rig.board->reports
            = {FakeHidTransport::report(4, 0, 0), FakeHidTransport::report(4, quint8(raw), 9)};
        rig.window->TimerValActu_Timer();
        QCOMPARE(rig.find<QLabel>("Label3")->text(), QString::number(Acquisition::scaled(raw)));
    }
    QVERIFY(rig.dialogs.told.isEmpty());
}

void TestEnregistreur::serialSourceWithoutHardware()
{
    WindowRig rig(WindowRig::config(1, 2));
    QVERIFY(rig.dialogs.told.isEmpty()); // held until the window is on screen
    rig.window->show();
    QTRY_COMPARE(rig.dialogs.told.size(), 1); // one opening attempt, one message
    QCOMPARE(rig.dialogs.toldOver, rig.window.get());
    QVERIFY(rig.dialogs.told.first().contains(rig.dir.filePath("no-tty")));
    for (int i = 0; i < 5; ++i)
        rig.window->TimerValActu_Timer();
    QCOMPARE(rig.find<QLabel>("Label3")->text(), QStringLiteral("0"));
    QCOMPARE(rig.dialogs.told.size(), 1);
}

void TestEnregistreur::recordsFromTheButton()
{
    WindowRig rig;
    showAndFocusList(rig);
    auto *button = rig.find<QPushButton>("CmdRecord");
    QTest::keyClicks(rig.find<SampleListView>("Text1"), QStringLiteral("+++"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(button->text(), QStringLiteral(" Record  Stop"));
    QVERIFY(!rig.find<QMenu>("menu_fichier")->isEnabled()
            && !rig.find<QMenu>("menu_option")->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(rig.window->buffer().num_mesure(), 1, 500);
    QTest::keyClicks(button, QStringLiteral("++")); // clicked, so focused: the keys still count
    QTRY_COMPARE_WITH_TIMEOUT(rig.window->buffer().num_mesure(), 2, 1500);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(button->text(), QStringLiteral(" Record   Start"));
    QVERIFY(rig.find<QMenu>("menu_fichier")->isEnabled());
    QCOMPARE(rig.find<CircleShape>("Led1")->fillColor(), QColor(128, 0, 0));

    const auto &b = rig.window->buffer();
    QCOMPARE(read(rig.dir.filePath("data_tr.csv")),
             RecordingFile::sampleLine(1, 0, b.date_mesure(1), b.heure_mesure(1))
                 + RecordingFile::sampleLine(2, 2, b.date_mesure(2), b.heure_mesure(2)));
    QCOMPARE(
        list(rig),
        QStringLiteral("2 ---- 002 --- %1 --- %2\n1 ---- 000 --- %3 --- %4\n0 ---- 000 ---  --- \n")
            .arg(b.date_mesure(2), b.heure_mesure(2), b.date_mesure(1), b.heure_mesure(1)));
    QCOMPARE(rig.find<ChartView>("Ecran1")->drawnCount(), 2);
}

void TestEnregistreur::recordingStopsOnUnwritableFile()
{
    WindowRig rig(WindowRig::config(1, 0, 3600, "/dev/full"));
    rig.window->recorder().start();
    QTRY_VERIFY(!rig.window->recorder().isRecording());
    QVERIFY(rig.dialogs.told.value(0).contains(QStringLiteral("/dev/full")));
    QCOMPARE(rig.find<QPushButton>("CmdRecord")->text(), QStringLiteral(" Record   Start"));
}

void TestEnregistreur::newRecordingFile()
{
    WindowRig rig;
    const QString title = rig.window->windowTitle();
    QTemporaryDir other;
    rig.window->menu_nouveau_Click(); // cancelled
    QCOMPARE(read(rig.cfg()), WindowRig::config(1, 0));
    // Names the settings file could not give back, or in no folder: refused, told, not made.
    for (const QString &refused :
         {other.filePath("dit \"ceci\".csv"), other.filePath("absent/a.csv")}) {
        rig.dialogs.newRecordingAnswer = refused;
        rig.window->menu_nouveau_Click();
        QVERIFY(!QFileInfo::exists(refused));
        QCOMPARE(read(rig.cfg()), WindowRig::config(1, 0));
    }
    QCOMPARE(rig.dialogs.told.size(), 2);
    rig.dialogs.told.clear();

    const QString chosen = other.filePath("essai.csv");
    TestFiles::write(chosen, "old samples\r\n");
    rig.dialogs.newRecordingAnswer = chosen;
    rig.window->menu_nouveau_Click();
    QCOMPARE(read(chosen), RecordingFile::header());
    QCOMPARE(read(rig.cfg()), WindowRig::config(1, 0, 3600, chosen));
    QCOMPARE(QDir::currentPath(), rig.dir.path());
    QCOMPARE(rig.window->windowTitle(), title); // refreshed only at the next chart switch
    rig.find<QAction>("menuGraphe")->trigger();
    QVERIFY(rig.window->windowTitle().endsWith(chosen));
    recordSamples(rig, 1);
    QVERIFY(read(chosen).startsWith(QByteArray(RecordingFile::header() + "1;0;")));
}

void TestEnregistreur::viewsRecordings()
{
    WindowRig rig;
    QTemporaryDir other;
    rig.dialogs.viewAnswer = other.filePath("good.csv");
    TestFiles::write(rig.dialogs.viewAnswer,
                     RecordingFile::header() + "1;5;a;b\r\n2;300;c;d\r\n3;-7;e;f\r\n");
    rig.window->menu_charger_Click();
    QCOMPARE(list(rig),
             QStringLiteral("N°Record;Valeur;Date;Time\n3 ---- 3;-7;e;f\n2 ---- 2;300;c;d\n"
                            "1 ---- 1;5;a;b\n0 ---- \n"));
    QCOMPARE(rig.find<ChartView>("Ecran1")->drawnCount(), 3);
    QCOMPARE(rig.window->buffer().borne_basse(), qint16(0)); // 300 is cut off, not followed
    QVERIFY(rig.dialogs.told.isEmpty() && !rig.window->loadingWindow()->isVisible());

    TestFiles::write(rig.dialogs.viewAnswer,
                     RecordingFile::header() + "1;5;a;b\r\n2;6;c;d\r\nnot a sample\r\n");
    rig.window->menu_charger_Click();
    QCOMPARE(rig.dialogs.told, QStringList {"Erreur format fichier"});
    QCOMPARE(rig.window->buffer().num_mesure(), 3);
    QCOMPARE(rig.window->buffer().valeur(3), -1.0);
    QCOMPARE(rig.find<ChartView>("Ecran1")->drawnCount(), 0);
    QVERIFY(list(rig).isEmpty());

    rig.dialogs.viewAnswer = other.filePath("missing.csv");
    rig.window->menu_charger_Click();
    QCOMPARE(rig.window->buffer().num_mesure(), 0);
    QCOMPARE(rig.dialogs.told.size(), 1);

    // Viewing changes neither the recording file nor the title nor any setting.
    QCOMPARE(rig.window->windowTitle(), QStringLiteral("Ondaris : data_tr.csv"));
    QCOMPARE(read(rig.cfg()), WindowRig::config(1, 0));
    recordSamples(rig, 1);
    QVERIFY(read(rig.dir.filePath("data_tr.csv")).startsWith("1;0;"));
}

// What the user does during a load arrives as the window system's input: it is dropped, not
// held back until the load is over; a close is asked once the load ends.
void TestEnregistreur::commandsWaitWhileAFileLoads()
{
    WindowRig rig;
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    QByteArray big = RecordingFile::header();
    for (int i = 1; i <= 32001; ++i)
        big += RecordingFile::sampleLine(i, i % 999, "12-06-2026", "04:38:58");
    rig.dialogs.viewAnswer = rig.dir.filePath("big.csv");
    TestFiles::write(rig.dialogs.viewAnswer, big);
    bool checked = false;
    connect(rig.window.get(), &Enregistreur::loadStarted, this, [&] {
        auto *record = rig.find<QPushButton>("CmdRecord");
        QVERIFY(!rig.find<QMenu>("menu_fichier")->isEnabled() && !record->isEnabled());
        QCOMPARE(rig.window->loadingWindow()->progressBar()->maximum(), big.size());
        QWindow *window = rig.window->windowHandle();
        const QPointF at = record->mapTo(rig.window.get(), record->rect().center());
        using Queued = QWindowSystemInterface::AsynchronousDelivery;
        for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QWindowSystemInterface::handleMouseEvent<Queued>(
                window, at, window->mapToGlobal(at),
                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::LeftButton,
                type);
        QWindowSystemInterface::handleKeyEvent<Queued>(window, QEvent::KeyPress, Qt::Key_Plus,
                                                       Qt::NoModifier, QStringLiteral("+"));
        QWindowSystemInterface::handleCloseEvent<Queued>(window);
        checked = true;
    });
    rig.window->menu_charger_Click();
    QVERIFY(checked);
    QCOMPARE(rig.dialogs.quitQuestions, 0);
    QTest::qWait(50);
    QVERIFY(!rig.window->recorder().isRecording());
    QCOMPARE(int(rig.window->acquisition().valeur_test()), 0);
    QCOMPARE(rig.dialogs.quitQuestions, 1);
    QCOMPARE(rig.window->buffer().num_mesure(), 32000);
    QCOMPARE(rig.dialogs.told.size(), 1);
    QVERIFY(rig.dialogs.told.first().contains(QStringLiteral("32000")));
    QCOMPARE(rig.find<ChartView>("Ecran1")->drawnCount(), 32000);
    QVERIFY(rig.find<QMenu>("menu_fichier")->isEnabled()
            && rig.find<QPushButton>("CmdRecord")->isEnabled());
}

// The picture is the chart as shown at twice its size: black inside, the green trace, the
// rulers' numbers beside it; saved as PNG where the user says, proposed beside the recording.
void TestEnregistreur::chartPictureCopiedAndSaved()
{
    WindowRig rig(WindowRig::config(1, 0, 7890));
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    QByteArray ramp = RecordingFile::header();
    for (int i = 1; i <= 50; ++i)
        ramp += RecordingFile::sampleLine(i, 5 * i, "12-06-2026", "04:38:58");
    rig.dialogs.viewAnswer = rig.dir.filePath("ramp.csv");
    TestFiles::write(rig.dialogs.viewAnswer, ramp);
    rig.window->menu_charger_Click();
    auto *chart = rig.find<ChartView>("Ecran1");
    QCOMPARE(chart->drawnCount(), 50);

    const QImage picture = rig.window->chartPicture();
    QVERIFY(picture.devicePixelRatio() >= 2);
    QVERIFY(picture.width() >= 2 * (chart->width() + rig.find<QWidget>("Picture2")->width()));
    QVERIFY(picture.height() >= 2 * (chart->height() + rig.find<QWidget>("Picture1")->height()));
    const QPoint origin = chart->geometry().topLeft();
    const auto at = [&](QPointF p) {
        return picture.pixel(((p - QPointF(origin)) * 2).toPoint());
    };
    const QRectF inner = chart->innerRect().translated(QPointF(origin));
    QCOMPARE(at(inner.topLeft() + QPointF(10, 3)), qRgb(0, 0, 0));
    // Sample 50 (250) on the right edge near the top, sample 25 (125) near the middle.
    int green = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            green += picture.pixel(x, y) == qRgb(0, 255, 0);
    QVERIFY2(green > 2 * 228, qPrintable(QString::number(green)));
    // The numbers right of the vertical ruler: dark text on the window's background.
    const QRect numbers(((rig.find<QWidget>("Picture2")->geometry().topRight() - origin) * 2)
                            + QPoint(2, 0),
                        QSize(60, picture.height() / 2));
    int dark = 0;
    for (int y = numbers.top(); y < numbers.bottom() && y < picture.height(); ++y)
        for (int x = numbers.left(); x < numbers.right() && x < picture.width(); ++x)
            dark += qGray(picture.pixel(x, y)) < 100;
    QVERIFY2(dark > 20, qPrintable(QString::number(dark)));

    rig.window->copyChartPicture();
    QCOMPARE(QApplication::clipboard()->image().size(), picture.size());

    rig.dialogs.pictureAnswer = rig.dir.filePath("graphe.png");
    rig.window->saveChartPicture();
    QCOMPARE(rig.dialogs.pictureProposed, rig.dir.filePath("data_tr.png"));
    const QImage saved(rig.dialogs.pictureAnswer);
    QCOMPARE(saved.size(), picture.size());
    QVERIFY(rig.dialogs.told.isEmpty());

    rig.dialogs.pictureAnswer = rig.dir.filePath("absent/graphe.png");
    rig.window->saveChartPicture();
    QCOMPARE(rig.dialogs.told.size(), 1);
    QVERIFY(
        rig.dialogs.told.first().startsWith(QStringLiteral("L'image n'a pas pu être enregistrée")));
}

QTEST_MAIN(TestEnregistreur)
#include "tst_enregistreur.moc"
