#include "chart/chartview.h"
#include "recording/measurementbuffer.h"

#include <QTest>

namespace {

int greenPixels(const QImage &image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == qRgb(0, 255, 0);
    return n;
}

} // namespace

class TestChartView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keepsItsPictureAcrossHideAndShow();
};

void TestChartView::keepsItsPictureAcrossHideAndShow()
{
    MeasurementBuffer buffer;
    for (int i = 1; i <= 50; ++i)
        buffer.append((i * 37) % 256, {}, {});
    ChartView view(buffer);
    view.resize(233, 177);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(greenPixels(view.grab().toImage()), 0);

    view.plot();
    const QImage drawn = view.grab().toImage();
    QVERIFY(greenPixels(drawn) > 100);
    view.hide();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.grab().toImage(), drawn);

    // A sample stored after the last plot appears only with the next plot.
    buffer.append(255, {}, {});
    QCOMPARE(view.grab().toImage(), drawn);
    view.clear();
    QCOMPARE(greenPixels(view.grab().toImage()), 0);
    // The centre lines survive clearing.
    const QImage cleared = view.grab().toImage();
    const QPalette p = view.palette();
    const QRgb lines[] = {p.color(QPalette::Active, QPalette::Mid).rgb(),
                          p.color(QPalette::Inactive, QPalette::Mid).rgb()};
    int linePixels = 0;
    for (int y = 0; y < cleared.height(); ++y)
        for (int x = 0; x < cleared.width(); ++x)
            linePixels += cleared.pixel(x, y) == lines[0] || cleared.pixel(x, y) == lines[1];
    const QRectF inner = view.innerRect();
    QVERIFY2(linePixels >= int(inner.width() + inner.height()) - 2,
             qPrintable(QString::number(linePixels)));
}

QTEST_MAIN(TestChartView)
#include "tst_chartview.moc"
