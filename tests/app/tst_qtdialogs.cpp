#include "app/desktoplook.h"
#include "app/qtdialogs.h"

#include <QApplication>
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
    // The recording dialog adds ".csv" to a bare name, asks before overwriting, and refuses a
    // name it cannot make with its own message, staying open. Quotes Qt's dialog reads as a
    // list of names: only the window's own check sees them.
    void recordingDialog_data()
    {
        QTest::addColumn<QString>("typed"); // in a fresh folder
        QTest::addColumn<QString>("chosen"); // empty: refused
        QTest::addColumn<QString>("reason");
        QTest::newRow("bare name") << "essai"
                                   << "essai.csv" << QString();
        QTest::newRow("with .csv") << "mesures.csv"
                                   << "mesures.csv" << QString();
        QTest::newRow("missing folder") << "absent/essai.csv" << QString() << "n'existe pas";
    }
    void recordingDialog()
    {
        QFETCH(QString, typed);
        QFETCH(QString, chosen);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const auto dialog = QtDialogs::recordingDialog(
            nullptr, "Nouvel Enregistrement sous :", "data_tr.csv", QFileDialog::AcceptSave);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Nouvel Enregistrement sous :"));
        QCOMPARE(dialog->nameFilters(), QStringList {"*.csv"});
        QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
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
        QCOMPARE(dialog->result() == QDialog::Accepted, !chosen.isEmpty());
        if (!chosen.isEmpty())
            QCOMPARE(dialog->selectedFiles(), QStringList {dir.filePath(chosen)});
        QVERIFY2(told.contains(reason) && told.isEmpty() == reason.isEmpty(), qPrintable(told));
        QCOMPARE(QtDialogs::refusal(dir.filePath(typed)), told);
        QVERIFY(QtDialogs::refusal(dir.filePath("dit \"ceci\".csv")).contains("guillemet"));
        QVERIFY(QtDialogs::refusal(dir.filePath("a\nb.csv")).contains("saut de ligne"));
    }
    void buttonsAreFrench()
    {
        const auto question = QtDialogs::messageBox(nullptr, QMessageBox::Question, "?",
                                                    QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(question->windowTitle(), QStringLiteral("Ondaris"));
        QCOMPARE(question->button(QMessageBox::Yes)->text(), QStringLiteral("Oui"));
        QCOMPARE(question->button(QMessageBox::No)->text(), QStringLiteral("Non"));
        const auto note
            = QtDialogs::messageBox(nullptr, QMessageBox::Warning, "!", QMessageBox::Ok);
        QCOMPARE(note->button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
        if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_fr.qm"))
            QSKIP("Qt's French translations (qt6-translations-l10n) are not installed");
        DesktopLook::apply(*qApp); // Qt's own boxes speak French too
        QMessageBox box(QMessageBox::Question, "Ondaris", "?", QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Oui"));
        QCOMPARE(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Non"));
    }
};

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
