#include "app/qtdialogs.h"

#include <QTemporaryDir>
#include <QTest>

class TestQtDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void recordingDialogAddsCsv_data();
    void recordingDialogAddsCsv();
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

QTEST_MAIN(TestQtDialogs)
#include "tst_qtdialogs.moc"
