#include "ptypair.h"
#include "settings/durationtable.h"
#include "settings/formoption.h"
#include "windowrig.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using TestFiles::read;

namespace {

// A main window whose serial port is a pseudo-terminal, and its settings dialog.
struct Rig
{
    PtyPair pty;
    WindowRig main;

    explicit Rig(const QByteArray &config = QByteArray())
        : main(config, pty.slaveName())
    {
        main.window->show();
    }
    FormOption *open()
    {
        main.find<QAction>("menuReglage")->trigger();
        FormOption *dialog = main.window->findChild<FormOption *>("Form_option");
        return dialog && QTest::qWaitForWindowExposed(dialog) ? dialog : nullptr;
    }
    void closeDialog()
    {
        main.window->findChild<FormOption *>("Form_option")->close();
        QTRY_VERIFY(!main.window->findChild<FormOption *>("Form_option"));
    }
    static void click(QAbstractButton *button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, 8));
    }
};

} // namespace

class TestFormOption : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensOverDisabledMainWindow()
    {
        Rig rig;
        FormOption *dialog = rig.open();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("   Réglages"));
        QCOMPARE(dialog->option1(2)->text(), QStringLiteral("10\""));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(dialog->option3(i)->isEnabled(), i == 2);
        QVERIFY(!rig.main.window->isEnabled() && dialog->isEnabled());
        // The main window's refresh goes on while it is disabled.
        QVERIFY(rig.main.window->acquisition().refreshTimer().isActive());
    }
    void clicksApplyAndSaveAtOnce_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("source");
        QTest::addColumn<bool>("portOpen");
        QTest::newRow("10 seconds, serial") << 2 << 2 << true;
        QTest::newRow("24 hours, USB") << 10 << 1 << false;
        QTest::newRow("1 second, test mode") << 1 << 0 << false;
    }
    void clicksApplyAndSaveAtOnce()
    {
        QFETCH(int, option);
        QFETCH(int, source);
        QFETCH(bool, portOpen);
        Rig rig(WindowRig::config(5, 2));
        FormOption *dialog = rig.open();
        Rig::click(dialog->option1(option));
        QCOMPARE(read(rig.main.cfg()), WindowRig::config(option, 2));
        Rig::click(dialog->option2(source));
        QCOMPARE(read(rig.main.cfg()), WindowRig::config(option, source));
        const SettingsModel &settings = rig.main.window->settings();
        QCOMPARE(qint64(settings.intervalMs()) * settings.diviseur_tick(),
                 qint64(DurationTable::find(option)->intervalMs)
                     * DurationTable::find(option)->divisor);
        QCOMPARE(rig.main.window->acquisition().serial().isOpen(), portOpen);
        QVERIFY(rig.main.dialogs.told.isEmpty());
    }
    void okAndCloseBoxWriteNothing_data()
    {
        QTest::addColumn<bool>("useOk");
        QTest::newRow("OK") << true;
        QTest::newRow("close box") << false;
    }
    void okAndCloseBoxWriteNothing()
    {
        QFETCH(bool, useOk);
        Rig rig(WindowRig::config(4, 0));
        FormOption *dialog = rig.open();
        QFile::remove(rig.main.cfg());
        if (useOk)
            QTest::mouseClick(dialog->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        else
            dialog->close();
        QTRY_VERIFY(!rig.main.window->findChild<FormOption *>("Form_option"));
        QVERIFY(rig.main.window->isEnabled());
        QVERIFY(!QFile::exists(rig.main.cfg()));
    }
    void reopeningShowsCurrentChoices()
    {
        Rig rig(WindowRig::config(6, 2));
        QVERIFY(rig.main.window->acquisition().serial().isOpen());
        FormOption *dialog = rig.open();
        QVERIFY(dialog->option1(6)->isChecked() && dialog->option2(2)->isChecked());
        Rig::click(dialog->option1(9));
        Rig::click(dialog->option2(1));
        rig.closeDialog();
        const QByteArray saved = read(rig.main.cfg());
        dialog = rig.open();
        QVERIFY(dialog->option1(9)->isChecked() && dialog->option2(1)->isChecked());
        QCOMPARE(read(rig.main.cfg()), saved); // loading the dialog writes nothing
    }
    void channelTwoOnlyClearsSourceSelection()
    {
        Rig rig(WindowRig::config(1, 2));
        FormOption *dialog = rig.open();
        Rig::click(dialog->option3(2));
        QVERIFY(dialog->option3(2)->isChecked());
        for (int i = 0; i <= 2; ++i)
            QVERIFY(!dialog->option2(i)->isChecked());
        QCOMPARE(rig.main.window->settings().source(), 2);
        QVERIFY(rig.main.window->acquisition().serial().isOpen());
        QCOMPARE(read(rig.main.cfg()), WindowRig::config(1, 2));
        rig.closeDialog();
        QVERIFY(rig.open()->option2(2)->isChecked());
    }
    void portFailureToldOverTheDialog()
    {
        WindowRig main(QByteArray(), QStringLiteral("/dev/ondaris-no-such-port"));
        main.window->show();
        main.window->menuReglage_Click();
        FormOption *dialog = main.window->findChild<FormOption *>("Form_option");
        Rig::click(dialog->option2(2));
        QTRY_COMPARE(main.dialogs.told.size(), 1);
        // Over the disabled main window the message could not be answered.
        QCOMPARE(main.dialogs.toldOver, dialog);
        QVERIFY(main.dialogs.toldOver->isEnabled());
    }
};

QTEST_MAIN(TestFormOption)
#include "tst_formoption.moc"
