#include "chart/chartview.h"
#include "recording/measurementbuffer.h"

#include <QApplication>
#include <QMouseEvent>
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
    void keepsItsPictureAcrossHideAndShow()
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
    void edgesAreDrawn_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("row"); // of the inner area, 0 at the top
        QTest::newRow("zeros on the bottom row") << 0 << 172;
        QTest::newRow("255 on the top row") << 255 << 0;
    }
    // A recording of one value: from sample 1 on, its trace is a line on that row up to the last
    // column.
    void edgesAreDrawn()
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
    // At 32000 samples, far more than columns: the marker names the sample under the pointer, sits
    // on its vertex, shows its own value, and goes when the pointer leaves or the chart is hidden,
    // disabled or emptied.
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
        QTest::mouseMove(&view, QPoint(116, 80));
        QCOMPARE(view.pointedSample(), std::nullopt); // nothing plotted yet
        view.plot();
        const auto moveTo = [&](QPointF at) {
            QMouseEvent move(QEvent::MouseMove, at, view.mapToGlobal(at), Qt::NoButton, {}, {});
            QApplication::sendEvent(&view, &move);
        };
        moveTo({60.3, 80});
        QCOMPARE(view.pointedSample(), std::optional<int>(8182));
        const auto marker = view.markerAt({60.3, 80});
        QVERIFY(marker);
        QCOMPARE(marker->text, QStringLiteral("N° 8182 : 255"));
        QVERIFY(std::abs(marker->x - 60.3) < 0.01);
        QVERIFY(view.innerRect().contains(marker->label));
        QVERIFY(view.innerRect().contains(view.markerAt({229, 3})->label)); // kept inside
        const QImage shown = view.grab().toImage();
        QCOMPARE(shown.pixel(60, 150), qRgb(128, 128, 128)); // the marker line

        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&view, &leave);
        QCOMPARE(view.pointedSample(), std::nullopt);
        QVERIFY(view.grab().toImage().pixel(60, 150) != qRgb(128, 128, 128));
        moveTo({60.3, 80});
        view.setEnabled(false);
        QCOMPARE(view.pointedSample(), std::nullopt);
        view.setEnabled(true);
        moveTo({60.3, 80});
        view.hide();
        QCOMPARE(view.pointedSample(), std::nullopt);
        view.show();
        moveTo({60.3, 80});
        view.clear();
        QCOMPARE(view.pointedSample(), std::nullopt);
    }
    void sameLookInEveryState_data()
    {
        QTest::addColumn<bool>("disabled");
        QTest::addColumn<bool>("dark");
        QTest::newRow("enabled") << false << false;
        QTest::newRow("disabled (Réglages open)") << true << false;
        QTest::newRow("dark scheme") << false << true;
        QTest::newRow("dark scheme, disabled") << true << true;
    }
    void sameLookInEveryState()
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
};

QTEST_MAIN(TestChartView)
#include "tst_chartview.moc"
