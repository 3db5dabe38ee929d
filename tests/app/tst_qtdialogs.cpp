#include "app/desktoplook.h"
#include "app/qtdialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

class TestQtDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recordingDialogAddsCsv_data();
    void recordingDialogAddsCsv();
    void qtSpeaksFrench();
};

void TestQtDialogs::recordingDialogAddsCsv_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("bare name gets .csv") << "essai"
                                         << "essai.csv";
    QTest::newRow("name with .csv kept") << "mesures.csv"
                                         << "mesures.csv";
}

void TestQtDialogs::recordingDialogAddsCsv()
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

void TestQtDialogs::qtSpeaksFrench()
{
    DesktopLook::apply(*qApp);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Ondaris"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text().remove(u'&'), QStringLiteral("Oui"));
    QCOMPARE(box.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Non"));
}

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
