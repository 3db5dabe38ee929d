#include "chart/chartgeometry.h"

#include <QTest>

using namespace ChartGeometry;

class TestChartGeometry : public QObject
{
    Q_OBJECT

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
};

QTEST_GUILESS_MAIN(TestChartGeometry)
#include "tst_chartgeometry.moc"
