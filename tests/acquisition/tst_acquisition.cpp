#include "acquisition/acquisition.h"
#include "acquisition/serialframer.h"
#include "acquisition/seriallinesettings.h"
#include "acquisition/seriallink.h"
#include "acquisition/usbboard.h"
#include "fakehidtransport.h"
#include "ptypair.h"
#include "simulatedsensor.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <thread>

using Delivery = SimulatedSensor::Delivery;
Q_DECLARE_METATYPE(Delivery)

using namespace std::chrono_literals;

using Reports = QList<QByteArray>;
using Reading = std::optional<UsbBoard::Reading>;
Q_DECLARE_METATYPE(Reading)

namespace {
const QByteArray kTimeout(""); // nothing came in time
const QByteArray kError; // the transport failed
const auto r = FakeHidTransport::report;
} // namespace

class TestAcquisition : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void streamingSensor_data()
    {
        QTest::addColumn<double>("periodMs");
        QTest::addColumn<Delivery>("delivery");
        QTest::addColumn<double>("driftPpm");
        QTest::addColumn<int>("minFreshPercent");
        const struct
        {
            double period;
            int fresh[3]; // whole, bytes, packets
        } periods[] = {{33, {99, 99, 50}},  {49.9, {99, 99, 99}}, {100.3, {99, 99, 99}},
                       {200, {85, 85, 85}}, {1000, {85, 85, 85}}, {10000, {85, 85, 85}}};
        const char *names[] = {"whole", "bytes", "packets"};
        for (const auto &p : periods)
            for (int d = 0; d < 3; ++d)
                for (const double drift : {-100.0, 100.0})
                    QTest::addRow("%g ms %s %+g ppm", p.period, names[d], drift)
                        << p.period << Delivery(d) << drift << p.fresh[d];
    }
    // Whatever the period, delivery and drift, every frame taken is one the sensor sent.
    void streamingSensor()
    {
        QFETCH(double, periodMs);
        QFETCH(Delivery, delivery);
        QFETCH(double, driftPpm);
        QFETCH(int, minFreshPercent);
        SimulatedSensor sensor;
        sensor.periodMs = periodMs;
        sensor.delivery = delivery;
        sensor.driftPpm = driftPpm;
        const int frames = std::max(40, int(60000 / periodMs));
        sensor.send(0, frames, 7000);
        SerialFramer framer;
        framer.restart(SerialFramer::Time(0));
        const FramerRun r = FramerRun::run(sensor, framer, frames * periodMs * 1000);
        QCOMPARE(r.wrong, 0);
        QVERIFY(r.due > 0);
        QVERIFY2(r.fresh * 100 >= r.due * minFreshPercent,
                 qPrintable(QStringLiteral("%1 of %2").arg(r.fresh).arg(r.due)));
    }
    void dropsWhatIsNotAFrame_data()
    {
        QTest::addColumn<int>("scenario");
        QTest::addColumn<Delivery>("delivery");
        QTest::addColumn<QList<int>>("taken"); // frames taken, poll after poll (-1: none)
        const char *names[] = {"whole", "bytes", "packets"};
        for (int d = 0; d < 3; ++d) {
            // Opened while frame 0 was on the line: its tail is not a frame.
            QTest::addRow("start mid-frame, %s", names[d])
                << 0 << Delivery(d) << QList<int> {-1, 1, 2};
            // Frame 1 lost its third byte; the three left are dropped.
            QTest::addRow("lost byte, %s", names[d]) << 1 << Delivery(d) << QList<int> {0, -1, 2};
            // Seven bytes of noise between frames 0 and 1.
            QTest::addRow("noise, %s", names[d]) << 2 << Delivery(d) << QList<int> {0, -1, 1};
            // Frames one after the other, never a silence: no boundary can be known.
            QTest::addRow("back to back, %s", names[d])
                << 3 << Delivery(d) << QList<int> {-1, -1, -1};
            // Silent for a second, then frames again.
            QTest::addRow("paused and resumed, %s", names[d])
                << 4 << Delivery(d) << QList<int> {0, -1, -1, -1, -1, -1, 1};
        }
    }
    void dropsWhatIsNotAFrame()
    {
        QFETCH(int, scenario);
        QFETCH(Delivery, delivery);
        QFETCH(QList<int>, taken);
        SimulatedSensor sensor;
        sensor.delivery = delivery;
        sensor.jitterUs = 0;
        const double poll = 200000;
        switch (scenario) {
        case 0:
            sensor.send(0, 1, -2 * SimulatedSensor::ByteUs, 2);
            sensor.send(1, 2, 250000);
            sensor.send(2, 3, 450000);
            break;
        case 1: {
            sensor.send(0, 1, 100000);
            auto lost = SimulatedSensor::frame(1);
            const char three[] = {char(lost[0]), char(lost[1]), char(lost[3])};
            sensor.put(QByteArray(three, 3), 300000);
            sensor.send(2, 3, 500000);
            break;
        }
        case 2:
            sensor.send(0, 1, 100000);
            sensor.put(QByteArray("\x13\xAA\x55\x00\xFF\x7E\x01", 7), 300000);
            sensor.send(1, 2, 500000);
            break;
        case 3:
            sensor.periodMs = 4 * SimulatedSensor::ByteUs / 1000;
            sensor.send(0, 40, 0);
            break;
        case 4:
            sensor.send(0, 1, 100000);
            sensor.send(1, 2, 1300000);
            break;
        }
        SerialFramer framer;
        framer.restart(SerialFramer::Time(0));
        const FramerRun run = FramerRun::run(sensor, framer, taken.size() * poll + 1, poll, poll);
        QCOMPARE(run.counters, taken);
        QCOMPARE(run.wrong, 0);
    }
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

        pty->hangUp(); // seen by the event loop, between two polls
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
        pty->hangUp(); // seen by the next poll, the event loop not run since
        QCOMPARE(link.lit_port(), std::nullopt);
        QVERIFY(!link.isOpen());
        QCOMPARE(failures.count(), 3);
        QCoreApplication::processEvents(); // the error queued meanwhile is not told again
        QCOMPARE(failures.count(), 3);

        link.ferme_port();
        present = {};
        link.ouvre_port();
        QCOMPARE(failures.count(), 4);
    }
    void reads_data()
    {
        QTest::addColumn<Reports>("reports");
        QTest::addColumn<Reports>("answers"); // to a question in native mode
        QTest::addColumn<Reading>("reading");
        QTest::addColumn<int>("waitedMs"); // a silent board is waited for the budget, no more
        const Reading none;
        QTest::newRow("stale first dropped")
            << Reports {r(4, 9, 9), r(4, 128, 7)} << Reports {} << Reading({128, 7}) << 0;
        QTest::newRow("K8055N compatible")
            << Reports {r(14, 0, 0), r(14, 255, 0)} << Reports {} << Reading({255, 0}) << 0;
        QTest::newRow("status 20")
            << Reports {r(4, 1, 1), r(20, 5, 5), r(7, 1, 1)} << Reports {} << none << 20;
        QTest::newRow("short skipped") << Reports {r(4, 1, 1), r(4, 2, 2).left(7), r(4, 4, 5)}
                                       << Reports {} << Reading({4, 5}) << 0;
        QTest::newRow("status 2 skipped") << Reports {r(4, 1, 1), r(2, 5, 5), r(4, 60, 61)}
                                          << Reports {} << Reading({60, 61}) << 0;
        QTest::newRow("status 9 skipped") << Reports {r(4, 1, 1), r(9, 5, 5), r(4, 60, 61)}
                                          << Reports {} << Reading({60, 61}) << 0;
        QTest::newRow("timeouts") << Reports(5, kTimeout) << Reports {} << none << 50;
        QTest::newRow("error, stale") << Reports {kError, r(4, 5, 5)} << Reports {} << none << 0;
        QTest::newRow("error, data") << Reports {r(4, 1, 1), kError} << Reports {} << none << 0;
        QTest::newRow("one report") << Reports {r(4, 1, 1)} << Reports {} << none << 50;
        // Native mode: asked with command 17; the last report came before the question, and a
        // repeat of it still on its way is not the answer.
        QTest::newRow("native") << Reports {r(30, 0, 0), r(30, 0, 0), r(30, 1, 1)}
                                << Reports {r(30, 0, 0), r(30, 77, 88)} << Reading({77, 88}) << 0;
    }
    void reads()
    {
        QFETCH(Reports, reports);
        QFETCH(Reports, answers);
        FakeHidTransport fake;
        fake.reports = reports;
        fake.answers = answers;
        UsbBoard board(fake, fake.clock());
        board.ouvre_usb();
        board.ouvre_usb(); // already open: not opened again
        QCOMPARE(std::tuple(fake.opens, fake.openedVendor, fake.openedProduct),
                 std::tuple(1, quint16(0x10CF), quint16(0x5503)));
        QTEST(board.lit_usb(), "reading");
        QTEST(int(fake.nowMs), "waitedMs");
        QVERIFY2(!fake.isOpen() && fake.closes == 1, "closed after every read");
        const qsizetype drained = answers.isEmpty() ? 0 : 2; // the reports read before the question
        QVERIFY(fake.timeouts.size() <= 4 + drained);
        for (const int timeout : std::as_const(fake.timeouts))
            QVERIFY(timeout >= 0 && timeout <= 20);
        if (answers.isEmpty()) {
            QVERIFY(fake.written.isEmpty() && !fake.timeouts.contains(0));
        } else { // what is queued before the question is not waited for
            QCOMPARE(fake.written, Reports {QByteArray("\0\x11\0\0\0\0\0\0\0", 9)});
            QVERIFY(fake.timeouts.contains(0));
        }
        QVERIFY(!board.lit_usb()); // closed: nothing read
    }
    void nativeWithoutAnswer_data()
    {
        QTest::addColumn<Reports>("reports");
        QTest::addColumn<bool>("writeFails");
        QTest::addColumn<Reports>("answers");
        QTest::addColumn<bool>("lost"); // the board that answered before is told lost
        QTest::addColumn<int>("waitedMs");
        const Reports native {r(30, 0, 0), r(30, 0, 0)};
        QTest::newRow("question refused") << native << true << Reports {} << true << 0;
        QTest::newRow("error for the answer") << native << false << Reports {kError} << true << 0;
        QTest::newRow("no answer in time") << native << false << Reports {} << false << 50;
        QTest::newRow("other status")
            << Reports(4, r(9, 1, 1)) << false << Reports {} << false << 0;
    }
    void nativeWithoutAnswer()
    {
        QFETCH(bool, lost);
        FakeHidTransport fake;
        UsbBoard board(fake, fake.clock());
        QSignalSpy told(&board, &UsbBoard::boardMissing);
        fake.reports = {r(4, 0, 0), r(4, 10, 0)};
        board.ouvre_usb();
        QVERIFY(board.lit_usb());
        QFETCH(Reports, reports);
        QFETCH(Reports, answers);
        QFETCH(bool, writeFails);
        fake.reports = reports;
        fake.answers = answers;
        fake.writeFails = writeFails;
        board.ouvre_usb();
        QCOMPARE(board.lit_usb(), std::nullopt);
        QCOMPARE(told.count(), int(lost));
        QTEST(int(fake.nowMs), "waitedMs");
    }
    // Absent from the start (told only once asked for), pulled out, or its reads failing: told
    // once; read again, silently, once it is back.
    void boardGoneToldOnce_data()
    {
        QTest::addColumn<bool>("readBefore");
        QTest::addColumn<bool>("onBus"); // still there, its reads failing
        QTest::addColumn<QString>("message");
        const QString lost = "La carte USB K8055 (adresse 3) ne répond plus : elle a peut-être "
                             "été débranchée.\nLa valeur affichée garde la dernière mesure ; la "
                             "lecture reprend d'elle-même dès que la carte est rebranchée.";
        QTest::newRow("absent") << false << false
                                << "La carte USB K8055 (adresse 3) est introuvable.\nVérifiez "
                                   "qu'elle est branchée et réglée sur l'adresse 3 (cavaliers SK5 "
                                   "et SK6). Sous Linux, la règle udev d'Ondaris doit être "
                                   "installée pour donner l'accès à la carte.\nLa valeur affichée "
                                   "n'est pas mise à jour tant que la carte est absente.";
        QTest::newRow("pulled out") << true << false << lost;
        QTest::newRow("reads fail") << true << true << lost;
    }
    void boardGoneToldOnce()
    {
        QFETCH(bool, readBefore);
        QFETCH(bool, onBus);
        FakeHidTransport fake;
        UsbBoard board(fake, fake.clock());
        QSignalSpy told(&board, &UsbBoard::boardMissing);
        const auto tick = [&](Reports reports) {
            fake.reports = reports;
            board.ouvre_usb();
            return board.lit_usb();
        };
        if (readBefore)
            QCOMPARE(tick({r(4, 0, 0), r(4, 10, 0)}), Reading({10, 0}));
        fake.present = onBus;
        QCOMPARE(tick({kError}), std::nullopt);
        QCOMPARE(told.count(), int(readBefore)); // never read and not asked for: silent
        if (!readBefore)
            board.armMissingReport();
        for (int i = 0; i < 5; ++i)
            QCOMPARE(tick({kError}), std::nullopt);
        QCOMPARE(told.count(), 1);
        QTEST(told.first().first().toString(), "message");
        fake.present = true;
        QCOMPARE(tick({r(4, 0, 0), r(4, 20, 0)}), Reading({20, 0}));
        QCOMPARE(told.count(), 1);
    }
    // A raw reading r is shown as floor(r × 3.921); the test value moves by one within 16 bits.
    void valuesShown()
    {
        for (const auto &[raw, shown] :
             {std::pair(0, 0), {30, 117}, {100, 392}, {128, 501}, {255, 999}})
            QCOMPARE(Acquisition::scaled(raw), shown);
        for (const auto &[keys, start, expected] : {std::tuple {"+++-", 0, 2},
                                                    {"a=*/0 +", 0, 1},
                                                    {"++", 32766, 32767},
                                                    {"--", -32767, -32768}}) {
            Acquisition acquisition({}, std::make_unique<FakeHidTransport>());
            for (int i = 0; i < std::abs(start); ++i)
                acquisition.keyPress(start > 0 ? '+' : '-');
            for (const char *key = keys; *key; ++key)
                acquisition.keyPress(*key);
            QCOMPARE(acquisition.displayText(), QString::number(expected));
            QCOMPARE(acquisition.sampleValue(), double(expected));
        }
    }
    // Only the chosen source is read; its last reading stays through source changes until a
    // new one replaces it; choosing the serial source again does not reopen (and so flush) it.
    void pollsChosenSourceOnly()
    {
        PtyPair pty;
        auto *board = new FakeHidTransport;
        Acquisition acquisition([&] { return QStringList {pty.slaveName()}; },
                                std::unique_ptr<HidTransport>(board));
        QSignalSpy failures(&acquisition, &Acquisition::deviceProblem);
        board->reports = {FakeHidTransport::report(4, 0, 0), FakeHidTransport::report(4, 128, 3)};
        acquisition.poll();
        QCOMPARE(board->opens, 0);
        acquisition.setSource(SampleSource::Usb);
        acquisition.poll();
        QCOMPARE(std::pair(acquisition.valeur_brute(), acquisition.valeur_voie2()),
                 std::pair(128, 3));
        acquisition.keyPress('-');
        acquisition.setSource(SampleSource::Test);
        QCOMPARE(acquisition.displayText(), QStringLiteral("-1"));
        QVERIFY(!acquisition.serial().isOpen());
        acquisition.setSource(SampleSource::Serial);
        QVERIFY(acquisition.serial().isOpen());
        QCOMPARE(acquisition.displayText(), QStringLiteral("501"));
        QTest::qWait(2 * SerialFramer::Silence.count() / 1000); // the line silent since the open
        QVERIFY(pty.send(QByteArray("\x0A\x14\x1E\x28", 4)));
        acquisition.setSource(SampleSource::Serial);
        QTest::qWait(2 * SerialFramer::Silence.count() / 1000);
        acquisition.poll();
        QCOMPARE(acquisition.displayText(), QStringLiteral("117"));
        QCOMPARE(acquisition.sampleValue(), 117.0);
        QCOMPARE(board->opens, 1);
        acquisition.setSource(SampleSource::Usb);
        QVERIFY(!acquisition.serial().isOpen());
        board->present = false; // an absent board leaves the reading as it was
        acquisition.poll();
        QCOMPARE(acquisition.valeur_brute(), 30);
        QCOMPARE(failures.count(), 1); // chosen again and absent: told missing; the port was fine
        QCOMPARE(failures.first().first().toString(), UsbBoard::missingMessage());
    }
};

QTEST_GUILESS_MAIN(TestAcquisition)
#include "tst_acquisition.moc"
