#include "acquisition/serialframer.h"
#include "simulatedsensor.h"

#include <QTest>

using Delivery = SimulatedSensor::Delivery;
Q_DECLARE_METATYPE(Delivery)

class TestSerialFramer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void streamingSensor_data()
    {
        QTest::addColumn<double>("periodMs");
        QTest::addColumn<Delivery>("delivery");
        QTest::addColumn<double>("driftPpm");
        QTest::addColumn<int>("minFreshPercent");
        const struct
        {
            double period;
            int fresh[3]; // whole, bytes, packets
        } periods[] = {{33, {99, 99, 50}},  {49.9, {99, 99, 99}}, {100.3, {99, 99, 99}},
                       {200, {85, 85, 85}}, {1000, {85, 85, 85}}, {10000, {85, 85, 85}}};
        const char *names[] = {"whole", "bytes", "packets"};
        for (const auto &p : periods)
            for (int d = 0; d < 3; ++d)
                for (const double drift : {-100.0, 100.0})
                    QTest::addRow("%g ms %s %+g ppm", p.period, names[d], drift)
                        << p.period << Delivery(d) << drift << p.fresh[d];
    }
    // Whatever the period, delivery and drift, every frame taken is one the sensor sent.
    void streamingSensor()
    {
        QFETCH(double, periodMs);
        QFETCH(Delivery, delivery);
        QFETCH(double, driftPpm);
        QFETCH(int, minFreshPercent);
        SimulatedSensor sensor;
        sensor.periodMs = periodMs;
        sensor.delivery = delivery;
        sensor.driftPpm = driftPpm;
        const int frames = std::max(40, int(60000 / periodMs));
        sensor.send(0, frames, 7000);
        SerialFramer framer;
        framer.restart(SerialFramer::Time(0));
        const FramerRun r = FramerRun::run(sensor, framer, frames * periodMs * 1000);
        QCOMPARE(r.wrong, 0);
        QVERIFY(r.due > 0);
        QVERIFY2(r.fresh * 100 >= r.due * minFreshPercent,
                 qPrintable(QStringLiteral("%1 of %2").arg(r.fresh).arg(r.due)));
    }
    void dropsWhatIsNotAFrame_data()
    {
        QTest::addColumn<int>("scenario");
        QTest::addColumn<Delivery>("delivery");
        QTest::addColumn<QList<int>>("taken"); // frames taken, poll after poll (-1: none)
        const char *names[] = {"whole", "bytes", "packets"};
        for (int d = 0; d < 3; ++d) {
            // Opened while frame 0 was on the line: its tail is not a frame.
            QTest::addRow("start mid-frame, %s", names[d])
                << 0 << Delivery(d) << QList<int> {-1, 1, 2};
            // Frame 1 lost its third byte; the three left are dropped.
            QTest::addRow("lost byte, %s", names[d]) << 1 << Delivery(d) << QList<int> {0, -1, 2};
            // Seven bytes of noise between frames 0 and 1.
            QTest::addRow("noise, %s", names[d]) << 2 << Delivery(d) << QList<int> {0, -1, 1};
            // Frames one after the other, never a silence: no boundary can be known.
            QTest::addRow("back to back, %s", names[d])
                << 3 << Delivery(d) << QList<int> {-1, -1, -1};
            // Silent for a second, then frames again.
            QTest::addRow("paused and resumed, %s", names[d])
                << 4 << Delivery(d) << QList<int> {0, -1, -1, -1, -1, -1, 1};
        }
    }
    void dropsWhatIsNotAFrame()
    {
        QFETCH(int, scenario);
        QFETCH(Delivery, delivery);
        QFETCH(QList<int>, taken);
        SimulatedSensor sensor;
        sensor.delivery = delivery;
        sensor.jitterUs = 0;
        const double poll = 200000;
        switch (scenario) {
        case 0:
            sensor.send(0, 1, -2 * SimulatedSensor::ByteUs, 2);
            sensor.send(1, 2, 250000);
            sensor.send(2, 3, 450000);
            break;
        case 1: {
            sensor.send(0, 1, 100000);
            auto lost = SimulatedSensor::frame(1);
            const char three[] = {char(lost[0]), char(lost[1]), char(lost[3])};
            sensor.put(QByteArray(three, 3), 300000);
            sensor.send(2, 3, 500000);
            break;
        }
        case 2:
            sensor.send(0, 1, 100000);
            sensor.put(QByteArray("\x13\xAA\x55\x00\xFF\x7E\x01", 7), 300000);
            sensor.send(1, 2, 500000);
            break;
        case 3:
            sensor.periodMs = 4 * SimulatedSensor::ByteUs / 1000;
            sensor.send(0, 40, 0);
            break;
        case 4:
            sensor.send(0, 1, 100000);
            sensor.send(1, 2, 1300000);
            break;
        }
        SerialFramer framer;
        framer.restart(SerialFramer::Time(0));
        const auto &arrivals = sensor.arrivals();
        qsizetype next = 0;
        QList<int> got;
        for (int i = 0; i < taken.size(); ++i) {
            const SerialFramer::Time now {qint64((i + 1) * poll)};
            for (; next < arrivals.size() && arrivals[next].at <= now; ++next)
                framer.feed(arrivals[next].bytes, arrivals[next].at);
            const auto frame = framer.take(now);
            got << (frame ? int((*frame)[1]) : -1);
            if (frame)
                QCOMPARE(*frame, SimulatedSensor::frame((*frame)[1]));
        }
        QCOMPARE(got, taken);
    }
};

QTEST_GUILESS_MAIN(TestSerialFramer)
#include "tst_serialframer.moc"
