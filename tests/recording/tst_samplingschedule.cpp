#include "recording/recorder.h"
#include "recording/samplingschedule.h"

#include <QTest>
#include <ctime>

class TestSamplingSchedule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The first sample 10 ms after the start, then one a period (divisor ticks) later.
    void samplesOnTheRightTicks_data()
    {
        QTest::addColumn<int>("periodMs");
        QTest::addColumn<int>("divisor");
        QTest::addColumn<QList<qint64>>("sampleTimes");
        QTest::newRow("1 s") << 1000 << 1 << QList<qint64> {10, 1010, 2010, 3010};
        QTest::newRow("15 min") << 60000 << 15 << QList<qint64> {10, 900010, 1800010};
        QTest::newRow("24 h") << 60000 << 1440 << QList<qint64> {10, 86400010, 172800010};
    }
    void samplesOnTheRightTicks()
    {
        QFETCH(int, periodMs);
        QFETCH(int, divisor);
        QFETCH(QList<qint64>, sampleTimes);
        SamplingSchedule schedule;
        schedule.start(123456, periodMs, divisor);
        QList<qint64> taken;
        while (taken.size() < sampleTimes.size()) {
            const qint64 at = schedule.nextTickAt();
            if (schedule.onTick(at + 15)) // each tick 15 ms late: no drift
                taken << at - 123456;
        }
        QCOMPARE(taken, sampleTimes);
        QCOMPARE(schedule.ticks(), qint64(divisor) * (sampleTimes.size() - 1) + 1);
    }
    // Suspend counts: the clock is CLOCK_BOOTTIME, and ticks missed while asleep count toward
    // the divisor, so that samples stay on their time of day.
    void ticksMissedWhileAsleep()
    {
        timespec boot {};
        ::clock_gettime(CLOCK_BOOTTIME, &boot);
        const qint64 read = Recorder::Clock::system().monotonicMs();
        const qint64 off = read - (qint64(boot.tv_sec) * 1000 + boot.tv_nsec / 1000000);
        QVERIFY2(off >= 0 && off < 1000, qPrintable(QString::number(off)));

        SamplingSchedule schedule;
        schedule.start(0, 1000, 1);
        QVERIFY(schedule.onTick(10));
        QVERIFY(schedule.onTick(3600010 + 300)); // an hour asleep: one sample on waking
        QCOMPARE(schedule.nextTickAt(), 3601010);
        QVERIFY(schedule.onTick(3601010));
        QVERIFY(schedule.onTick(3604010)); // two periods late
        QCOMPARE(schedule.nextTickAt(), 3605010);

        SamplingSchedule daily;
        daily.start(0, 60000, 1440);
        QVERIFY(daily.onTick(10));
        QVERIFY(!daily.onTick(10 + 8 * 3600000 + 123));
        while (daily.nextTickAt() < 24 * 3600000 + 10)
            QVERIFY(!daily.onTick(daily.nextTickAt()));
        QCOMPARE(daily.nextTickAt(), 24 * 3600000 + 10);
        QVERIFY(daily.onTick(daily.nextTickAt()));
    }
};

QTEST_GUILESS_MAIN(TestSamplingSchedule)
#include "tst_samplingschedule.moc"
