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
    void edgesAreDrawn_data();
    void edgesAreDrawn();
    void sameLookInEveryState_data();
    void sameLookInEveryState();
};

void TestChartView::edgesAreDrawn_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("row"); // of the inner area, 0 at the top
    QTest::newRow("zeros on the bottom row") << 0 << 172;
    QTest::newRow("255 on the top row") << 255 << 0;
}

// A recording of one value: from sample 1 on, its trace is a line on that row up to the last
// column.
void TestChartView::edgesAreDrawn()
{
    QFETCH(int, value);
    QFETCH(int, row);
    MeasurementBuffer buffer;
    for (int i = 1; i <= 5; ++i)
        buffer.append(value, {}, {});
    ChartView view(buffer);
    view.resize(233, 177);
    view.plot();
    const QImage image = view.grab().toImage();
    const QRect inner = view.innerRect().toRect();
    QCOMPARE(inner.size(), QSize(229, 173));
    for (const int x : {46, 100, 228}) // samples 1 to 5 (sample 0 is 0, on the left edge)
        QCOMPARE(image.pixel(inner.left() + x, inner.top() + row), qRgb(0, 255, 0));
    QVERIFY(greenPixels(image) >= 228);
}

void TestChartView::sameLookInEveryState_data()
{
    QTest::addColumn<bool>("disabled");
    QTest::addColumn<bool>("dark");
    QTest::newRow("enabled") << false << false;
    QTest::newRow("disabled (Réglages open)") << true << false;
    QTest::newRow("dark scheme") << false << true;
    QTest::newRow("dark scheme, disabled") << true << true;
}

void TestChartView::sameLookInEveryState()
{
    QFETCH(bool, disabled);
    QFETCH(bool, dark);
    MeasurementBuffer buffer;
    buffer.append(200, {}, {});
    ChartView view(buffer);
    view.resize(233, 177);
    if (dark) {
        QPalette p = view.palette();
        for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            p.setColor(group, QPalette::WindowText, Qt::white);
            p.setColor(group, QPalette::Mid, QColor(40, 40, 40));
        }
        view.setPalette(p);
    }
    view.setEnabled(!disabled);
    view.plot();
    const QImage image = view.grab().toImage();
    const QRect inner = view.innerRect().toRect();
    QCOMPARE(image.pixel(inner.left() + 10, inner.top() + 5), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(inner.left() + 10, inner.top() + 86), qRgb(128, 128, 128)); // centre
    QVERIFY(greenPixels(image) > 100);
}

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
    int linePixels = 0;
    for (int y = 0; y < cleared.height(); ++y)
        for (int x = 0; x < cleared.width(); ++x)
            linePixels += cleared.pixel(x, y) == qRgb(128, 128, 128);
    const QRectF inner = view.innerRect();
    QVERIFY2(linePixels >= int(inner.width() + inner.height()) - 2,
             qPrintable(QString::number(linePixels)));
}

QTEST_MAIN(TestChartView)
#include "tst_chartview.moc"
