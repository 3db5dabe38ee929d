#include "chart/chartgeometry.h"
#include "chart/chartview.h"
#include "chart/samplelist.h"
#include "chart/samplelistview.h"
#include "chart/tracepath.h"
#include "recording/loadedlines.h"
#include "recording/measurementbuffer.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>
#include <algorithm>

using namespace ChartGeometry;

namespace {

int pixelsOf(const QImage &image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}
const QRgb kGreen = qRgb(0, 255, 0), kGrey = qRgb(128, 128, 128);

} // namespace

class TestChart : public QObject
{
    Q_OBJECT

    MeasurementBuffer buffer;
    LoadedLines lines;
    SampleList list {buffer, lines};
    void record(double value, const char *time) { buffer.append(value, "03-14-2026", time); }

private Q_SLOTS:
    // Inner area 229 × 100 pixels from (2, 2): values 0..255 on rows 101..2, samples 0..10 on
    // columns 2..230, edge to edge.
    void valuesMapToEdges()
    {
        const QRectF inner(2, 2, 229, 100);
        const QList<std::tuple<double, double, double, double>> cases {{0, 0, 255, 101},
                                                                       {255, 0, 0, 2},
                                                                       {300, 0, -45, -15.470588235},
                                                                       {274, 19, 0, 2},
                                                                       {39, 19, 235, 93.235294118},
                                                                       {-1e12, 0, 1e12 + 255, 1e6}};
        for (const auto &[value, borneBasse, userY, pixelY] : cases) {
            QCOMPARE(valueY(value, borneBasse), userY);
            const QPointF at = toPixel({0, userY}, 10, inner);
            QVERIFY2(std::abs(at.y() - pixelY) < 1e-6, qPrintable(QString::number(at.y(), 'f', 9)));
            QCOMPARE(at.x(), 2.0);
        }
        QCOMPARE(toPixel({10, 0}, 10, inner).x(), 230.0);
        QCOMPARE(toPixel({5, 0}, 10, inner).x(), 116.0);
        QCOMPARE(horizontalCentreLine(QRectF(2, 2, 229, 173)), QLineF(2, 88, 230, 88));
        QCOMPARE(verticalCentreLine(QRectF(2, 2, 229, 173)), QLineF(116, 2, 116, 174));
    }
    // The main window's chart, 229 columns from x = 2 to 230: the sample nearest the pointer.
    void pointerToIndex()
    {
        const QList<std::tuple<int, double, int>> cases {{1, 2, 0},
                                                         {1, 115, 0},
                                                         {1, 117, 1},
                                                         {1, 230, 1},
                                                         {2, 58, 0},
                                                         {2, 60, 1},
                                                         {228, 102, 100},
                                                         {229, 115, 113},
                                                         {230, 116, 115},
                                                         {1000, 116, 500},
                                                         {32000, 116, 16000},
                                                         {32000, 230, 32000},
                                                         {32000, 116.33, 16046},
                                                         {32000, -5, 0},
                                                         {32000, 300, 32000}};
        for (const auto &[count, x, index] : cases)
            QVERIFY2(nearestIndex(x, count, QRectF(2, 2, 229, 173)) == index,
                     qPrintable(QStringLiteral("%1 at %2").arg(count).arg(x)));
    }
    // The rulers of the main window: 3495 × 255 and 255 × 2655 twips, 2-pixel borders.
    void rulerNumbers()
    {
        QCOMPARE(rulerStep(3435), 343.2);
        for (const auto &[n, x, y] : {std::tuple {1, 3851.517903930, 287.996531792},
                                      {5, 5248.296943231, 1348.768786127},
                                      {9, 6645.075982533, 2409.541040462}}) {
            const QPointF h = horizontalNumberPosition(n, QRectF(3600, 2880, 3495, 255), 3435);
            const QPointF v = verticalNumberPosition(n, QRectF(7200, 120, 255, 2655), 2595);
            QVERIFY(std::abs(h.x() - x) < 1e-6 && h.y() == 3180);
            QVERIFY(std::abs(v.y() - y) < 1e-6 && v.x() == 7500);
        }
    }
    void pointsFromSampleZero()
    {
        MeasurementBuffer buffer;
        QVERIFY(TracePath::build(buffer, 0, QRectF(0, 0, 229, 173)).isEmpty());
        for (int i = 1; i <= 400; ++i)
            buffer.append(i == 1 ? 255 : i % 256, {}, {});
        // From sample 0 at the bottom left to sample 1 at the top right: no stray segment.
        QCOMPARE(TracePath::build(buffer, 1, QRectF(0, 0, 229, 173)),
                 QPolygonF({QPointF(0, 172), QPointF(228, 0)}));
        const QPolygonF path = TracePath::build(buffer, 400, QRectF(0, 0, 229, 173));
        QCOMPARE(path.size(), 401); // every point while few
        QCOMPARE(path[200].x(), 114.0);
    }
    // Many samples: at most four points a column, a spike anywhere kept.
    void decimatesButKeepsSpikes()
    {
        for (const auto &[count, spikeAt] : {std::pair(1000, 517), {8000, 1}, {32000, 31999}}) {
            MeasurementBuffer buffer;
            for (int i = 1; i <= count; ++i)
                buffer.append(i == spikeAt ? 255 : 100, {}, {});
            const QPolygonF path = TracePath::build(buffer, count, QRectF(2, 2, 229, 173));
            QVERIFY(path.size() <= 4 * 229 + 4);
            const auto top = std::min_element(path.begin(), path.end(),
                                              [](QPointF a, QPointF b) { return a.y() < b.y(); });
            QCOMPARE(top->y(), 2.0);
            QVERIFY(std::abs(top->x() - (2 + 228.0 * spikeAt / count)) <= 1.5);
            QCOMPARE(path.first(), QPointF(2, 174));
            QVERIFY(qFuzzyCompare(path.last().x(), 230));
        }
    }
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
    // Black inside, grey centre lines, green trace: in every state and colour scheme; a
    // recording of one value lies on its row, zeros on the bottom one; the picture stays until
    // the next plot, across hide and show.
    void drawsAndKeepsItsPicture()
    {
        for (const auto &[value, row, disabled, dark] : {std::tuple {0, 172, false, false},
                                                         {255, 0, true, false},
                                                         {0, 172, false, true},
                                                         {255, 0, true, true}}) {
            MeasurementBuffer buffer;
            for (int i = 1; i <= 5; ++i)
                buffer.append(value, {}, {});
            ChartView view(buffer);
            view.resize(233, 177);
            if (dark) {
                QPalette p = view.palette();
                for (const auto group :
                     {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
                    p.setColor(group, QPalette::WindowText, Qt::white);
                    p.setColor(group, QPalette::Mid, QColor(40, 40, 40));
                }
                view.setPalette(p);
            }
            view.setEnabled(!disabled);
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
            QCOMPARE(pixelsOf(view.grab().toImage(), kGreen), 0);
            view.plot();
            const QImage image = view.grab().toImage();
            const QRect inner = view.innerRect().toRect();
            QCOMPARE(inner.size(), QSize(229, 173));
            QCOMPARE(image.pixel(inner.left() + 10, inner.top() + 40), qRgb(0, 0, 0));
            QCOMPARE(image.pixel(inner.left() + 10, inner.top() + 86), kGrey);
            for (const int x : {46, 100, 228}) // samples 1 to 5, sample 0 on the left edge
                QCOMPARE(image.pixel(inner.left() + x, inner.top() + row), kGreen);
            view.hide();
            buffer.append(128, {}, {}); // drawn only at the next plot
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
            QCOMPARE(view.grab().toImage(), image);
            view.clear();
            const QImage cleared = view.grab().toImage();
            QCOMPARE(pixelsOf(cleared, kGreen), 0);
            QVERIFY(pixelsOf(cleared, kGrey) >= 229 + 173 - 2);
        }
    }
    // At 32000 samples, far more than columns: the marker names the sample under the pointer,
    // sits on its vertex, shows its value, and goes when the pointer leaves or the chart is
    // hidden, disabled or emptied.
    void markerFollowsThePointer()
    {
        MeasurementBuffer buffer;
        for (int i = 1; i <= 32000; ++i)
            buffer.append(i == 8182 ? 255 : 10, {}, {});
        ChartView view(buffer);
        view.setReadout(
            [&](int i) { return QStringLiteral("N° %1 : %2").arg(i).arg(buffer.valeur(i)); });
        view.resize(233, 177);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const auto moveTo = [&](QPointF at) {
            QMouseEvent move(QEvent::MouseMove, at, view.mapToGlobal(at), Qt::NoButton, {}, {});
            QApplication::sendEvent(&view, &move);
            return view.pointedSample();
        };
        QCOMPARE(moveTo({116, 80}), std::nullopt); // nothing plotted yet
        view.plot();
        QCOMPARE(moveTo({60.3, 80}), std::optional<int>(8182));
        const auto marker = view.markerAt({60.3, 80});
        QVERIFY(marker && marker->text == QStringLiteral("N° 8182 : 255"));
        QVERIFY(std::abs(marker->x - 60.3) < 0.01 && view.innerRect().contains(marker->label));
        QVERIFY(view.innerRect().contains(view.markerAt({229, 3})->label)); // kept inside
        QCOMPARE(view.grab().toImage().pixel(60, 150), kGrey); // the marker line
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&view, &leave);
        QCOMPARE(view.pointedSample(), std::nullopt);
        QVERIFY(view.grab().toImage().pixel(60, 150) != kGrey);
        const std::function<void()> drops[]
            = {[&] { view.setEnabled(false); }, [&] { view.hide(); },
               [&] {
                   view.clear();
               }};
        for (const auto &drop : drops) {
            view.setEnabled(true);
            view.show();
            QVERIFY(moveTo({60.3, 80}));
            drop();
            QCOMPARE(view.pointedSample(), std::nullopt);
        }
    }
};

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
