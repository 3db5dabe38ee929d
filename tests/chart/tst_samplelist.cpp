#include "chart/samplelist.h"
#include "recording/loadedlines.h"
#include "recording/measurementbuffer.h"

#include <QTest>

class TestSampleList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pattern000_data();
    void pattern000();
    void recordingText();
    void loadedText();
};

void TestSampleList::pattern000_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0.0 << "000";
    QTest::newRow("7") << 7.0 << "007";
    QTest::newRow("42") << 42.0 << "042";
    QTest::newRow("999") << 999.0 << "999";
    QTest::newRow("1234") << 1234.0 << "1234";
    QTest::newRow("-7") << -7.0 << "-007";
    QTest::newRow("-5") << -5.0 << "-005";
    QTest::newRow("-32768") << -32768.0 << "-32768";
}

void TestSampleList::pattern000()
{
    QFETCH(double, value);
    QTEST(SampleList::pattern000(value), "text");
}

void TestSampleList::recordingText()
{
    MeasurementBuffer buffer;
    buffer.append(392, QStringLiteral("03-14-2026"), QStringLiteral("10:05:00"));
    buffer.append(-7, QStringLiteral("03-14-2026"), QStringLiteral("10:05:01"));
    buffer.append(1234, QStringLiteral("03-14-2026"), QStringLiteral("10:05:02"));
    QCOMPARE(SampleList::recordingText(buffer),
             QStringLiteral("3 ---- 1234 --- 03-14-2026 --- 10:05:02\n"
                            "2 ---- -007 --- 03-14-2026 --- 10:05:01\n"
                            "1 ---- 392 --- 03-14-2026 --- 10:05:00\n"
                            "0 ---- 000 ---  --- \n"));
}

void TestSampleList::loadedText()
{
    MeasurementBuffer buffer;
    LoadedLines lines;
    lines.setEntete(QStringLiteral("N°Record;Valeur;Date;Time"));
    const QStringList raw{"1;5;01-02-2026;03:04:05", "2;6;01-02-2026;03:04:06", "3;7;x"};
    for (int i = 0; i < raw.size(); ++i) {
        buffer.appendLoaded(i);
        lines.setLigne(i + 1, raw[i]);
    }
    QCOMPARE(SampleList::loadedText(buffer, lines),
             QStringLiteral("N°Record;Valeur;Date;Time\n"
                            "3 ---- 3;7;x\n"
                            "2 ---- 2;6;01-02-2026;03:04:06\n"
                            "1 ---- 1;5;01-02-2026;03:04:05\n"
                            "0 ---- \n"));
}

QTEST_GUILESS_MAIN(TestSampleList)
#include "tst_samplelist.moc"
