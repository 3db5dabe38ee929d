#include "chart/chartview.h"
#include "recording/measurementbuffer.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

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

class TestChartView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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

QTEST_MAIN(TestChartView)
#include "tst_chartview.moc"
