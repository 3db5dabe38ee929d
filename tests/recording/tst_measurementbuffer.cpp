#include "recording/measurementbuffer.h"

#include <QTest>

class TestMeasurementBuffer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void outOfRangeAccessIsRefused_data();
    void outOfRangeAccessIsRefused();
    void restartKeepsOlderElements();
    void windowOnlyMovesUp_data();
    void windowOnlyMovesUp();
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

void TestMeasurementBuffer::windowOnlyMovesUp_data()
{
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<int>("low");
    QTest::newRow("inside") << QList<double>{0, 255, 100} << 0;
    QTest::newRow("274 then 39") << QList<double>{274, 39} << 19;
    QTest::newRow("negative never moves down") << QList<double>{-500} << 0;
    QTest::newRow("test mode top") << QList<double>{32767} << 32512;
    QTest::newRow("climbing") << QList<double>{300, 600, 400} << 345;
}

void TestMeasurementBuffer::windowOnlyMovesUp()
{
    QFETCH(QList<double>, values);
    QFETCH(int, low);
    MeasurementBuffer buffer;
    for (double v : values)
        buffer.followValue(v);
    QCOMPARE(int(buffer.borne_basse()), low);
    QCOMPARE(int(buffer.borne_haute()), low + 255);
}

QTEST_GUILESS_MAIN(TestMeasurementBuffer)
#include "tst_measurementbuffer.moc"
