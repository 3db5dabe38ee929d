#include "common/sensorscale.h"

#include <QLocale>
#include <QTest>

class TestSensorScale : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // A recorded value as people read it on a scale (min, max, unit), its rise from 0, the
    // decimals and one raw step, each text followed by the unit; neighbouring raw readings differ.
    void reads_data()
    {
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<double>("recorded");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("rise");
        QTest::addColumn<int>("decimals");
        QTest::addColumn<QString>("step");
        const auto row = [](const char *name, double min, double max, const char *unit,
                            const char *locale, double recorded, const char *text, const char *rise,
                            int decimals, const char *step) {
            QTest::newRow(name) << min << max << QString(unit) << QString(locale) << recorded
                                << QString(text) << QString(rise) << decimals << QString(step);
        };
        const auto raw = SensorScale::recorded;
        row("raw 0", 0, 1000, "", "C", raw(0), "0", "0", 0, "4");
        row("raw 100", 0, 1000, "", "C", raw(100), "392", "+392", 0, "4");
        row("raw 128", 0, 1000, "", "fr", raw(128), "501", "+501", 0, "4");
        row("raw 255", 0, 1000, "", "C", raw(255), "999", "+999", 0, "4");
        row("test value, lowest", 0, 1000, "", "fr", -32768, "-32768", "-32768", 0, "4");
        row("test value, highest", 0, 1000, "", "en", 32767, "32767", "+32767", 0, "4");
        row("from a file written elsewhere", 0, 1000, "", "fr", 3.5, "3.5", "+3.5", 0, "4");
        row("past 15 digits", 0, 1000, "", "C", 1e15, "1e+15", "+1e+15", 0, "4");
        row("0..50 °C", 0, 50, "°C", "fr", 392, "19,6", "+19,6", 1, "0,2");
        row("inverted", 50, 0, "°C", "fr", 392, "30,4", "-19,6", 1, "0,2");
        row("negative range", -60, -10, "°C", "fr", raw(100), "-40,4", "+19,6", 1, "0,2");
        row("no signed zero", -0.4, 349.6, "", "C", 1, "0", "0", 0, "1");
        row("neighbours 0.084 apart", 0, 28, "", "fr", raw(1), "0,08", "+0,08", 2, "0,11");
        row("0..1 bar", 0, 1, "bar", "en", raw(255), "0.999", "+0.999", 3, "0.004");
        row("0..100000", 0, 100000, "Pa", "fr", raw(1), "300", "+300", 0, "392");
        row("finest", 0, 1e-6, "", "C", raw(255), "0.000001", "+0.000001", 6, "0.000000");
        row("Max = Min", 7, 7, "", "C", raw(255), "7", "0", 0, "0");
    }
    void reads()
    {
        QFETCH(double, min);
        QFETCH(double, max);
        QFETCH(QString, unit);
        QFETCH(QString, locale);
        QFETCH(double, recorded);
        QFETCH(QString, text);
        QFETCH(QString, rise);
        QFETCH(QString, step);
        const SensorScale scale(min, max, unit);
        const QLocale in(locale);
        const QString suffix = unit.isEmpty() ? QString() : QString(u'\u00a0' + unit);
        QCOMPARE(scale.text(recorded, in, SensorScale::Unit::Omitted), text);
        QCOMPARE(scale.text(recorded, in), text + suffix);
        QCOMPARE(scale.difference(0, recorded, in), rise + suffix);
        QTEST(scale.decimals(), "decimals");
        QCOMPARE(scale.resolutionText(in), "1 pas = " + step + suffix);
        const auto shown = [&](int r) {
            return scale.text(SensorScale::recorded(r), in);
        };
        for (int r = 0; r < 255 && max != min && scale.decimals() < SensorScale::MaxDecimals; ++r)
            QVERIFY2(shown(r) != shown(r + 1), qPrintable(shown(r)));
    }
};

QTEST_GUILESS_MAIN(TestSensorScale)
#include "tst_sensorscale.moc"
