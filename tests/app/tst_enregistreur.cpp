#include "app/circleshape.h"
#include "app/enregistreur.h"
#include "chart/chartview.h"
#include "chart/samplelistview.h"
#include "fakedialogs.h"
#include "fakehidtransport.h"
#include "recording/recordingfile.h"
#include "viewer/loadingwindow.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A main window in its own folder (the current one), its config beside it, a fake board and
// scripted dialogs.
struct Rig
{
    QTemporaryDir dir;
    QString previousFolder = QDir::currentPath();
    FakeDialogs dialogs;
    FakeHidTransport *board = nullptr;
    std::unique_ptr<Enregistreur> window;

    explicit Rig(const QByteArray &config = QByteArray(), const QString &serialPort = QString())
    {
        QDir::setCurrent(dir.path());
        if (!config.isNull())
            writeFile(cfg(), config);
        auto fake = std::make_unique<FakeHidTransport>();
        board = fake.get();
        Enregistreur::Services services;
        services.configPath = cfg();
        services.serialPortName = serialPort.isEmpty() ? dir.filePath("no-tty") : serialPort;
        services.hidTransport = std::move(fake);
        services.dialogs = &dialogs;
        window = std::make_unique<Enregistreur>(std::move(services));
        window->Form_Load();
    }
    ~Rig()
    {
        window.reset();
        QDir::setCurrent(previousFolder);
    }
    QString cfg() const { return dir.filePath("ondaris.cfg"); }
    template<typename T>
    T *find(const char *name) const
    {
        return window->findChild<T *>(QLatin1StringView(name));
    }
    QString label3() const { return find<QLabel>("Label3")->text(); }
    QString list() const { return find<SampleListView>("Text1")->toPlainText(); }
    void showAndFocusList()
    {
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        find<SampleListView>("Text1")->setFocus();
    }
};

QByteArray config(int option, int source, int width, const QByteArray &file = "data_tr.csv")
{
    return "\"NE PAS MODIFIER CE FICHIER\",\"" + file + "\"," + QByteArray::number(option) + ','
        + QByteArray::number(source) + ',' + QByteArray::number(width) + "\r\n";
}

} // namespace

class TestEnregistreur : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layoutAndMenus();
    void startsFromStoredSettings_data();
    void startsFromStoredSettings();
    void chartSwitchTwice();
    void closeAsksFirst();
    void testKeysReachWindowWhateverHasFocus();
    void liveValueOfTheBoard_data();
    void liveValueOfTheBoard();
    void serialSourceWithoutHardware();
    void recordsFromTheButton();
    void recordingStopsOnUnwritableFile();
    void newRecordingFile();
    void viewsRecordings();
    void commandsWaitWhileAFileLoads();
};

void TestEnregistreur::layoutAndMenus()
{
    Rig rig;
    for (const char *name : {"Text1", "Ecran1", "Picture1", "Picture2", "Label1", "Label2", "Label3",
                             "Frame1", "CmdRecord", "Frame2", "Led1", "LedOn1", "RefleLed1"})
        QVERIFY2(rig.find<QWidget>(name), name);
    QCOMPARE(rig.find<QWidget>("Text1")->geometry(), QRect(8, 24, 217, 161));
    QCOMPARE(rig.find<QWidget>("Ecran1")->geometry(), QRect(240, 8, 233, 177));
    QCOMPARE(rig.find<QLabel>("Label2")->text(), QStringLiteral("00.00"));
    QCOMPARE(rig.label3(), QStringLiteral("Valeur"));
    QCOMPARE(rig.find<QLabel>("Label1")->text(), QStringLiteral("     N° Record - Valeur - Date - Time"));
    QCOMPARE(rig.find<QPushButton>("CmdRecord")->text(), QStringLiteral(" Record   Start"));
    QVERIFY(!(rig.window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(rig.window->windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(rig.window->minimumSize(), rig.window->maximumSize());

    const QStringList expected{"Fichier", "Nouvel Enregistrement", "", "Visualiser Enregistrement",
                               "Option", "Graphe on/off", "", "Réglages", "?", "Aide", "à Propos"};
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

    rig.window->menu_apropos_Click();
    AboutBox *about = rig.window->aboutBox();
    QVERIFY(about && about->isVisible());
    rig.window->menu_apropos_Click(); // a second choice only raises the open box
    QCOMPARE(rig.window->findChildren<AboutBox *>().size(), 1);
    QVERIFY(rig.window->isEnabled());

    QWidget *w = rig.find<QWidget>("Text1");
    QStringList order;
    for (int i = 0; i < 5; ++i, w = w->nextInFocusChain()) {
        while (!(w->focusPolicy() & Qt::TabFocus))
            w = w->nextInFocusChain();
        order << w->objectName();
    }
    QCOMPARE(order, (QStringList{"Text1", "Ecran1", "Picture1", "Picture2", "CmdRecord"}));
}

void TestEnregistreur::startsFromStoredSettings_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("title");
    QTest::newRow("first run") << QByteArray() << 240 << false << "Ondaris : data_tr.csv";
    QTest::newRow("stored wide") << config(2, 0, 7890, "/tmp/a.csv") << 526 << true
                                 << "Ondaris                     Fichier en cours : /tmp/a.csv";
    QTest::newRow("stored narrow") << config(1, 0, 3600) << 240 << false << "Ondaris : data_tr.csv";
}

void TestEnregistreur::startsFromStoredSettings()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, width);
    QFETCH(bool, checked);
    QFETCH(QString, title);
    Rig rig(stored);
    QCOMPARE(rig.window->width(), width);
    QCOMPARE(rig.window->height(), rig.window->menuBar()->sizeHint().height() + 249);
    QCOMPARE(rig.find<QAction>("menuGraphe")->isChecked(), checked);
    QCOMPARE(rig.window->windowTitle(), title);
    QCOMPARE(readAll(rig.cfg()), stored.isNull() ? ConfigFile::encode(Settings{}) : stored);
    if (stored.isNull() || stored.contains(",1,0,")) {
        QCOMPARE(rig.window->settings().intervalle_timer(), QStringLiteral("1000"));
        QCOMPARE(int(rig.window->settings().diviseur_tick()), 1);
    }
}

