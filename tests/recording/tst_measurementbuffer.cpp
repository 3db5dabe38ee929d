#include "recording/measurementbuffer.h"

#include <QTest>

class TestMeasurementBuffer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void outOfRangeAccessIsRefused_data();
    void outOfRangeAccessIsRefused();
    void restartKeepsOlderElements();
    void fillsToCapacity();
};

void TestMeasurementBuffer::outOfRangeAccessIsRefused_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("-1") << -1;
    QTest::newRow("32001") << 32001;
    QTest::newRow("int min") << std::numeric_limits<int>::min();
}

void TestMeasurementBuffer::outOfRangeAccessIsRefused()
{
    QFETCH(int, index);
    MeasurementBuffer buffer;
    buffer.append(5, {}, {});
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("outside 0..32000"));
    QCOMPARE(buffer.valeur(index), 0.0);
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("no sample"));
    QVERIFY(!buffer.setValeur(index, 1));
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("no sample"));
    QVERIFY2(!buffer.setValeur(2, 1), "above num_mesure");
}

void TestMeasurementBuffer::restartKeepsOlderElements()
{
    MeasurementBuffer buffer;
    for (int v : {10, 20, 30, 40, 50})
        buffer.append(v, QStringLiteral("d"), QStringLiteral("t"));
    buffer.restart();
    for (int v : {1, 2, 3})
        buffer.appendLoaded(v);
    QCOMPARE(buffer.num_mesure(), 3);
    QCOMPARE(buffer.valeur(3), 3.0);
    QCOMPARE(buffer.valeur(4), 40.0);
    QCOMPARE(buffer.date_mesure(1), QStringLiteral("d")); // a load leaves dates alone
}

void TestMeasurementBuffer::fillsToCapacity()
{
    MeasurementBuffer buffer;
    for (int i = 1; i <= MeasurementBuffer::Capacity; ++i)
        buffer.append(i, QStringLiteral("d"), QString::number(i));
    QVERIFY(buffer.isFull());
    QVERIFY(!buffer.append(1, {}, {}));
    QCOMPARE(buffer.num_mesure(), 32000);
    QCOMPARE(buffer.heure_mesure(32000), QStringLiteral("32000"));
    QVERIFY(buffer.setValeur(1, -9) && buffer.setValeur(32000, -8));
    QCOMPARE(buffer.valeur(1) + buffer.valeur(32000), -17.0);
}

QTEST_GUILESS_MAIN(TestMeasurementBuffer)
#include "tst_measurementbuffer.moc"
