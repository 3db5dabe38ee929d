#include "acquisition/seriallinesettings.h"
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
    void lineSettings()
    {
        using S = QSerialPort;
        const auto parsed = [](const char *text) {
            const auto s = SerialLineSettings::parse(QString::fromLatin1(text));
            return s
                ? QList<int> {int(s->baudRate), int(s->parity), int(s->dataBits), int(s->stopBits)}
                : QList<int> {};
        };
        QCOMPARE(parsed("2400,n,8,1"), (QList<int> {2400, S::NoParity, 8, S::OneStop}));
        QCOMPARE(parsed(" 9600 , E , 7 , 2 "), (QList<int> {9600, S::EvenParity, 7, S::TwoStop}));
        QCOMPARE(parsed("300,o,5,1.5"), (QList<int> {300, S::OddParity, 5, S::OneAndHalfStop}));
        QCOMPARE(parsed("1200,m,6,1"), (QList<int> {1200, S::MarkParity, 6, S::OneStop}));
        QCOMPARE(parsed("115200,s,8,1"), (QList<int> {115200, S::SpaceParity, 8, S::OneStop}));
        for (const char *bad :
             {"", "2400,n,8", "2400,n,8,1,1", "x,n,8,1", "0,n,8,1", "-9600,n,8,1", "2400,nn,8,1",
              "2400,n,9,1", "2400,n,4,1", "2400,n,8,3", "2400,n,8,"})
            QVERIFY2(parsed(bad).isEmpty(), bad);
    }
    // On-board ports, then USB adapters, then the others; each kind by number.
    void firstPort()
    {
        const auto first = [](QStringList ports) {
            return SerialLink::firstPortOf(ports);
        };
        QCOMPARE(first({}), QString());
        QCOMPARE(first({"/dev/ttyUSB0", "/dev/ttyS1", "/dev/ttyACM0"}), "/dev/ttyS1");
        QCOMPARE(first({"/dev/ttyACM0", "/dev/ttyUSB3"}), "/dev/ttyUSB3");
        QCOMPARE(first({"/dev/ttyUSB10", "/dev/ttyUSB9", "/dev/ttyUSB2"}), "/dev/ttyUSB2");
        QCOMPARE(first({"/dev/rfcomm0", "/dev/ttyAMA0", "/dev/ttyACM1"}), "/dev/ttyACM1");
        QCOMPARE(first({"/dev/ttyXR1", "/dev/ttyAMA4"}), "/dev/ttyAMA4");
        QCOMPARE(first({"/dev/rfcomm0", "/dev/rfcomm"}), "/dev/rfcomm");
    }
    void failureTexts()
    {
        const QString retry = "Ondaris réessaie toutes les 2 secondes tant que la source « RS232 "
                              "com N° » est choisie : la valeur affichée reprend dès que le "
                              "capteur répond.";
        const auto text = [](const char *port, QSerialPort::SerialPortError error) {
            return SerialLink::describeFailure(port, error, "oups");
        };
        QCOMPARE(text("", QSerialPort::DeviceNotFoundError),
                 "Aucun port série n'a été trouvé sur cet ordinateur (ni port intégré /dev/ttyS*, "
                 "ni adaptateur USB /dev/ttyUSB* ou /dev/ttyACM*).\nBranchez l'adaptateur du "
                 "capteur. "
                     + retry);
        const QList<std::pair<QSerialPort::SerialPortError, QString>> reasons {
            {QSerialPort::DeviceNotFoundError, "Le port n'existe pas sur cet ordinateur."},
            {QSerialPort::OpenError, "Le port est déjà utilisé par un autre programme."},
            {QSerialPort::ResourceError,
             "Le port a disparu pendant son utilisation (adaptateur USB débranché ?)."},
            {QSerialPort::UnknownError, "Le port ne peut pas être utilisé."}};
        for (const auto &[error, reason] : reasons)
            QCOMPARE(text("/dev/ttyUSB0", error),
                     "Port série /dev/ttyUSB0 : " + reason + "\n" + retry
                         + "\n\nDétail du système : oups");
    }
    // A sensor sending every 100 ms at the line rate, byte by byte, the port opened while a frame
    // is on the line: every reading taken is one the sensor sent, and readings keep coming.
    void streamingSensorThroughPty()
    {
        PtyPair pty;
        SerialLink link([&] { return QStringList {pty.slaveName()}; });
        link.ouvre_port();
        QVERIFY(link.isOpen());
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
                QCOMPARE(quint8(link.trame_rs232().at(2)), *reading);
                QCOMPARE(link.trame_rs232().size(), 4);
            }
        }
        stop = true;
        sensor.join();
        QVERIFY2(readings.size() >= 5, qPrintable(QString::number(readings.size())));
        for (const int reading : readings)
            QVERIFY2(reading == 30 || reading == 200, qPrintable(QString::number(reading)));
    }
    // A missing or pulled-out port is told once, then tried every 2 s without a word; once
    // back (perhaps under another name) it is read again; chosen again, a failure is told again.
    void lostPortToldOnceAndTriedAgain()
    {
        auto pty = std::make_unique<PtyPair>();
        QStringList present;
        SerialFramer::Time now {1s};
        SerialLink link([&] { return present; }, [&] { return now; });
        QSignalSpy failures(&link, &SerialLink::failure);
        link.ouvre_port();
        QVERIFY(!link.isOpen());
        QVERIFY(
            failures.value(0).value(0).toString().startsWith("Aucun port série n'a été trouvé"));
        present = {"/dev/ondaris-no-such-port"};
        now += 1999ms;
        link.lit_port();
        QCOMPARE(link.currentPort(), QString()); // not tried yet
        now += 1ms;
        link.lit_port();
        QCOMPARE(link.currentPort(), present.first());
        present = {pty->slaveName()};
        now += 2s;
        link.lit_port();
        QVERIFY(link.isOpen());
        QCOMPARE(failures.count(), 1);

        pty->hangUp();
        for (int i = 0; i < 20 && link.isOpen(); ++i) {
            link.lit_port();
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(failures.count(), 2);
        QVERIFY(!link.isOpen());
        QVERIFY(failures.last().first().toString().contains("disparu"));
        QVERIFY(failures.last().first().toString().contains(present.first()));
        pty = std::make_unique<PtyPair>();
        present = {pty->slaveName()};
        now += 2s;
        QCOMPARE(link.lit_port(), std::nullopt);
        QVERIFY(link.isOpen());
        now += 100ms;
        QVERIFY(pty->send(QByteArray("\x0A\x14\x1E\x28", 4)));
        QCOMPARE(link.lit_port(), std::nullopt); // its end is not known yet
        now += SerialFramer::Silence;
        QCOMPARE(link.lit_port(), std::optional<quint8>(30));
        QCOMPARE(link.trame_rs232(), QByteArray("\x0A\x14\x1E\x28", 4));

        link.ferme_port();
        present = {};
        link.ouvre_port();
        QCOMPARE(failures.count(), 3);
    }
};

QTEST_GUILESS_MAIN(TestSerialLink)
#include "tst_seriallink.moc"
