#include "recording/recorder.h"
#include "recording/samplingschedule.h"

#include <QTest>
#include <ctime>

class TestSamplingSchedule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void samplesOnTheRightTicks_data();
    void samplesOnTheRightTicks();
    void doesNotDriftWhenTicksRunLate();
    void countsOnTheClockThatIncludesSuspend();
    void skipsTicksMissedEntirely();
};

void TestSamplingSchedule::samplesOnTheRightTicks_data()
{
    QTest::addColumn<int>("periodMs");
    QTest::addColumn<int>("divisor");
    QTest::addColumn<QList<qint64>>("sampleTimes"); // ms after the start, first samples
    QTest::newRow("1 s") << 1000 << 1 << QList<qint64> {10, 1010, 2010, 3010};
    QTest::newRow("10 s") << 10000 << 1 << QList<qint64> {10, 10010, 20010};
    QTest::newRow("15 min") << 60000 << 15 << QList<qint64> {10, 900010, 1800010};
    QTest::newRow("24 h") << 60000 << 1440 << QList<qint64> {10, 86400010, 172800010};
}

void TestSamplingSchedule::samplesOnTheRightTicks()
{
    QFETCH(int, periodMs);
    QFETCH(int, divisor);
    QFETCH(QList<qint64>, sampleTimes);
    SamplingSchedule schedule;
    const qint64 start = 123456;
    schedule.start(start, periodMs, divisor);
    QList<qint64> taken;
    while (taken.size() < sampleTimes.size()) {
        const qint64 at = schedule.nextTickAt();
        if (schedule.onTick(at))
            taken << at - start;
    }
    QCOMPARE(taken, sampleTimes);
    QCOMPARE(schedule.ticks(), qint64(divisor) * (sampleTimes.size() - 1) + 1);
}

void TestSamplingSchedule::doesNotDriftWhenTicksRunLate()
{
    // Each tick runs 15 ms late (a busy machine); tick k stays due at start + 10 + (k-1)·period.
    SamplingSchedule schedule;
    schedule.start(0, 1000, 1);
    for (int k = 1; k <= 32000; ++k) {
        const qint64 due = schedule.nextTickAt();
        QCOMPARE(due, 10 + qint64(k - 1) * 1000);
        QVERIFY(schedule.onTick(due + 15));
    }
}

void TestSamplingSchedule::skipsTicksMissedEntirely()
{
    SamplingSchedule schedule;
    schedule.start(0, 1000, 1);
    QVERIFY(schedule.onTick(10));
    // The machine slept for an hour: one sample on waking, then the regular beat again.
    QVERIFY(schedule.onTick(3600010 + 300));
    QCOMPARE(schedule.nextTickAt(), 3601010);
    QVERIFY(schedule.onTick(3601010));
    QCOMPARE(schedule.nextTickAt(), 3602010);
    // Two periods late: the tick due one period ago and the one due now are both missed.
    QVERIFY(schedule.onTick(3604010));
    QCOMPARE(schedule.nextTickAt(), 3605010);

    SamplingSchedule quarter;
    quarter.start(0, 60000, 15);
    QVERIFY(quarter.onTick(10));
    // Missed minutes count toward the fifteen.
    QVERIFY(!quarter.onTick(10 * 60000 + 10));
    QVERIFY(quarter.nextTickAt() <= 15 * 60000 + 10);
    while (quarter.nextTickAt() < 15 * 60000 + 10)
        QVERIFY(!quarter.onTick(quarter.nextTickAt()));
    QVERIFY(quarter.onTick(15 * 60000 + 10));
}

// The recorder's clock is CLOCK_BOOTTIME: the monotonic clock stops while the machine sleeps,
// and a 24 h recording suspended 8 h would then sample 8 h off its daily time for good.
void TestSamplingSchedule::countsOnTheClockThatIncludesSuspend()
{
    timespec boot {};
    ::clock_gettime(CLOCK_BOOTTIME, &boot);
    const qint64 bootMs = qint64(boot.tv_sec) * 1000 + boot.tv_nsec / 1000000;
    const qint64 read = Recorder::Clock::system().monotonicMs();
    QVERIFY2(read >= bootMs && read - bootMs < 1000, qPrintable(QString::number(read - bootMs)));

    // A day's option (one tick a minute, 1440 ticks a sample) across 8 h asleep: the next
    // sample still falls on its time of day.
    SamplingSchedule daily;
    daily.start(0, 60000, 1440);
    QVERIFY(daily.onTick(10));
    const qint64 woke = 10 + 8 * 3600000 + 123;
    QVERIFY(!daily.onTick(woke));
    while (daily.nextTickAt() < 24 * 3600000 + 10)
        QVERIFY(!daily.onTick(daily.nextTickAt()));
    QCOMPARE(daily.nextTickAt(), 24 * 3600000 + 10);
    QVERIFY(daily.onTick(daily.nextTickAt()));
}

QTEST_GUILESS_MAIN(TestSamplingSchedule)
#include "tst_samplingschedule.moc"
