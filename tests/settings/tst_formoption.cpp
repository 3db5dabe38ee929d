#include "app/enregistreur.h"
#include "fakedialogs.h"
#include "fakehidtransport.h"
#include "ptypair.h"
#include "settings/formoption.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Rig
{
    QTemporaryDir dir;
    PtyPair pty;
    FakeDialogs dialogs;
    std::unique_ptr<Enregistreur> window;

    explicit Rig(const QByteArray &config = QByteArray())
    {
        if (!config.isNull()) {
            QFile f(cfg());
            f.open(QIODevice::WriteOnly);
            f.write(config);
        }
        Enregistreur::Services services;
        services.configPath = cfg();
        services.serialPortName = pty.slaveName();
        services.hidTransport = std::make_unique<FakeHidTransport>();
        services.dialogs = &dialogs;
        window = std::make_unique<Enregistreur>(std::move(services));
        window->Form_Load();
        window->show();
    }
    QString cfg() const { return dir.filePath("ondaris.cfg"); }
    FormOption *open()
    {
        window->findChild<QAction *>("menuReglage")->trigger();
        FormOption *dialog = window->settingsDialog();
        if (dialog && !QTest::qWaitForWindowExposed(dialog))
            return nullptr;
        return dialog;
    }
    static QByteArray configFor(int option, int source)
    {
        return ConfigFile::encode(Settings{"data_tr.csv", quint8(option), quint8(source), 3600});
    }
};

} // namespace

class TestFormOption : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layout();
    void durationClickAppliesAndSaves_data();
    void durationClickAppliesAndSaves();
    void sourceClicksDriveSerialPort();
    void okAndCloseBoxWriteNothing_data();
    void okAndCloseBoxWriteNothing();
    void reopeningShowsCurrentChoices();
    void channelTwoOnlyClearsSourceSelection();
    void storedOptionAppliedWithoutDialog();
};

void TestFormOption::layout()
{
    Rig rig;
    FormOption *dialog = rig.open();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("   Réglages"));
    QCOMPARE(dialog->size(), QSize(320, 247));
    QCOMPARE(dialog->option1(1)->text(), QStringLiteral("1\""));
    QCOMPARE(dialog->option1(2)->text(), QStringLiteral("10\""));
    QCOMPARE(dialog->option1(4)->text(), QStringLiteral("15 '"));
    QCOMPARE(dialog->option1(1)->toolTip(), QStringLiteral("8h record"));
    QCOMPARE(dialog->option1(6)->toolTip(), QStringLiteral("22 days record"));
    QVERIFY(dialog->option1(7)->toolTip().isEmpty());
    QCOMPARE(dialog->option1(1)->width(), 33);
    QCOMPARE(dialog->option1(2)->width(), 41);
    QCOMPARE(dialog->option2(0)->text(), QStringLiteral("Mode Test (clavier +/-)"));
    QCOMPARE(dialog->option2(2)->text(), QStringLiteral("RS232 com N°"));
    QVERIFY(!dialog->findChild<QWidget *>("Frame2")->isEnabled());
    QVERIFY(!dialog->findChild<QWidget *>("Text3")->isEnabled());
    for (int i = 0; i < 4; ++i)
        QCOMPARE(dialog->option3(i)->isEnabled(), i == 2);
    QVERIFY(!rig.window->isEnabled());
    QVERIFY(dialog->isEnabled());
    QVERIFY(!dialog->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));

    // The main window's timers go on while it is disabled.
    auto *clock = rig.window->findChild<QLabel *>("Label2");
    QTRY_VERIFY(clock->text() != QStringLiteral("00.00"));
}

void TestFormOption::durationClickAppliesAndSaves_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<int>("divisor");
    const int divisors[] = {1, 1, 1, 15, 30, 60, 180, 360, 720, 1440};
    for (int i = 1; i <= 10; ++i)
        QTest::addRow("%d", i) << i << (i == 1 ? "1000" : i == 2 ? "10000" : "60000") << divisors[i - 1];
}

void TestFormOption::durationClickAppliesAndSaves()
{
    QFETCH(int, index);
    QFETCH(QString, interval);
    QFETCH(int, divisor);
    Rig rig(Rig::configFor(index == 3 ? 5 : 3, 0));
    FormOption *dialog = rig.open();
    const QByteArray before = readAll(rig.cfg());
    QTest::mouseClick(dialog->option1(index), Qt::LeftButton, {}, QPoint(6, 8));
    QCOMPARE(rig.window->settings().intervalle_timer(), interval);
    QCOMPARE(int(rig.window->settings().diviseur_tick()), divisor);
    QCOMPARE(readAll(rig.cfg()), rig.configFor(index, 0));
    QVERIFY(readAll(rig.cfg()) != before);
}

