#include "recording/measurementbuffer.h"

#include <QTest>

class TestMeasurementBuffer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refusesAccessOutside()
    {
        MeasurementBuffer buffer;
        buffer.append(5, {}, {});
        for (int index : {-1, 32001, std::numeric_limits<int>::min()}) {
            QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("outside 0..32000"));
            QCOMPARE(buffer.valeur(index), 0.0);
            QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("no sample"));
            QVERIFY(!buffer.setValeur(index, 1));
        }
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("no sample"));
        QVERIFY(!buffer.setValeur(2, 1)); // above num_mesure
    }
    void fillsToCapacityAndRestarts()
    {
        MeasurementBuffer buffer;
        for (int i = 1; i <= 32000; ++i)
            QVERIFY(buffer.append(i, QStringLiteral("d"), QString::number(i)));
        QVERIFY(buffer.isFull() && !buffer.append(1, {}, {}));
        QCOMPARE(buffer.num_mesure(), 32000);
        QCOMPARE(buffer.heure_mesure(32000), QStringLiteral("32000"));
        QVERIFY(buffer.setValeur(1, -9) && buffer.setValeur(32000, -8));
        QCOMPARE(buffer.valeur(1) + buffer.valeur(32000), -17.0);
        buffer.restart(); // older elements stay; a load leaves dates alone
        for (int v : {1, 2, 3})
            buffer.appendLoaded(v);
        QCOMPARE(buffer.num_mesure(), 3);
        QCOMPARE(buffer.valeur(3) + buffer.valeur(4), 7.0);
        QCOMPARE(buffer.date_mesure(1), QStringLiteral("d"));
    }
};

QTEST_GUILESS_MAIN(TestMeasurementBuffer)
#include "tst_measurementbuffer.moc"
