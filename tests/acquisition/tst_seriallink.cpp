#include "acquisition/seriallink.h"
#include "ptypair.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <thread>

using namespace std::chrono_literals;

class TestSerialLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstPort_data();
    void firstPort();
    void failureTexts_data();
    void failureTexts();
    void streamingSensorThroughPty();
    void missingPortTriedAgainSilently();
    void unpluggedAdapterToldOnceAndReopened();
};

void TestSerialLink::firstPort_data()
{
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<QString>("first");
    QTest::newRow("none") << QStringList {} << QString();
    QTest::newRow("on-board before USB")
        << QStringList {"/dev/ttyUSB0", "/dev/ttyS1", "/dev/ttyACM0"} << "/dev/ttyS1";
    QTest::newRow("ttyUSB before ttyACM")
        << QStringList {"/dev/ttyACM0", "/dev/ttyUSB3"} << "/dev/ttyUSB3";
    QTest::newRow("by number, not by text")
        << QStringList {"/dev/ttyUSB10", "/dev/ttyUSB9", "/dev/ttyUSB2"} << "/dev/ttyUSB2";
    QTest::newRow("adapters before the others")
        << QStringList {"/dev/rfcomm0", "/dev/ttyAMA0", "/dev/ttyACM1"} << "/dev/ttyACM1";
    QTest::newRow("the others by name")
        << QStringList {"/dev/ttyXR1", "/dev/ttyAMA4"} << "/dev/ttyAMA4";
    QTest::newRow("a name without a number first")
        << QStringList {"/dev/rfcomm0", "/dev/rfcomm"} << "/dev/rfcomm";
}

void TestSerialLink::firstPort()
{
    QFETCH(QStringList, ports);
    QFETCH(QString, first);
    QCOMPARE(SerialLink::firstPortOf(ports), first);
}

void TestSerialLink::failureTexts_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason"); // the line after "Port série ... :", or the whole text
    QTest::newRow("no port")
        << QString() << int(QSerialPort::DeviceNotFoundError)
        << "Aucun port série n'a été trouvé sur cet ordinateur (ni port intégré /dev/ttyS*, ni "
           "adaptateur USB /dev/ttyUSB* ou /dev/ttyACM*).\nBranchez l'adaptateur du capteur. ";
    QTest::newRow("not found") << "/dev/ttyUSB0" << int(QSerialPort::DeviceNotFoundError)
                               << "Le port n'existe pas sur cet ordinateur.";
    QTest::newRow("busy") << "/dev/ondaris-none" << int(QSerialPort::OpenError)
                          << "Le port est déjà utilisé par un autre programme.";
    QTest::newRow("unplugged")
        << "/dev/ttyUSB0" << int(QSerialPort::ResourceError)
        << "Le port a disparu pendant son utilisation (adaptateur USB débranché ?).";
    QTest::newRow("other") << "/dev/ttyUSB0" << int(QSerialPort::UnknownError)
                           << "Le port ne peut pas être utilisé.";
}

void TestSerialLink::failureTexts()
{
    QFETCH(QString, port);
    QFETCH(int, error);
    QFETCH(QString, reason);
    const QString retry = QStringLiteral(
        "Ondaris réessaie toutes les 2 secondes tant que la source « RS232 com N° » est choisie "
        ": la valeur affichée reprend dès que le capteur répond.");
    const QString expected = port.isEmpty()
        ? reason + retry
        : QStringLiteral("Port série %1 : %2\n%3\n\nDétail du système : oups")
              .arg(port, reason, retry);
    QCOMPARE(SerialLink::describeFailure(port, QSerialPort::SerialPortError(error), "oups"),
             expected);
}

