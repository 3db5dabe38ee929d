#include "chart/samplelist.h"
#include "chart/samplelistview.h"
#include "recording/loadedlines.h"
#include "recording/measurementbuffer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>

class TestSampleList : public QObject
{
    Q_OBJECT

    MeasurementBuffer buffer;
    LoadedLines lines;
    SampleList list {buffer, lines};
    void record(double value, const char *time) { buffer.append(value, "03-14-2026", time); }

private Q_SLOTS:
    void init()
    {
        buffer.restart();
        list.clear();
    }
    void rows()
    {
        QCOMPARE(list.rowCount(), 0);
        for (const auto &[value, text] : {std::pair(0.0, "000"),
                                          {42.0, "042"},
                                          {999.0, "999"},
                                          {1234.0, "1234"},
                                          {-7.0, "-007"},
                                          {-32768.0, "-32768"}})
            QCOMPARE(SampleList::pattern000(value), text);
        record(392, "10:05:00");
        record(-7, "10:05:01");
        record(1234, "10:05:02");
        QCOMPARE(list.showRecording(2), 0); // the list starts over
        QCOMPARE(list.showRecording(3), 1); // one more row on top
        QCOMPARE(list.showRecording(3), 0);
        QCOMPARE(list.text(),
                 "3 ---- 1234 --- 03-14-2026 --- 10:05:02\n"
                 "2 ---- -007 --- 03-14-2026 --- 10:05:01\n"
                 "1 ---- 392 --- 03-14-2026 --- 10:05:00\n"
                 "0 ---- 000 ---  --- \n");
        QCOMPARE(list.row(4), QString());
        lines.setEntete_fichier("N°Record;Valeur;Date;Time");
        lines.setLigne_fichier(1, "1;5;01-02-2026;03:04:05");
        lines.setLigne_fichier(2, "2;6;x");
        list.showFile(2);
        QCOMPARE(
            list.text(),
            "N°Record;Valeur;Date;Time\n2 ---- 2;6;x\n1 ---- 1;5;01-02-2026;03:04:05\n0 ---- \n");
        QCOMPARE(list.showRecording(3), 0);
    }
    // The chart's label: the value as listed, then the date and time of the sample.
    void readout()
    {
        QCOMPARE(list.readout(0), QString()); // nothing shown
        record(1, "10:00:01");
        record(-5, "10:00:05");
        list.showRecording(2);
        QCOMPARE(list.readout(2), "N° 2 : -005 — 03-14-2026 10:00:05");
        QCOMPARE(list.readout(0), "N° 0 : 000");
        QCOMPARE(list.readout(3), QString());
        QCOMPARE(list.readout(-1), QString());
        buffer.setValeur(2, 392);
        lines.setLigne_fichier(1, "1;7");
        lines.setLigne_fichier(2, "2;392;03-14-2026;10:05:00");
        list.showFile(2);
        QCOMPARE(list.readout(2), "N° 2 : 392 — 03-14-2026 10:05:00");
        QCOMPARE(list.readout(1), "N° 1 : 7"); // a file line with the value only
    }
    void viewScrollsWithNewRowsAndCopies()
    {
        SampleListView view(list);
        view.resize(217, 161);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        for (int i = 0; i < 100; ++i)
            record(i, "10:00:00");
        list.showRecording(100);
        view.listChanged();
        // The newest sample shows on top while the user watches the top of the list, and a
        // selection stays on its sample as new ones push it down...
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                          QPoint(20, 7 * view.fontMetrics().height() / 2 + 2));
        const QString chosen = view.selectedText();
        QCOMPARE(chosen, list.row(3) + u'\n');
        record(5, "10:00:01");
        view.listChanged(list.showRecording(101));
        QCOMPARE(view.firstVisibleRow(), 0);
        QCOMPARE(view.selectedText(), chosen);
        // ...and a user reading older samples keeps them in sight.
        view.verticalScrollBar()->setValue(40);
        record(6, "10:00:02");
        view.listChanged(list.showRecording(102));
        QCOMPARE(view.firstVisibleRow(), 41);
        QCOMPARE(view.verticalScrollBar()->maximum(), 104 - view.verticalScrollBar()->pageStep());
        view.setFocus();
        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), list.text());
        QApplication::clipboard()->clear();
        view.listChanged(); // the selection is dropped; the context menu does the same
        view.findChild<QAction *>("menu_tout_selectionner")->trigger();
        view.findChild<QAction *>("menu_copier")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), list.text());
    }
};

QTEST_MAIN(TestSampleList)
#include "tst_samplelist.moc"
