#include "chart/chartgeometry.h"

#include <QTest>

using namespace ChartGeometry;

class TestChartGeometry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void valuesMapToEdges_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("borneBasse");
        QTest::addColumn<double>("userY");
        QTest::addColumn<double>("pixelY"); // inner area 100 px high from y = 2
        QTest::newRow("bottom edge: the last row") << 0.0 << 0.0 << 255.0 << 101.0;
        QTest::newRow("top edge: the first row") << 255.0 << 0.0 << 0.0 << 2.0;
        QTest::newRow("300 cut off above") << 300.0 << 0.0 << -45.0 << -15.470588235;
        QTest::newRow("moved window top") << 274.0 << 19.0 << 0.0 << 2.0;
        QTest::newRow("moved window, 39") << 39.0 << 19.0 << 235.0 << 93.235294118;
        QTest::newRow("far below stays finite") << -1e12 << 0.0 << 1e12 + 255 << 1e6;
    }
    // Inner area 229 × 100 pixels from (2, 2): rows 2..101, columns 2..230.
    void valuesMapToEdges()
    {
        QFETCH(double, value);
        QFETCH(double, borneBasse);
        QFETCH(double, userY);
        QFETCH(double, pixelY);
        QCOMPARE(valueY(value, borneBasse), userY);
        const QRectF inner(2, 2, 229, 100);
        const QPointF at = toPixel({0, userY}, 10, inner);
        QVERIFY2(std::abs(at.y() - pixelY) < 1e-6, qPrintable(QString::number(at.y(), 'f', 9)));
        QCOMPARE(at.x(), 2.0);
        QCOMPARE(toPixel({10, userY}, 10, inner).x(), 230.0);
        QCOMPARE(toPixel({5, userY}, 10, inner).x(), 116.0);
    }
    void pointerToIndex_data()
    {
        // The main window's chart: 229 columns, from x = 2 to x = 230.
        QTest::addColumn<int>("count");
        QTest::addColumn<double>("x");
        QTest::addColumn<int>("index");
        QTest::newRow("1: left edge") << 1 << 2.0 << 0;
        QTest::newRow("1: just left of the middle") << 1 << 115.0 << 0;
        QTest::newRow("1: just right of the middle") << 1 << 117.0 << 1;
        QTest::newRow("1: right edge") << 1 << 230.0 << 1;
        QTest::newRow("2: 0.49") << 2 << 58.0 << 0;
        QTest::newRow("2: 0.51") << 2 << 60.0 << 1;
        QTest::newRow("228: one a column") << 228 << 102.0 << 100;
        QTest::newRow("229: 113.5 rounds down") << 229 << 115.0 << 113;
        QTest::newRow("230: 115") << 230 << 116.0 << 115;
        QTest::newRow("1000: middle") << 1000 << 116.0 << 500;
        QTest::newRow("32000: middle") << 32000 << 116.0 << 16000;
        QTest::newRow("32000: last column") << 32000 << 230.0 << 32000;
        QTest::newRow("32000: a third of a column") << 32000 << 116.33 << 16046;
        QTest::newRow("left of the chart") << 32000 << -5.0 << 0;
        QTest::newRow("right of the chart") << 32000 << 300.0 << 32000;
    }
    // The inverse of the trace's mapping: the marker lands on the vertex of the sample it names.
    void pointerToIndex()
    {
        QFETCH(int, count);
        QFETCH(double, x);
        QFETCH(int, index);
        const QRectF inner(2, 2, 229, 173);
        QCOMPARE(nearestIndex(x, count, inner), index);
        const double vertex = toPixel({double(index), 0}, count, inner).x();
        if (x >= 2 && x <= 230)
            QVERIFY(std::abs(vertex - x) <= 0.5 * 228.0 / count + 1e-9);
    }
    void rulerNumbers_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<QPointF>("horizontal");
        QTest::addColumn<QPointF>("vertical");
        // The rulers of the main window: 3495 × 255 and 255 × 2655 twips with a 2-pixel border.
        const double hr = 3495.0 / 3435.0, vr = 2655.0 / 2595.0;
        for (int n : {1, 5, 9})
            QTest::addRow("%d", n) << n << QPointF(3600 + hr * n * 343.2 - hr * 96, 2880 + 300)
                                   << QPointF(7200 + 300, 120 + vr * n * 259.2 - vr * 95);
    }
    void rulerNumbers()
    {
        QFETCH(int, n);
        QFETCH(QPointF, horizontal);
        QFETCH(QPointF, vertical);
        QCOMPARE(rulerStep(3435), 343.2);
        const QPointF h = horizontalNumberPosition(n, QRectF(3600, 2880, 3495, 255), 3435);
        const QPointF v = verticalNumberPosition(n, QRectF(7200, 120, 255, 2655), 2595);
        QVERIFY(std::abs(h.x() - horizontal.x()) < 1e-6 && h.y() == horizontal.y());
        QVERIFY(std::abs(v.y() - vertical.y()) < 1e-6 && v.x() == vertical.x());
        // The numbers stay inside the wide window (7890 twips less the borders) and below the
        // chart.
        QVERIFY(h.x() > 3600 && h.x() < 7200);
        QVERIFY(v.x() + 300 < 7830);
    }
    // The chart's inside, 229 x 173 pixels from (2, 2): the lines run edge to edge through the
    // middle.
    void centreLinesSpanTheInside()
    {
        const QRectF inner(2, 2, 229, 173);
        QCOMPARE(horizontalCentreLine(inner), QLineF(2, 88, 230, 88));
        QCOMPARE(verticalCentreLine(inner), QLineF(116, 2, 116, 174));
    }
};

QTEST_GUILESS_MAIN(TestChartGeometry)
#include "tst_chartgeometry.moc"