// A sensor sending every 100 ms at the line rate, byte by byte, the port opened while a frame
// is on the line: every reading taken is one the sensor sent, and readings keep coming.
void TestSerialLink::streamingSensorThroughPty()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    SerialLink link([&] { return QStringList {pty.slaveName()}; });
    link.ouvre_port();
    QVERIFY(link.isOpen());
    QCOMPARE(link.currentPort(), pty.slaveName());

    std::atomic<bool> stop = false;
    std::thread sensor([&] {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; !stop; ++i) {
            const char frame[] = {char(0xAA), char(i), char(i % 2 ? 30 : 200), 0x55};
            for (int k = (i == 0 ? 2 : 0); k < 4; ++k) {
                std::this_thread::sleep_until(start + i * 100ms + (k + 1) * 4167us);
                pty.write(QByteArray(frame + k, 1));
            }
        }
    });
    QList<int> readings;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 2000) {
        QTest::qWait(200);
        if (const auto reading = link.lit_port()) {
            readings << *reading;
            QCOMPARE(link.trame_rs232().size(), 4);
            QCOMPARE(quint8(link.trame_rs232()[2]), *reading);
        }
    }
    stop = true;
    sensor.join();
    QVERIFY2(readings.size() >= 5, qPrintable(QString::number(readings.size())));
    for (const int reading : readings)
        QVERIFY2(reading == 30 || reading == 200, qPrintable(QString::number(reading)));
}

// No port at start: told once, then tried every 2 seconds without a word until it is there.
void TestSerialLink::missingPortTriedAgainSilently()
{
    PtyPair pty;
    QStringList present;
    SerialFramer::Time now {1s};
    SerialLink link([&] { return present; }, [&] { return now; });
    QSignalSpy failures(&link, &SerialLink::failure);
    link.ouvre_port();
    QVERIFY(!link.isOpen());
    QCOMPARE(failures.count(), 1);
    QVERIFY(failures.first().first().toString().startsWith(
        QStringLiteral("Aucun port série n'a été trouvé")));

    present = {QStringLiteral("/dev/ondaris-no-such-port")};
    now += 1999ms;
    link.lit_port();
    QCOMPARE(link.currentPort(), QString()); // not tried yet
    now += 1ms;
    link.lit_port();
    QCOMPARE(link.currentPort(), present.first());
    QVERIFY(!link.isOpen());
    QCOMPARE(failures.count(), 1);

    present = {pty.slaveName()};
    now += 2s;
    link.lit_port();
    QVERIFY(link.isOpen());
    QCOMPARE(failures.count(), 1);

    // Chosen again by the user: a failure is told again.
    link.ferme_port();
    present = {};
    now += 2s;
    link.lit_port();
    QVERIFY(!link.isOpen());
    link.ouvre_port();
    QCOMPARE(failures.count(), 2);
}

// An adapter pulled out while read: told once, then read again once it is back.
void TestSerialLink::unpluggedAdapterToldOnceAndReopened()
{
    auto pty = std::make_unique<PtyPair>();
    QString present = pty->slaveName();
    SerialFramer::Time now {1s};
    SerialLink link([&] { return QStringList {present}; }, [&] { return now; });
    QSignalSpy failures(&link, &SerialLink::failure);
    link.ouvre_port();
    QVERIFY(link.isOpen());

    pty->hangUp();
    for (int i = 0; i < 20 && link.isOpen(); ++i) {
        link.lit_port();
        QCoreApplication::processEvents();
    }
    QVERIFY(!link.isOpen());
    QTRY_COMPARE(failures.count(), 1);
    QVERIFY(failures.first().first().toString().contains(QStringLiteral("disparu")));
    QVERIFY(failures.first().first().toString().contains(present));

    pty = std::make_unique<PtyPair>(); // plugged in again, maybe under another name
    present = pty->slaveName();
    now += 2s;
    QCOMPARE(link.lit_port(), std::nullopt);
    QVERIFY(link.isOpen());
    now += 100ms;
    QVERIFY(pty->send(QByteArray("\x0A\x14\x1E\x28", 4)));
    QCOMPARE(link.lit_port(), std::nullopt); // its end is not known yet
    now += SerialFramer::Silence;
    QCOMPARE(link.lit_port(), std::optional<quint8>(30));
    QCOMPARE(link.trame_rs232(), QByteArray("\x0A\x14\x1E\x28", 4));
    QCOMPARE(failures.count(), 1);
}

QTEST_GUILESS_MAIN(TestSerialLink)
#include "tst_seriallink.moc"
