#include "chart/chartgeometry.h"
#include "chart/chartview.h"
#include "chart/samplelistmodel.h"
#include "chart/samplelistview.h"
#include "chart/tracepath.h"
#include "pixels.h"
#include "recording/samplestore.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>

using namespace ChartGeometry;

namespace {

const QRgb kGreen = qRgb(0, 255, 0), kGrey = qRgb(128, 128, 128);

// Every row of a model, each ended by a line break.
QString rowsOf(const QAbstractItemModel &model)
{
    QString text;
    for (int r = 0; r < model.rowCount(); ++r)
        text += model.index(r, 0).data().toString() + u'\n';
    return text;
}

} // namespace

class TestChart : public QObject
{
    Q_OBJECT

    SampleStore store;
    SampleListModel model {store};
    void record(double value, const char *time) { store.record(value, "03-14-2026", time); }
    void load(const QString &header, const QStringList &lines)
    {
        store.clear();
        store.setEntete_fichier(header);
        for (const QString &line : lines)
            store.load(line.section(u';', 1, 1).toDouble(), line);
        model.show();
    }

private Q_SLOTS:
    // Inner area 229 × 100 pixels from (2, 2): values 0..255 on rows 101..2, samples 0..10 on
    // columns 2..230, edge to edge; the centre lines and the rulers' numbers.
    void valuesMapToEdges()
    {
        const QRectF inner(2, 2, 229, 100);
        const QList<std::tuple<double, double, double, double>> cases {{0, 0, 255, 101},
                                                                       {255, 0, 0, 2},
                                                                       {300, 0, -45, -15.470588235},
                                                                       {274, 19, 0, 2},
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
        // The numbers of the main window's rulers (3495 × 255 and 255 × 2655 twips, 2-pixel
        // borders): number 5 of each.
        QCOMPARE(rulerStep(3435), 343.2);
        const QPointF h = horizontalNumberPosition(5, QRectF(3600, 2880, 3495, 255), 3435);
        const QPointF v = verticalNumberPosition(5, QRectF(7200, 120, 255, 2655), 2595);
        QVERIFY(std::abs(h.x() - 5248.296943231) < 1e-6 && h.y() == 3180);
        QVERIFY(std::abs(v.y() - 1348.768786127) < 1e-6 && v.x() == 7500);
    }
    // The main window's chart, 229 columns from x = 2 to 230: the sample nearest the pointer.
    void pointerToIndex()
    {
        const QList<std::tuple<int, double, int>> cases {
            {1, 115, 0},     {1, 117, 1},         {2, 60, 1},
            {229, 115, 113}, {32000, 230, 32000}, {32000, 116.33, 16046},
            {32000, -5, 0},  {32000, 300, 32000}};
        for (const auto &[count, x, index] : cases)
            QVERIFY2(nearestIndex(x, count, QRectF(2, 2, 229, 173)) == index,
                     qPrintable(QStringLiteral("%1 at %2").arg(count).arg(x)));
    }
    // Every point while few, from sample 0 at the bottom left, no stray segment; past two
    // points a column at most four a column, a spike anywhere kept.
    void traceKeepsEverySpike()
    {
        QVERIFY(TracePath::build(SampleStore(), 0, QRectF(2, 2, 229, 173)).isEmpty());
        for (const auto &[count, spikeAt] :
             {std::pair(1, 1), {400, 200}, {1000, 517}, {8000, 1}, {32000, 31999}}) {
            SampleStore store;
            for (int i = 1; i <= count; ++i)
                store.record(i == spikeAt ? 255 : 100, {}, {});
            const QPolygonF path = TracePath::build(store, count, QRectF(2, 2, 229, 173));
            QVERIFY(path.size() == count + 1 || (count > 458 && path.size() <= 4 * 229 + 4));
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
        store.clear();
        model.clear();
    }
    // Newest first: a recording's rows, values as "#000", a new sample as a row inserted on top;
    // a loaded file's raw lines under its first line.
    void rows()
    {
        QCOMPARE(model.rowCount(), 0);
        record(42, "10:05:00");
        record(-7, "10:05:01");
        model.show();
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        for (const double value : {1234.0, -32768.0}) {
            record(value, "10:05:02");
            model.show();
        }
        QCOMPARE(inserted.count(), 2);
        QCOMPARE(rowsOf(model),
                 "4 ---- -32768 --- 03-14-2026 --- 10:05:02\n"
                 "3 ---- 1234 --- 03-14-2026 --- 10:05:02\n"
                 "2 ---- -007 --- 03-14-2026 --- 10:05:01\n"
                 "1 ---- 042 --- 03-14-2026 --- 10:05:00\n"
                 "0 ---- 000 ---  --- \n");
        QCOMPARE(model.index(5, 0).data(), QVariant());
        load("N°Record;Valeur;Date;Time", {"1;5;01-02-2026;03:04:05", "2;6;x"});
        QCOMPARE(
            rowsOf(model),
            "N°Record;Valeur;Date;Time\n2 ---- 2;6;x\n1 ---- 1;5;01-02-2026;03:04:05\n0 ---- \n");
        QCOMPARE(inserted.count(), 2);
    }
    // The chart's label: the value as listed, then the date and time of the sample.
    void readout()
    {
        QCOMPARE(model.readout(0), QString()); // nothing shown
        record(1, "10:00:01");
        record(-5, "10:00:05");
        model.show();
        QCOMPARE(model.readout(2), "N° 2 : -005 — 03-14-2026 10:00:05");
        QCOMPARE(model.readout(0), "N° 0 : 000");
        QCOMPARE(model.readout(3), QString());
        QCOMPARE(model.readout(-1), QString());
        load("h", {"1;7", "2;392;03-14-2026;10:05:00"});
        QCOMPARE(model.readout(2), "N° 2 : 392 — 03-14-2026 10:05:00");
        QCOMPARE(model.readout(1), "N° 1 : 7"); // a file line with the value only
    }
    void viewScrollsWithNewRowsAndCopies()
    {
        SampleListView view;
        view.setModel(&model);
        view.resize(217, 161);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        for (int i = 0; i < 100; ++i)
            record(i, "10:00:00");
        model.show();
        const auto copied = [&] {
            QApplication::clipboard()->clear();
            QTest::keyClick(&view, Qt::Key_C, Qt::ControlModifier);
            return QApplication::clipboard()->text();
        };
        const auto more = [&](int n) {
            for (int i = 0; i < n; ++i) {
                record(5, "10:00:01");
                model.show();
            }
            QApplication::processEvents();
            return view.verticalScrollBar()->value();
        };
        // The newest sample shows on top while the user watches the top of the list, and a
        // selection stays on its samples as new ones push them down...
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                          view.visualRect(model.index(3, 0)).center());
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          view.visualRect(model.index(4, 0)).center());
        const QString chosen = copied();
        QCOMPARE(
            chosen,
            "97 ---- 096 --- 03-14-2026 --- 10:00:00\n96 ---- 095 --- 03-14-2026 --- 10:00:00\n");
        QCOMPARE(more(1), 0);
        QCOMPARE(copied(), chosen);
        // ...and a user reading older samples keeps them in sight.
        view.verticalScrollBar()->setValue(40);
        QCOMPARE(more(2), 42);
        QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(copied(), rowsOf(model));
        model.show(); // a new list: the selection is dropped; the context menu selects and copies
        QCOMPARE(copied(), QString());
        view.findChild<QAction *>("menu_tout_selectionner")->trigger();
        QApplication::clipboard()->clear();
        view.findChild<QAction *>("menu_copier")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), rowsOf(model));
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
            SampleStore store;
            for (int i = 1; i <= 5; ++i)
                store.record(value, {}, {});
            ChartView view(store);
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
            QCOMPARE(pixelsOf(view.grab().toImage(), is(kGreen)), 0);
            view.plot();
            const QImage image = view.grab().toImage();
            const QRect inner = view.innerRect().toRect();
            QCOMPARE(inner.size(), QSize(229, 173));
            QCOMPARE(image.pixel(inner.left() + 10, inner.top() + 40), qRgb(0, 0, 0));
            QCOMPARE(image.pixel(inner.left() + 10, inner.top() + 86), kGrey);
            for (const int x : {46, 100, 228}) // samples 1 to 5, sample 0 on the left edge
                QCOMPARE(image.pixel(inner.left() + x, inner.top() + row), kGreen);
            view.hide();
            store.record(128, {}, {}); // drawn only at the next plot
            view.show();
            QVERIFY(QTest::qWaitForWindowExposed(&view));
            QCOMPARE(view.grab().toImage(), image);
            view.clear();
            const QImage cleared = view.grab().toImage();
            QCOMPARE(pixelsOf(cleared, is(kGreen)), 0);
            QVERIFY(pixelsOf(cleared, is(kGrey)) >= 229 + 173 - 2);
        }
    }
    // At 32000 samples, far more than columns: the marker names the sample under the pointer,
    // sits on its vertex, shows its value, and goes when the pointer leaves or the chart is
    // hidden, disabled or emptied.
    void markerFollowsThePointer()
    {
        SampleStore store;
        for (int i = 1; i <= 32000; ++i)
            store.record(i == 8182 ? 255 : 10, {}, {});
        ChartView view(store);
        view.setReadout(
            [&](int i) { return QStringLiteral("N° %1 : %2").arg(i).arg(store.valeur(i)); });
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
