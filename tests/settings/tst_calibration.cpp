#include "settings/calibration.h"

#include <QTest>
#include <cmath>

namespace {

constexpr double kLost = NAN; // a refresh without a fresh reading

// n refreshes reading value, as many as a point takes in its 3 s.
QList<double> steady(double value, int n = 15)
{
    return QList<double>(n, value);
}

} // namespace

class TestCalibration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Two points read at 200 ms refreshes, each ending on its last reading given; Min and Max
    // worked out by hand from the line through the points, or the reason one is refused.
    void twoPoints_data()
    {
        QTest::addColumn<QList<double>>("first");
        QTest::addColumn<QString>("truth1");
        QTest::addColumn<QList<double>>("second");
        QTest::addColumn<QString>("truth2");
        QTest::addColumn<QString>("refused"); // part of the reason; empty: a scale
        QTest::addColumn<double>("min");
        QTest::addColumn<double>("max");
        // Mean 196, moving 8: slope 58.8 / 588 = 0.1; Min 21.5 − 19.6, Max 21.5 + 80.4.
        QTest::newRow("mean, moving 8")
            << QList<double>(5, 192) + QList<double>(5, 196) + QList<double>(5, 200) << "21,5"
            << steady(784) << "80.3" << QString() << 1.9 << 101.9;
        // Slope −80 / 400 = −0.2 from (600, 20): Min 20 + 120, Max 20 − 80.
        QTest::newRow("inverted sensor")
            << steady(600) << "20" << steady(200) << " 100 " << QString() << 140.0 << -60.0;
        QTest::newRow("39 apart") << steady(500) << "0" << steady(539) << "39" << QString()
                                  << -500.0 << 500.0;
        QTest::newRow("38 apart") << steady(500) << "0" << steady(538) << "39"
                                  << "trop proches" << 0.0 << 0.0;
        QTest::newRow("equal true values") << steady(200) << "50" << steady(600) << "50,0"
                                           << "égales" << 0.0 << 0.0;
        QTest::newRow("moving 9") << QList<double> {200, 204, 209} << "1" << steady(600) << "2"
                                  << "bouge de 9" << 0.0 << 0.0;
        QTest::newRow("reading lost") << steady(200) << "1" << QList<double> {600, kLost} << "2"
                                      << "n'a pas donné de mesure" << 0.0 << 0.0;
        QTest::newRow("true value not a number")
            << QList<double>() << "2,5 °C" << steady(600) << "2"
            << "pas un nombre" << 0.0 << 0.0;
        QTest::newRow("no true value") << QList<double>() << "" << steady(600) << "2"
                                       << "tapez" << 0.0 << 0.0;
        // Slope 1e8 / 40: Max 2.5e6 × 800 = 2e9.
        QTest::newRow("past a billion") << steady(200) << "0" << steady(240) << "1e8"
                                        << "milliard" << 0.0 << 0.0;
    }
    void twoPoints()
    {
        QFETCH(QList<double>, first);
        QFETCH(QString, truth1);
        QFETCH(QList<double>, second);
        QFETCH(QString, truth2);
        QFETCH(QString, refused);
        qint64 now = 1000;
        std::optional<double> live;
        Calibration calibration([&] { return live; }, [&] { return now; });
        const auto read = [&](int point, const QList<double> &values, const QString &truth) {
            calibration.measure(point, truth);
            for (int i = 0; i < values.size(); ++i) {
                now += 200;
                live = std::isnan(values[i]) ? std::nullopt : std::optional(values[i]);
                QCOMPARE(calibration.refresh(), i == values.size() - 1);
            }
            QCOMPARE(calibration.reading(), std::nullopt);
        };
        read(0, first, truth1);
        read(1, second, truth2);
        QString reason;
        const std::optional<SensorScale> scale = calibration.scale(&reason);
        const QString told = calibration.refusal(0) + calibration.refusal(1) + reason;
        QVERIFY2(told.contains(refused) && told.isEmpty() == refused.isEmpty(), qPrintable(told));
        QCOMPARE(scale.has_value(), refused.isEmpty());
        if (scale) {
            QFETCH(double, min);
            QFETCH(double, max);
            QVERIFY2(
                std::abs(scale->min() - min) < 1e-9 && std::abs(scale->max() - max) < 1e-9,
                qPrintable(QString::number(scale->min()) + ' ' + QString::number(scale->max())));
        }
    }
};

QTEST_GUILESS_MAIN(TestCalibration)
#include "tst_calibration.moc"
