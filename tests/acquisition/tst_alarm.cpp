#include "acquisition/alarmwatch.h"

#include <QTest>

namespace {

const QDateTime kStart(QDate(2026, 12, 9), QTime(14, 2, 0));

// "H@2000 B@2600": the events' types and the milliseconds they came at.
QString told(const std::vector<AlarmEvent> &events, qint64 ms, QString *into)
{
    static const char letters[] = "HLSBRAI";
    for (const AlarmEvent &event : events)
        *into += QStringLiteral("%1@%2 ").arg(QChar(letters[int(event.type)])).arg(ms);
    return *into;
}

} // namespace

class TestAlarm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void limitsTyped_data()
    {
        QTest::addColumn<QStringList>("texts"); // high, low, delay, hysteresis
        QTest::addColumn<QString>("refused"); // a word of the reason; empty when taken
        QTest::addColumn<QString>("taken"); // high, low, delay, hysteresis in force

        QTest::newRow("high only, defaults") << QStringList {"40", "", "", ""} << ""
                                             << "40 - 2 0.3921";
        QTest::newRow("decimal comma, both") << QStringList {"40,5", " -3.25 ", "0", "0,5"} << ""
                                             << "40.5 -3.25 0 0.5";
        QTest::newRow("no limit is no alarm") << QStringList {"", "", "", ""} << ""
                                              << "- - 2 0.3921";
        QTest::newRow("not a number") << QStringList {"4O", "", "", ""} << "haute"
                                      << "";
        QTest::newRow("low not a number") << QStringList {"", "x", "", ""} << "basse"
                                          << "";
        QTest::newRow("low at high") << QStringList {"10", "10", "", ""} << "au-dessous"
                                     << "";
        QTest::newRow("low above high") << QStringList {"10", "11", "", ""} << "au-dessous"
                                        << "";
        QTest::newRow("an hour") << QStringList {"1", "", "3600", ""} << ""
                                 << "1 - 3600 0.3921";
        QTest::newRow("past an hour") << QStringList {"1", "", "3600,5", ""} << "heure"
                                      << "";
        QTest::newRow("negative delay") << QStringList {"1", "", "-1", ""} << "heure"
                                        << "";
        QTest::newRow("negative hysteresis") << QStringList {"1", "", "", "-0,1"} << "négative"
                                             << "";
        QTest::newRow("hysteresis as wide as the band")
            << QStringList {"40", "39", "", "1"} << "étroite"
            << "";
        QTest::newRow("hysteresis just inside the band")
            << QStringList {"40", "39", "", "0,99"} << ""
            << "40 39 2 0.99";
        QTest::newRow("default hysteresis wider than the band")
            << QStringList {"40", "39,8", "", ""} << "étroite"
            << "";
        QTest::newRow("past a billion") << QStringList {"2e9", "", "", ""} << "haute"
                                        << "";
    }
    // Typed on a scale of 0..50 °C, whose raw step is 0.19605 °C.
    void limitsTyped()
    {
        QFETCH(QStringList, texts);
        QFETCH(QString, refused);
        QFETCH(QString, taken);
        const SensorScale scale(0, 50, "°C");
        QString reason;
        const auto limits
            = AlarmLimits::parse({texts[0], texts[1], texts[2], texts[3]}, scale, &reason);
        QCOMPARE(limits.has_value(), refused.isEmpty());
        QVERIFY2(reason.contains(refused), qPrintable(reason));
        if (!limits)
            return;
        const auto number = [](const std::optional<double> &v) {
            return v ? QString::number(*v) : QStringLiteral("-");
        };
        QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                     .arg(number(limits->high), number(limits->low))
                     .arg(limits->delaySeconds)
                     .arg(limits->hysteresisOn(scale)),
                 taken);
        // What the dialog shows again reads as the same limits.
        QCOMPARE(AlarmLimits::parse(limits->texts(scale, QLocale(QLocale::French)), scale, nullptr),
                 limits);
    }

    void rule_data()
    {
        QTest::addColumn<QStringList>("limits"); // high, low, delay s, hysteresis, "silence"
        QTest::addColumn<QString>("readings"); // ms:value, "-" for a reading not fresh
        QTest::addColumn<QString>("events");

        const QStringList high {"40", "", "2", "1", ""};
        QTest::newRow("spike shorter than the delay")
            << high << "0:41 200:41 1800:41 2000:39 4500:39"
            << "";
        QTest::newRow("beyond for the delay") << high << "0:39 200:41 2000:41 2200:41"
                                              << "H@2200 ";
        QTest::newRow("at the limit is not beyond") << high << "0:40 5000:40"
                                                    << "";
        QTest::newRow("chattering before the delay") << high
                                                     << "0:41 600:39 1200:41 1800:39 2400:41 "
                                                        "3000:40 3600:41 4200:39.5"
                                                     << "";
        const QStringList now {"40", "", "0", "1", ""};
        QTest::newRow("chattering after the raise: one event")
            << now << "0:41 200:39.5 400:40.5 600:39.01 800:41 1000:39.5"
            << "H@0 ";
        QTest::newRow("back inside by the hysteresis") << now << "0:41 200:39.5 400:39"
                                                       << "H@0 B@400 ";
        QTest::newRow("raised again after coming back") << now << "0:41 200:38 400:40.1"
                                                        << "H@0 B@200 H@400 ";
        QTest::newRow("low limit")
            << QStringList {"", "10", "1", "2", ""} << "0:9.9 1000:9.9 1200:11.9 1400:12"
            << "L@1000 B@1400 ";
        QTest::newRow("high, then straight to low")
            << QStringList {"40", "10", "0", "1", ""} << "0:41 200:5"
            << "H@0 B@200 L@200 ";
        QTest::newRow("silence for the delay, then back")
            << QStringList {"40", "", "2", "1", "silence"} << "0:30 5000:- 6999:- 7000:- 7200:30"
            << "S@7000 R@7200 ";
        QTest::newRow("silent from the start: not before the first seconds")
            << QStringList {"40", "", "0", "1", "silence"} << "0:- 4999:- 5000:- 5200:-"
            << "S@5000 ";
        QTest::newRow("silence not watched") << high << "0:30 200:- 9000:- 9200:30"
                                             << "";
        QTest::newRow("silence restarts the delay") << high << "0:41 1000:- 1200:41 3000:41 3200:41"
                                                    << "H@3200 ";
        QTest::newRow("value out and silent after the raise")
            << QStringList {"40", "", "0", "1", "silence"} << "0:41 5200:- 5400:41 5600:30"
            << "H@0 S@5200 R@5400 B@5600 ";
        QTest::newRow("no limit, no alarm")
            << QStringList {"", "", "0", "", "silence"} << "0:1e9 200:- 400:-1e9"
            << "";
    }
    void rule()
    {
        QFETCH(QStringList, limits);
        QFETCH(QString, readings);
        QFETCH(QString, events);
        const auto number = [](const QString &text) {
            return SensorScale::parseNumber(text);
        };
        AlarmLimits set;
        set.high = number(limits[0]);
        set.low = number(limits[1]);
        set.delaySeconds = *number(limits[2]);
        set.hysteresis = number(limits[3]);
        set.silenceRaises = !limits[4].isEmpty();
        AlarmWatch watch;
        watch.setLimits(set, {});
        QString seen;
        for (const QString &reading : readings.split(u' ')) {
            const qint64 ms = reading.section(u':', 0, 0).toLongLong();
            told(watch.check(ms, kStart.addMSecs(ms), number(reading.section(u':', 1))), ms, &seen);
        }
        QCOMPARE(seen, events);
    }

    // Raised, it waits for someone whether or not its condition lasts; acknowledged, it keeps
    // the condition's colours and waits no more.
    void latchedUntilAcknowledged()
    {
        AlarmLimits limits;
        limits.high = 40;
        limits.delaySeconds = 0;
        AlarmWatch watch;
        watch.setLimits(limits, {}); // hysteresis of two raw steps: 7.842
        QVERIFY(!watch.acknowledge(kStart));
        watch.check(0, kStart, 41);
        QCOMPARE(watch.check(200, kStart.addMSecs(200), 33).size(), 0u); // not 7.842 inside
        const auto back = watch.check(400, kStart.addMSecs(400), 32);
        QCOMPARE(back.size(), 1u);
        QVERIFY(!watch.active());
        QCOMPARE(watch.latched()->type, AlarmEvent::Type::High);
        QCOMPARE(watch.latched()->value, 41);
        QCOMPARE(watch.latchedEnded(), kStart.addMSecs(400));
        const auto acknowledged = watch.acknowledge(kStart.addSecs(9));
        QCOMPARE(acknowledged->type, AlarmEvent::Type::Acknowledged);
        QVERIFY(!watch.latched());
        QVERIFY(!watch.acknowledge(kStart.addSecs(10)));

        watch.check(600, kStart, 45);
        watch.acknowledge(kStart);
        QVERIFY(!watch.latched());
        QCOMPARE(watch.active()->type, AlarmEvent::Type::High); // still out
        // New limits close the condition without a word; the caller records why.
        QVERIFY(watch.interrupt());
        QVERIFY(!watch.active());
        QVERIFY(!watch.interrupt());
    }
};

QTEST_GUILESS_MAIN(TestAlarm)
#include "tst_alarm.moc"
