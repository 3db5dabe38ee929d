#include "chart/samplelist.h"
#include "chart/samplelistview.h"
#include "recording/loadedlines.h"
#include "recording/measurementbuffer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>

namespace {

void record(MeasurementBuffer &buffer, double value, const char *time)
{
    buffer.append(value, QStringLiteral("03-14-2026"), QString::fromLatin1(time));
}

} // namespace

class TestSampleList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pattern000_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0.0 << "000";
        QTest::newRow("7") << 7.0 << "007";
        QTest::newRow("42") << 42.0 << "042";
        QTest::newRow("999") << 999.0 << "999";
        QTest::newRow("1234") << 1234.0 << "1234";
        QTest::newRow("-7") << -7.0 << "-007";
        QTest::newRow("-5") << -5.0 << "-005";
        QTest::newRow("-32768") << -32768.0 << "-32768";
    }
    void pattern000()
    {
        QFETCH(double, value);
        QTEST(SampleList::pattern000(value), "text");
    }
    void recordingRows()
    {
        MeasurementBuffer buffer;
        LoadedLines lines;
        SampleList list(buffer, lines);
        QCOMPARE(list.rowCount(), 0);
        record(buffer, 392, "10:05:00");
        record(buffer, -7, "10:05:01");
        record(buffer, 1234, "10:05:02");
        list.showRecording(2); // what was shown before the third sample
        QCOMPARE(list.rowCount(), 3);
        list.showRecording(3);
        QCOMPARE(list.text(),
                 QStringLiteral("3 ---- 1234 --- 03-14-2026 --- 10:05:02\n"
                                "2 ---- -007 --- 03-14-2026 --- 10:05:01\n"
                                "1 ---- 392 --- 03-14-2026 --- 10:05:00\n"
                                "0 ---- 000 ---  --- \n"));
        QCOMPARE(list.row(4), QString());
        list.clear();
        QCOMPARE(list.text(), QString());
    }
    void fileRows()
    {
        MeasurementBuffer buffer;
        LoadedLines lines;
        lines.setEntete_fichier(QStringLiteral("N°Record;Valeur;Date;Time"));
        const QStringList raw {"1;5;01-02-2026;03:04:05", "2;6;01-02-2026;03:04:06", "3;7;x"};
        for (int i = 0; i < raw.size(); ++i) {
            buffer.appendLoaded(i);
            lines.setLigne_fichier(i + 1, raw[i]);
        }
        SampleList list(buffer, lines);
        list.showFile(3);
        QCOMPARE(list.text(),
                 QStringLiteral("N°Record;Valeur;Date;Time\n"
                                "3 ---- 3;7;x\n"
                                "2 ---- 2;6;01-02-2026;03:04:06\n"
                                "1 ---- 1;5;01-02-2026;03:04:05\n"
                                "0 ---- \n"));
    }
    void viewScrollsWithNewRowsAndCopies()
    {
        MeasurementBuffer buffer;
        LoadedLines lines;
        SampleList list(buffer, lines);
        SampleListView view(list);
        view.resize(217, 161);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        for (int i = 0; i < 100; ++i)
            record(buffer, i, "10:00:00");
        list.showRecording(100);
        view.listChanged();
        QCOMPARE(view.firstVisibleRow(), 0);
        // The newest sample shows on top while the user watches the top of the list...
        // A selection made there stays on its sample as new ones push it down.
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                          QPoint(20, 7 * view.fontMetrics().height() / 2 + 2));
        const QString chosen = view.selectedText();
        QCOMPARE(chosen, list.row(3) + u'\n');
        record(buffer, 5, "10:00:01");
        list.showRecording(101);
        view.listChanged(1);
        QCOMPARE(view.firstVisibleRow(), 0);
        QCOMPARE(view.selectedText(), chosen);
        // ...and a user reading older samples keeps them in sight.
        view.verticalScrollBar()->setValue(40);
        record(buffer, 6, "10:00:02");
        list.showRecording(102);
        view.listChanged(1);
        QCOMPARE(view.firstVisibleRow(), 41);
        QCOMPARE(view.verticalScrollBar()->maximum(),
                 103 + 1 - view.verticalScrollBar()->pageStep());

        view.setFocus();
        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(view.selectedText(), list.text());
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), list.text());
        // The context menu does the same.
        QApplication::clipboard()->clear();
        view.listChanged(); // the selection is dropped
        view.findChild<QAction *>("menu_tout_selectionner")->trigger();
        view.findChild<QAction *>("menu_copier")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), list.text());
    }
    void readout_data()
    {
        QTest::addColumn<bool>("file");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("line"); // of the viewed file
        QTest::addColumn<QString>("text");
        QTest::newRow("recorded") << false << 392.0 << QString()
                                  << QStringLiteral("N° 2 : 392 — 03-14-2026 10:00:05");
        QTest::newRow("negative test value")
            << false << -5.0 << QString() << QStringLiteral("N° 2 : -005 — 03-14-2026 10:00:05");
        QTest::newRow("loaded, with date and time")
            << true << 392.0 << QStringLiteral("2;392;03-14-2026;10:05:00")
            << QStringLiteral("N° 2 : 392 — 03-14-2026 10:05:00");
        QTest::newRow("loaded, value only")
            << true << 7.0 << QStringLiteral("2;7") << QStringLiteral("N° 2 : 7");
    }
    void readout()
    {
        QFETCH(bool, file);
        QFETCH(double, value);
        QFETCH(QString, line);
        QFETCH(QString, text);
        MeasurementBuffer buffer;
        LoadedLines lines;
        SampleList list(buffer, lines);
        QCOMPARE(list.readout(0), QString()); // nothing shown
        record(buffer, 1, "10:00:01");
        record(buffer, value, "10:00:05");
        lines.setLigne_fichier(2, line);
        if (file)
            list.showFile(2);
        else
            list.showRecording(2);
        QCOMPARE(list.readout(2), text);
        QCOMPARE(list.readout(3), QString());
        QCOMPARE(list.readout(-1), QString());
        QCOMPARE(list.readout(0), QStringLiteral("N° 0 : 000")); // the chart's first point
    }
};

QTEST_MAIN(TestSampleList)
#include "tst_samplelist.moc"
