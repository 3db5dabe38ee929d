#include "chart/tracepath.h"
#include "recording/measurementbuffer.h"

#include <QTest>
#include <algorithm>

class TestTracePath : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstSampleDrawsOneSegment()
    {
        MeasurementBuffer buffer;
        buffer.append(255, {}, {});
        const QPolygonF path = TracePath::build(buffer, 1, QRectF(0, 0, 229, 173));
        // From sample 0 at the bottom left to sample 1 at the top right: no stray first segment.
        QCOMPARE(path, QPolygonF({QPointF(0, 172), QPointF(228, 0)}));
        QVERIFY(TracePath::build(buffer, 0, QRectF(0, 0, 229, 173)).isEmpty());
    }
    void everyPointWhileFewSamples()
    {
        MeasurementBuffer buffer;
        for (int i = 1; i <= 400; ++i)
            buffer.append(i % 256, {}, {});
        const QPolygonF path = TracePath::build(buffer, 400, QRectF(0, 0, 229, 173));
        QCOMPARE(path.size(), 401);
        QCOMPARE(path[200].x(), 114.0);
    }
    void decimatesButKeepsSpikes_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("spikeAt");
        QTest::newRow("1000") << 1000 << 517;
        QTest::newRow("8000") << 8000 << 1;
        QTest::newRow("32000") << 32000 << 31999;
    }
    void decimatesButKeepsSpikes()
    {
        QFETCH(int, count);
        QFETCH(int, spikeAt);
        MeasurementBuffer buffer;
        for (int i = 1; i <= count; ++i)
            buffer.append(i == spikeAt ? 255 : 100, {}, {});
        const QRectF inner(2, 2, 229, 173);
        const QPolygonF path = TracePath::build(buffer, count, inner);
        QVERIFY(path.size() <= 4 * 229 + 4);
        const auto top = std::min_element(path.begin(), path.end(),
                                          [](QPointF a, QPointF b) { return a.y() < b.y(); });
        QCOMPARE(top->y(), inner.top());
        QVERIFY(std::abs(top->x() - (2 + 228.0 * spikeAt / count)) <= 1.5);
        QCOMPARE(path.first(), QPointF(2, 174)); // sample 0: the bottom row, the first column
        QVERIFY(qFuzzyCompare(path.last().x(), 230)); // the last sample: the last column
    }
};

QTEST_GUILESS_MAIN(TestTracePath)
#include "tst_tracepath.moc"
