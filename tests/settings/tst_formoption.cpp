#include "ptypair.h"
#include "settings/formoption.h"
#include "windowrig.h"

#include <QAbstractButton>
#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using TestFiles::read;

class TestFormOption : public QObject
{
    Q_OBJECT

    PtyPair pty;
    std::unique_ptr<WindowRig> main;
    FormOption *open(const QByteArray &config)
    {
        main = std::make_unique<WindowRig>(config, pty.slaveName());
        main->window->show();
        main->find<QAction>("menuReglage")->trigger();
        auto *dialog = main->window->findChild<FormOption *>("Form_option");
        return dialog && QTest::qWaitForWindowExposed(dialog) ? dialog : nullptr;
    }
    // The dialog's button of a group ("Option1" durations, "Option2" sources, "Option3"
    // channels) and index.
    static QAbstractButton *button(QWidget *dialog, const char *group, int index)
    {
        for (auto *b : dialog->findChildren<QAbstractButton *>(group))
            if (b->property("index") == index)
                return b;
        return nullptr;
    }
    static void click(QWidget *dialog, const char *group, int index)
    {
        QTest::mouseClick(button(dialog, group, index), Qt::LeftButton, {}, {6, 8});
    }
    void closeDialog()
    {
        main->window->findChild<FormOption *>("Form_option")->close();
        QTRY_VERIFY(!main->window->findChild<FormOption *>("Form_option"));
        QVERIFY(main->window->isEnabled());
    }

private Q_SLOTS:
    // Over the disabled main window, whose refresh goes on; each click applies and saves at
    // once; reopened, it shows the current choices and writes nothing.
    void clicksApplyAndSave()
    {
        FormOption *dialog = open(WindowRig::config(5, 2));
        QVERIFY(!main->window->isEnabled()
                && main->core->acquisition().findChild<QTimer *>("TimerValActu")->isActive());
        QVERIFY(button(dialog, "Option1", 5)->isChecked()
                && button(dialog, "Option2", 2)->isChecked());
        for (const auto &[option, source] : {std::pair(10, 1), {1, 0}}) {
            click(dialog, "Option1", option);
            QCOMPARE(read(main->cfg()),
                     WindowRig::config(option, main->core->settings().settings().source));
            click(dialog, "Option2", source);
            QCOMPARE(read(main->cfg()), WindowRig::config(option, source));
        }
        click(dialog, "Option3", 2); // channel 2 only clears the choice of source
        for (int i = 0; i <= 2; ++i)
            QVERIFY(!button(dialog, "Option2", i)->isChecked());
        QCOMPARE(read(main->cfg()), WindowRig::config(1, 0));
        closeDialog();
        QFile::remove(main->cfg());
        main->find<QAction>("menuReglage")->trigger();
        dialog = main->window->findChild<FormOption *>("Form_option");
        QVERIFY(button(dialog, "Option1", 1)->isChecked()
                && button(dialog, "Option2", 0)->isChecked());
        QTest::mouseClick(dialog->findChild<QPushButton *>("Command1"), Qt::LeftButton);
        closeDialog();
        QVERIFY(!QFile::exists(main->cfg()));
        QVERIFY(main->dialogs.told.isEmpty());
    }
    // Over the disabled main window the message could not be answered.
    void portFailureToldOverTheDialog()
    {
        main = std::make_unique<WindowRig>(QByteArray(), "/dev/ondaris-no-such-port");
        main->window->show();
        main->window->menuReglage_Click();
        auto *dialog = main->window->findChild<FormOption *>("Form_option");
        click(dialog, "Option2", 2);
        QTRY_COMPARE(main->dialogs.told.size(), 1);
        QCOMPARE(main->dialogs.toldOver, dialog);
    }
};

QTEST_MAIN(TestFormOption)
#include "tst_formoption.moc"
