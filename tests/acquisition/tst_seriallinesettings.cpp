#include "acquisition/seriallinesettings.h"

#include <QTest>

class TestSerialLineSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parses_data();
    void parses();
};

void TestSerialLineSettings::parses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    QTest::newRow("sensor") << "2400,n,8,1" << true << 2400 << int(QSerialPort::NoParity) << 8
                            << int(QSerialPort::OneStop);
    QTest::newRow("upper case, blanks")
        << " 9600 , E , 7 , 2 " << true << 9600 << int(QSerialPort::EvenParity) << 7
        << int(QSerialPort::TwoStop);
    QTest::newRow("odd, 1.5 stop") << "300,o,5,1.5" << true << 300 << int(QSerialPort::OddParity)
                                   << 5 << int(QSerialPort::OneAndHalfStop);
    QTest::newRow("mark") << "1200,m,6,1" << true << 1200 << int(QSerialPort::MarkParity) << 6
                          << int(QSerialPort::OneStop);
    QTest::newRow("space") << "115200,s,8,1" << true << 115200 << int(QSerialPort::SpaceParity) << 8
                           << int(QSerialPort::OneStop);
    for (const char *bad :
         {"", "2400", "2400,n,8", "2400,n,8,1,1", "x,n,8,1", "0,n,8,1", "-9600,n,8,1", "2400,q,8,1",
          "2400,nn,8,1", "2400,n,9,1", "2400,n,4,1", "2400,n,8,3", "2400,n,8,"})
        QTest::addRow("invalid '%s'", bad) << bad << false << 0 << 0 << 0 << 0;
}

void TestSerialLineSettings::parses()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    const auto parsed = SerialLineSettings::parse(text);
    QCOMPARE(parsed.has_value(), valid);
    if (!valid)
        return;
    QTEST(int(parsed->baudRate), "baud");
    QTEST(int(parsed->parity), "parity");
    QTEST(int(parsed->dataBits), "dataBits");
    QTEST(int(parsed->stopBits), "stopBits");
}

QTEST_GUILESS_MAIN(TestSerialLineSettings)
#include "tst_seriallinesettings.moc"