void TestFormOption::sourceClicksDriveSerialPort()
{
    Rig rig;
    FormOption *dialog = rig.open();
    SerialLink &serial = rig.window->acquisition().serial();
    QTest::mouseClick(dialog->option2(2), Qt::LeftButton, {}, QPoint(6, 8));
    QVERIFY(serial.isOpen());
    QCOMPARE(readAll(rig.cfg()), rig.configFor(1, 2));
    QTest::mouseClick(dialog->option2(1), Qt::LeftButton, {}, QPoint(6, 8));
    QVERIFY(!serial.isOpen());
    QCOMPARE(readAll(rig.cfg()), rig.configFor(1, 1));
    QTest::mouseClick(dialog->option2(2), Qt::LeftButton, {}, QPoint(6, 8));
    QTest::mouseClick(dialog->option2(0), Qt::LeftButton, {}, QPoint(6, 8));
    QVERIFY(!serial.isOpen());
    QCOMPARE(readAll(rig.cfg()), rig.configFor(1, 0));
    QVERIFY(rig.dialogs.told.isEmpty());
}

void TestFormOption::okAndCloseBoxWriteNothing_data()
{
    QTest::addColumn<bool>("useOk");
    QTest::newRow("OK") << true;
    QTest::newRow("close box") << false;
}

void TestFormOption::okAndCloseBoxWriteNothing()
{
    QFETCH(bool, useOk);
    Rig rig(Rig::configFor(4, 0));
    FormOption *dialog = rig.open();
    QFile::remove(rig.cfg());
    if (useOk)
        QTest::mouseClick(dialog->findChild<QPushButton *>("Command1"), Qt::LeftButton);
    else
        dialog->close();
    QTRY_VERIFY(!rig.window->settingsDialog());
    QVERIFY(rig.window->isEnabled());
    QVERIFY(!QFile::exists(rig.cfg()));
}

void TestFormOption::reopeningShowsCurrentChoices()
{
    Rig rig(Rig::configFor(6, 2));
    QVERIFY(rig.window->acquisition().serial().isOpen());
    FormOption *dialog = rig.open();
    QVERIFY(dialog->option1(6)->isChecked());
    QVERIFY(dialog->option2(2)->isChecked());
    QTest::mouseClick(dialog->option1(9), Qt::LeftButton, {}, QPoint(6, 8));
    QTest::mouseClick(dialog->option2(1), Qt::LeftButton, {}, QPoint(6, 8));
    dialog->close();
    QTRY_VERIFY(!rig.window->settingsDialog());
    const QByteArray saved = readAll(rig.cfg());
    dialog = rig.open();
    QVERIFY(dialog->option1(9)->isChecked());
    QVERIFY(dialog->option2(1)->isChecked());
    QCOMPARE(readAll(rig.cfg()), saved); // loading the dialog writes nothing
}

void TestFormOption::channelTwoOnlyClearsSourceSelection()
{
    Rig rig(Rig::configFor(1, 2));
    FormOption *dialog = rig.open();
    const QByteArray before = readAll(rig.cfg());
    QTest::mouseClick(dialog->option3(2), Qt::LeftButton, {}, QPoint(6, 8));
    QVERIFY(dialog->option3(2)->isChecked());
    for (int i = 0; i <= 2; ++i)
        QVERIFY(!dialog->option2(i)->isChecked());
    QCOMPARE(int(rig.window->settings().source()), 2);
    QVERIFY(rig.window->acquisition().serial().isOpen());
    QCOMPARE(readAll(rig.cfg()), before);
    dialog->close();
    QTRY_VERIFY(!rig.window->settingsDialog());
    QVERIFY(rig.open()->option2(2)->isChecked());
}

void TestFormOption::storedOptionAppliedWithoutDialog()
{
    Rig rig(Rig::configFor(1, 0));
    QVERIFY(!rig.window->settingsDialog());
    QCOMPARE(rig.window->settings().intervalle_timer(), QStringLiteral("1000"));
    QCOMPARE(int(rig.window->settings().diviseur_tick()), 1);
}

QTEST_MAIN(TestFormOption)
#include "tst_formoption.moc"