void TestEnregistreur::chartSwitchTwice()
{
    Rig rig;
    QAction *graphe = rig.find<QAction>("menuGraphe");
    graphe->trigger();
    QCOMPARE(rig.window->width(), 526);
    QVERIFY(graphe->isChecked());
    QCOMPARE(readAll(rig.cfg()), config(1, 0, 7890));
    QVERIFY(rig.window->windowTitle().startsWith(QStringLiteral("Ondaris                     Fichier")));
    graphe->trigger();
    QCOMPARE(rig.window->width(), 240);
    QVERIFY(!graphe->isChecked());
    QCOMPARE(readAll(rig.cfg()), config(1, 0, 3600));
    QCOMPARE(rig.window->windowTitle(), QStringLiteral("Ondaris : data_tr.csv"));
}

void TestEnregistreur::closeAsksFirst()
{
    Rig rig;
    QSignalSpy quit(rig.window.get(), &Enregistreur::quitConfirmed);
    rig.window->show();
    rig.window->recorder().start();
    rig.dialogs.quitAnswer = false;
    QVERIFY(!rig.window->close());
    QVERIFY(rig.window->isVisible());
    QVERIFY(rig.window->recorder().isRecording());
    QTRY_VERIFY(rig.window->buffer().num_mesure() >= 1);
    rig.dialogs.quitAnswer = true;
    QVERIFY(rig.window->close());
    QCOMPARE(rig.dialogs.quitQuestions, 2);
    QCOMPARE(quit.count(), 1);
}

void TestEnregistreur::testKeysReachWindowWhateverHasFocus()
{
    Rig rig;
    rig.showAndFocusList();
    auto *list = rig.find<SampleListView>("Text1");
    QTest::keyClicks(list, QStringLiteral("+++-x"));
    QTest::keyClick(list, Qt::Key_Plus, Qt::KeypadModifier);
    rig.find<QPushButton>("CmdRecord")->setFocus();
    QTest::keyClick(rig.find<QPushButton>("CmdRecord"), '+');
    QCOMPARE(int(rig.window->acquisition().valeur_test()), 4);
    QVERIFY(list->toPlainText().isEmpty());
    rig.window->TimerValActu_Timer();
    QCOMPARE(rig.label3(), QStringLiteral("4"));
    QVERIFY(rig.find<QLabel>("Label2")->text() != QStringLiteral("00.00"));
}

void TestEnregistreur::liveValueOfTheBoard_data()
{
    QTest::addColumn<int>("raw");
    QTest::addColumn<QString>("shown");
    QTest::newRow("0") << 0 << "0";
    QTest::newRow("100") << 100 << "392";
    QTest::newRow("128") << 128 << "501";
    QTest::newRow("255") << 255 << "999";
}

