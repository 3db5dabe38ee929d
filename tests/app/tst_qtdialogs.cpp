#include "app/desktoplook.h"
#include "app/qtdialogs.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestQtDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recordingDialogAddsCsv_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("bare name gets .csv") << "essai"
                                             << "essai.csv";
        QTest::newRow("name with .csv kept") << "mesures.csv"
                                             << "mesures.csv";
    }
    void recordingDialogAddsCsv()
    {
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        QTemporaryDir dir;
        const auto dialog
            = QtDialogs::recordingDialog(nullptr, QStringLiteral("Nouvel Enregistrement sous :"),
                                         QStringLiteral("data_tr.csv"), QFileDialog::AcceptSave);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Nouvel Enregistrement sous :"));
        QCOMPARE(dialog->nameFilters(), QStringList {"*.csv"});
        QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        dialog->setDirectory(dir.path());
        dialog->selectFile(typed);
        QMetaObject::invokeMethod(dialog.get(), "accept");
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(dialog->selectedFiles(), QStringList {dir.filePath(chosen)});
    }
    void newFileRefused_data()
    {
        QTest::addColumn<QString>("typed"); // in a fresh folder
        QTest::addColumn<QString>("reason"); // empty: accepted
        QTest::newRow("existing folder") << "essai.csv" << QString();
        QTest::newRow("missing folder") << "absent/essai.csv"
                                        << "n'existe pas";
        QTest::newRow("double quote") << "dit \"ceci\".csv"
                                      << "guillemet";
    }
    // The dialog refuses a name it cannot make, with its own message, and stays open.
    void newFileRefused()
    {
        QFETCH(QString, typed);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QCOMPARE(QtDialogs::refusal(dir.filePath(typed)).contains(reason), true);
        QCOMPARE(QtDialogs::refusal(dir.filePath(typed)).isEmpty(), reason.isEmpty());
        QVERIFY(
            QtDialogs::refusal(dir.filePath("a\nb.csv")).contains(QStringLiteral("saut de ligne")));

        if (typed.contains(u'"'))
            return; // Qt's dialog reads quotes as a list of names: the window's own check applies
        const auto dialog
            = QtDialogs::recordingDialog(nullptr, QStringLiteral("Nouvel Enregistrement sous :"),
                                         QStringLiteral("data_tr.csv"), QFileDialog::AcceptSave);
        dialog->setDirectory(dir.path());
        dialog->selectFile(dir.filePath(typed));
        QString told;
        QTimer::singleShot(0, this, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                told = box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        QMetaObject::invokeMethod(dialog.get(), "accept");
        QCOMPARE(dialog->result() == QDialog::Accepted, reason.isEmpty());
        QVERIFY2(told.contains(reason), qPrintable(told));
        QCOMPARE(told.isEmpty(), reason.isEmpty());
    }
    void buttonsAreFrenchWithoutTranslations()
    {
        const auto question
            = QtDialogs::messageBox(nullptr, QMessageBox::Question, QStringLiteral("?"),
                                    QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(question->windowTitle(), QStringLiteral("Ondaris"));
        QCOMPARE(question->button(QMessageBox::Yes)->text(), QStringLiteral("Oui"));
        QCOMPARE(question->button(QMessageBox::No)->text(), QStringLiteral("Non"));
        const auto note = QtDialogs::messageBox(nullptr, QMessageBox::Warning, QStringLiteral("!"),
                                                QMessageBox::Ok);
        QCOMPARE(note->button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
    }
    void qtSpeaksFrench()
    {
        if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath)
                               + QStringLiteral("/qtbase_fr.qm")))
            QSKIP("Qt's French translations (qt6-translations-l10n) are not installed");
        DesktopLook::apply(*qApp);
        QMessageBox box(QMessageBox::Question, QStringLiteral("Ondaris"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Oui"));
        QCOMPARE(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Non"));
    }
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
