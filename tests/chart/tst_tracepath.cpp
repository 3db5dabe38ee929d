#include "chart/tracepath.h"
#include "recording/measurementbuffer.h"

#include <QTest>
#include <algorithm>

class TestTracePath : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
};

QTEST_GUILESS_MAIN(TestTracePath)
#include "tst_tracepath.moc"