void TestEnregistreur::liveValueOfTheBoard()
{
    QFETCH(int, raw);
    QFETCH(QString, shown);
    Rig rig(config(1, 1, 3600));
    rig.board->reports = {FakeHidTransport::report(4, 0, 0), FakeHidTransport::report(4, quint8(raw), 9)};
    rig.window->TimerValActu_Timer();
    QCOMPARE(rig.label3(), shown);
    QVERIFY(rig.dialogs.told.isEmpty());
}

void TestEnregistreur::serialSourceWithoutHardware()
{
    Rig rig(config(1, 2, 3600));
    QTRY_COMPARE(rig.dialogs.told.size(), 1); // one opening attempt, one message
    QVERIFY(rig.dialogs.told.first().contains(rig.dir.filePath("no-tty")));
    for (int i = 0; i < 5; ++i)
        rig.window->TimerValActu_Timer();
    QCOMPARE(rig.label3(), QStringLiteral("0"));
    QCOMPARE(rig.dialogs.told.size(), 1);
}

void TestEnregistreur::recordsFromTheButton()
{
    Rig rig;
    rig.showAndFocusList();
    auto *button = rig.find<QPushButton>("CmdRecord");
    QTest::keyClicks(rig.find<SampleListView>("Text1"), QStringLiteral("+++"));
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(button->text(), QStringLiteral(" Record  Stop"));
    QVERIFY(!rig.find<QMenu>("menu_fichier")->isEnabled());
    QVERIFY(!rig.find<QMenu>("menu_option")->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(rig.window->buffer().num_mesure(), 1, 500);
    QCOMPARE(QApplication::focusWidget(), button); // clicked, so focused: the keys still count
    QTest::keyClicks(button, QStringLiteral("++"));
    QTRY_COMPARE_WITH_TIMEOUT(rig.window->buffer().num_mesure(), 2, 1500);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(button->text(), QStringLiteral(" Record   Start"));
    QVERIFY(rig.find<QMenu>("menu_fichier")->isEnabled());
    QCOMPARE(rig.find<CircleShape>("Led1")->fillColor(), QColor(128, 0, 0));

    const auto &b = rig.window->buffer();
    const QByteArray expected = RecordingFile::sampleLine(1, 0, b.date_mesure(1), b.heure_mesure(1))
        + RecordingFile::sampleLine(2, 2, b.date_mesure(2), b.heure_mesure(2));
    QCOMPARE(readAll(rig.dir.filePath("data_tr.csv")), expected);
    QCOMPARE(rig.list(), QStringLiteral("2 ---- 002 --- %1 --- %2\n1 ---- 000 --- %3 --- %4\n0 ---- 000 ---  --- \n")
                             .arg(b.date_mesure(2), b.heure_mesure(2), b.date_mesure(1), b.heure_mesure(1)));
    QCOMPARE(rig.find<ChartView>("Ecran1")->drawnCount(), 2);
}

void TestEnregistreur::recordingStopsOnUnwritableFile()
{
    Rig rig(config(1, 0, 3600, "/dev/full"));
    rig.window->recorder().start();
    QTRY_VERIFY(!rig.window->recorder().isRecording());
    QCOMPARE(rig.dialogs.told.size(), 1);
    QVERIFY(rig.dialogs.told.first().contains(QStringLiteral("/dev/full")));
    QVERIFY(rig.list().startsWith(QStringLiteral("1 ---- 000")));
    QCOMPARE(rig.find<QPushButton>("CmdRecord")->text(), QStringLiteral(" Record   Start"));
}

void TestEnregistreur::newRecordingFile()
{
    Rig rig;
    const QString title = rig.window->windowTitle();
    QTemporaryDir other;
    rig.dialogs.newRecordingAnswer = QString(); // cancelled
    rig.window->menu_nouveau_Click();
    QCOMPARE(readAll(rig.cfg()), ConfigFile::encode(Settings{}));

    const QString chosen = other.filePath("essai.csv");
    writeFile(chosen, "old samples\r\n");
    rig.dialogs.newRecordingAnswer = chosen;
    rig.window->menu_nouveau_Click();
    QCOMPARE(readAll(chosen), RecordingFile::header());
    QCOMPARE(readAll(rig.cfg()), config(1, 0, 3600, chosen.toUtf8()));
    QCOMPARE(QDir::currentPath(), rig.dir.path());
    QCOMPARE(rig.window->windowTitle(), title); // refreshed only at the next chart switch
    rig.find<QAction>("menuGraphe")->trigger();
    QVERIFY(rig.window->windowTitle().endsWith(chosen));

    rig.window->recorder().start();
    QTRY_COMPARE(rig.window->buffer().num_mesure(), 1);
    rig.window->recorder().stop();
    QVERIFY(readAll(chosen).startsWith(QByteArray(RecordingFile::header() + "1;0;")));
}

void TestEnregistreur::viewsRecordings()
{
    Rig rig;
    QTemporaryDir other;
    const QString good = other.filePath("good.csv");
    writeFile(good, RecordingFile::header() + "1;5;a;b\r\n2;300;c;d\r\n3;-7;e;f\r\n");
    rig.dialogs.viewAnswer = good;
    rig.window->menu_charger_Click();
    QCOMPARE(rig.window->buffer().num_mesure(), 3);
    QCOMPARE(rig.list(), QStringLiteral("N°Record;Valeur;Date;Time\n3 ---- 3;-7;e;f\n2 ---- 2;300;c;d\n"
                                        "1 ---- 1;5;a;b\n0 ---- \n"));
    QCOMPARE(rig.find<ChartView>("Ecran1")->drawnCount(), 3);
    QCOMPARE(rig.window->buffer().borne_basse(), qint16(0)); // 300 is cut off, not followed
    QVERIFY(rig.dialogs.told.isEmpty());
    QVERIFY(!rig.window->loadingWindow()->isVisible());

    const QString bad = other.filePath("bad.csv");
    writeFile(bad, RecordingFile::header() + "1;5;a;b\r\n2;6;c;d\r\nnot a sample line\r\n4;1;x;y\r\n");
    rig.dialogs.viewAnswer = bad;
    rig.window->menu_charger_Click();
    QCOMPARE(rig.dialogs.told, QStringList{"Erreur format fichier"});
    QCOMPARE(rig.window->buffer().num_mesure(), 3);
    QCOMPARE(rig.window->buffer().valeur(3), -1.0);
    QCOMPARE(rig.find<ChartView>("Ecran1")->drawnCount(), 0);
    QVERIFY(rig.list().isEmpty());

    rig.dialogs.viewAnswer = other.filePath("missing.csv");
    rig.window->menu_charger_Click();
    QCOMPARE(rig.window->buffer().num_mesure(), 0);
    QCOMPARE(rig.dialogs.told.size(), 1);

    // Viewing changes neither the recording file nor the title nor any setting.
    QCOMPARE(rig.window->windowTitle(), QStringLiteral("Ondaris : data_tr.csv"));
    QCOMPARE(readAll(rig.cfg()), ConfigFile::encode(Settings{}));
    rig.window->recorder().start();
    QTRY_COMPARE(rig.window->buffer().num_mesure(), 1);
    rig.window->recorder().stop();
    QVERIFY(readAll(rig.dir.filePath("data_tr.csv")).startsWith("1;0;"));
    QCOMPARE(readAll(good).count('\n'), 4);
}

void TestEnregistreur::commandsWaitWhileAFileLoads()
{
    Rig rig;
    QTemporaryDir other;
    QByteArray big = RecordingFile::header();
    for (int i = 1; i <= 32001; ++i)
        big += QByteArray::number(i) + ";" + QByteArray::number(i % 999) + ";12-06-2026;04:38:58\r\n";
    const QString path = other.filePath("big.csv");
    writeFile(path, big);
    rig.dialogs.viewAnswer = path;
    bool checked = false;
    connect(rig.window.get(), &Enregistreur::loadStarted, this, [&] {
        QVERIFY(!rig.find<QMenu>("menu_fichier")->isEnabled());
        QVERIFY(!rig.find<QPushButton>("CmdRecord")->isEnabled());
        QVERIFY(rig.window->loadingWindow()->isVisible());
        QCOMPARE(rig.window->loadingWindow()->progressBar()->maximum(), big.size());
        rig.window->CmdRecord_Click(); // ignored during the load
        checked = true;
    });
    rig.window->menu_charger_Click();
    QVERIFY(checked);
    QVERIFY(!rig.window->recorder().isRecording());
    QCOMPARE(rig.window->buffer().num_mesure(), 32000);
    QCOMPARE(rig.dialogs.told.size(), 1);
    QVERIFY(rig.dialogs.told.first().contains(QStringLiteral("32000")));
    QCOMPARE(rig.find<ChartView>("Ecran1")->drawnCount(), 32000);
    QVERIFY(rig.find<QMenu>("menu_fichier")->isEnabled());
    QVERIFY(rig.find<QPushButton>("CmdRecord")->isEnabled());
}

QTEST_MAIN(TestEnregistreur)
#include "tst_enregistreur.moc"
