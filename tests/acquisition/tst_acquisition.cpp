#include "acquisition/acquisition.h"
#include "acquisition/serialframer.h"
#include "acquisition/seriallink.h"
#include "acquisition/usbboard.h"
#include "fakehidtransport.h"
#include "ptypair.h"
#include "simulatedsensor.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

using Delivery = SimulatedSensor::Delivery;
using Reports = QList<QByteArray>;
using Reading = std::optional<UsbBoard::Reading>;
using Scenario = std::function<void(SimulatedSensor &)>; // what the sensor sends
Q_DECLARE_METATYPE(Delivery)
Q_DECLARE_METATYPE(Reading)
Q_DECLARE_METATYPE(Scenario)

using namespace std::chrono_literals;

namespace {
const QByteArray kTimeout(""); // nothing came in time
const QByteArray kError; // the transport failed
const auto r = FakeHidTransport::report;
const char *const kDeliveries[] = {"whole", "bytes", "packets"};

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
        for (const auto &p : periods)
            for (int d = 0; d < 3; ++d)
                for (const double drift : {-100.0, 100.0})
                    QTest::addRow("%g ms %s %+g ppm", p.period, kDeliveries[d], drift)
                        << p.period << Delivery(d) << drift << p.fresh[d];
    }
    // Whatever the period, delivery and drift, every frame taken is one the sensor sent.
    void streamingSensor()
    {
        QFETCH(double, periodMs);
        QFETCH(int, minFreshPercent);
        SimulatedSensor sensor;
        sensor.periodMs = periodMs;
        QFETCH(Delivery, delivery);
        sensor.delivery = delivery;
        QFETCH(double, driftPpm);
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
        QTest::addColumn<Delivery>("delivery");
        QTest::addColumn<Scenario>("scenario");
        QTest::addColumn<QList<int>>("taken"); // frames taken, poll after poll (-1: none)
        const auto row = [](const char *name, QList<int> taken, Scenario scenario) {
            for (int d = 0; d < 3; ++d)
                QTest::addRow("%s, %s", name, kDeliveries[d]) << Delivery(d) << scenario << taken;
        };
        // Opened while frame 0 was on the line: its tail is not a frame.
        row("start mid-frame", {-1, 1, 2}, [](SimulatedSensor &s) {
            s.send(0, 1, -2 * SimulatedSensor::ByteUs, 2);
            s.send(1, 2, 250000);
            s.send(2, 3, 450000);
        });
        // Frame 1 lost its third byte; the three left are dropped.
        row("lost byte", {0, -1, 2}, [](SimulatedSensor &s) {
            s.send(0, 1, 100000);
            const auto lost = SimulatedSensor::frame(1);
            const char three[] = {char(lost[0]), char(lost[1]), char(lost[3])};
            s.put(QByteArray(three, 3), 300000);
            s.send(2, 3, 500000);
        });
        // Seven bytes of noise between frames 0 and 1.
        row("noise", {0, -1, 1}, [](SimulatedSensor &s) {
            s.send(0, 1, 100000);
            s.put(QByteArray("\x13\xAA\x55\x00\xFF\x7E\x01", 7), 300000);
            s.send(1, 2, 500000);
        });
        // Frames one after the other, never a silence: no boundary can be known.
        row("back to back", {-1, -1, -1}, [](SimulatedSensor &s) {
            s.periodMs = 4 * SimulatedSensor::ByteUs / 1000;
            s.send(0, 40, 0);
        });
        // Silent for a second, then frames again.
        row("paused and resumed", {0, -1, -1, -1, -1, -1, 1}, [](SimulatedSensor &s) {
            s.send(0, 1, 100000);
            s.send(1, 2, 1300000);
        });
    }
    void dropsWhatIsNotAFrame()
    {
        QFETCH(QList<int>, taken);
        SimulatedSensor sensor;
        QFETCH(Delivery, delivery);
        sensor.delivery = delivery;
        sensor.jitterUs = 0;
        QFETCH(Scenario, scenario);
        scenario(sensor);
        SerialFramer framer;
        framer.restart(SerialFramer::Time(0));
        const double poll = 200000;
        const FramerRun run = FramerRun::run(sensor, framer, taken.size() * poll + 1, poll, poll);
        QCOMPARE(run.counters, taken);
        QCOMPARE(run.wrong, 0);
    }
    // Why the first port could not be opened (on-board ports first, then USB adapters, then the
    // others, each kind by number), in French, with the port's name and the retry to come.
    void portFailuresTold()
    {
        PtyPair busy;
        SerialLink holder([&] { return QStringList {busy.slaveName()}; });
        holder.ouvre_port();
        const QString gone = QDir::tempPath() + "/ondaris-no-ports/"; // never the machine's ports
        const QString absent = "Le port n'existe pas";
        for (const auto &[names, first, reason] : std::initializer_list<std::array<QString, 3>> {
                 {"", "", "Aucun port série n'a été trouvé"},
                 {"ttyUSB0 ttyS1 ttyACM0", "ttyS1", absent},
                 {"ttyACM0 ttyUSB3", "ttyUSB3", absent},
                 {"ttyUSB10 ttyUSB9 ttyUSB2", "ttyUSB2", absent},
                 {"rfcomm0 ttyAMA0 ttyACM1", "ttyACM1", absent},
                 {"ttyXR1 ttyAMA4", "ttyAMA4", absent},
                 {"rfcomm0 rfcomm", "rfcomm", absent},
                 {busy.slaveName(), busy.slaveName(),
                  "Le port est déjà utilisé par un autre programme.\n"},
                 {"/dev/null", "/dev/null", "Le port ne peut pas être utilisé."}}) {
            const auto path = [&](const QString &name) {
                return name.startsWith(u'/') || name.isEmpty() ? name : gone + name;
            };
            QStringList ports;
            for (const QString &name : names.split(u' ', Qt::SkipEmptyParts))
                ports << path(name);
            SerialLink link([&] { return ports; });
            QSignalSpy told(&link, &SerialLink::failure);
            link.ouvre_port();
            const QString text = told.value(0).value(0).toString();
            QVERIFY2(text.startsWith(first.isEmpty() ? QString("Aucun")
                                                     : "Port série " + path(first) + " :")
                         && text.contains(reason)
                         && text.contains("réessaie toutes les 2 secondes"),
                     qPrintable(text));
        }
    }
    // A missing, pulled-out or silent port is told once an outage, then tried every 2 s without
    // a word; once back (perhaps under another name) it is read again, its reading fresh while
    // frames keep coming: within 5 s until two frames show the sensor's interval, then three of
    // those, at least 1 s. Chosen again, a failure is told again.
    void lostPortToldOnceAndTriedAgain()
    {
        auto pty = std::make_unique<PtyPair>();
        QStringList present;
        SerialFramer::Time now {1s};
        SerialLink link([&] { return present; }, [&] { return now; });
        QSignalSpy failures(&link, &SerialLink::failure);
        const auto frame = [&](char reading) {
            now += 100ms;
            (void)pty->send(QByteArray("\x0A\x14", 2) + reading + '\x28');
            QCOMPARE(link.lit_port(), std::nullopt); // its end is not known yet
            now += SerialFramer::Silence;
            QCOMPARE(link.lit_port(), std::optional<quint8>(reading));
        };
        const auto silentFor = [&](SerialFramer::Time t) {
            now += t;
            link.lit_port();
            return link.isFresh();
        };
        link.ouvre_port();
        QVERIFY(!link.isOpen() && failures.count() == 1);
        present = {"/dev/ondaris-no-such-port"};
        now += 2s;
        link.lit_port(); // tried again, without a word
        present = {pty->slaveName()};
        now += 1999ms;
        link.lit_port();
        QVERIFY(!link.isOpen()); // not tried yet
        now += 1ms;
        link.lit_port();
        QVERIFY(link.isOpen() && !link.isFresh());
        QVERIFY(!silentFor(10s)); // the same outage: not told again
        QCOMPARE(failures.count(), 1);
        frame(30);
        QVERIFY(link.isFresh());

        pty->hangUp(); // seen by the event loop, between two polls
        QTRY_COMPARE(failures.count(), 2);
        QVERIFY(!link.isOpen() && !link.isFresh());
        QVERIFY(failures.last().first().toString().startsWith("Port série " + present.first()
                                                              + " : Le port a disparu"));
        pty = std::make_unique<PtyPair>();
        present = {pty->slaveName()};
        link.lit_port();
        QVERIFY(!link.isOpen()); // tried again 2 s after the loss, not before
        now += 2s;
        QCOMPARE(link.lit_port(), std::nullopt);
        QVERIFY(link.isOpen());
        frame(30);
        QVERIFY(silentFor(5s) && !silentFor(1ms));
        QCOMPARE(failures.count(), 3);
        QVERIFY(failures.last().first().toString().startsWith(
            "Le capteur du port série " + present.first() + " n'envoie plus de mesure"));
        QVERIFY(!silentFor(1h));
        frame(40); // a sensor sending every 10 s is not cut off between its frames
        now += 10s;
        frame(50);
        QVERIFY(silentFor(30s) && !silentFor(1s));
        QCOMPARE(failures.count(), 4);
        frame(60); // a fast sensor: fresh for 1 s; one of 2 Hz, for three of its intervals
        frame(61);
        QVERIFY(silentFor(900ms) && !silentFor(200ms));
        frame(62);
        now += 400ms;
        frame(63);
        QVERIFY(silentFor(1500ms) && !silentFor(100ms));
        QCOMPARE(failures.count(), 4); // told at 5 s, as before
        frame(60);
        pty->hangUp(); // seen by the next poll, the event loop not run since
        QCOMPARE(link.lit_port(), std::nullopt);
        QVERIFY(!link.isOpen());
        QCOMPARE(failures.count(), 5);
        QCoreApplication::processEvents(); // the error queued meanwhile is not told again
        QCOMPARE(failures.count(), 5);

        link.ferme_port();
        present = {};
        link.ouvre_port();
        QCOMPARE(failures.count(), 6);
        link.ferme_port(); // a sensor that never sent anything is told so
        pty = std::make_unique<PtyPair>();
        present = {pty->slaveName()};
        link.ouvre_port();
        QVERIFY(!silentFor(6s));
        QVERIFY(failures.last().first().toString().contains(" n'a envoyé aucune mesure depuis 6 "));
    }
    // One tick of a board that was read before: open (once), read both inputs, close.
    void reads_data()
    {
        QTest::addColumn<Reports>("reports");
        QTest::addColumn<bool>("writeFails");
        QTest::addColumn<Reports>("answers"); // to a question in native mode
        QTest::addColumn<Reading>("reading");
        QTest::addColumn<bool>("lost"); // the board is told lost
        QTest::addColumn<int>("waitedMs"); // a silent board is waited for the budget, no more
        const Reading none;
        const Reports native {r(30, 0, 0), r(30, 0, 0)};
        const auto row = [](const char *name, Reports reports, Reading reading, int waited,
                            bool lost = false, Reports answers = {}, bool writeFails = false) {
            QTest::newRow(name) << reports << writeFails << answers << reading << lost << waited;
        };
        row("stale first dropped", {r(4, 9, 9), r(4, 128, 7)}, Reading({128, 7}), 0);
        row("K8055N compatible", {r(14, 0, 0), r(14, 255, 0)}, Reading({255, 0}), 0);
        row("status 20", {r(4, 1, 1), r(20, 5, 5), r(7, 1, 1)}, none, 20);
        row("short skipped", {r(4, 1, 1), r(4, 2, 2).left(7), r(4, 4, 5)}, Reading({4, 5}), 0);
        row("status 2 skipped", {r(4, 1, 1), r(2, 5, 5), r(4, 60, 61)}, Reading({60, 61}), 0);
        row("timeouts", Reports(5, kTimeout), none, 50);
        row("one report", {r(4, 1, 1)}, none, 50);
        row("other status", Reports(4, r(9, 1, 1)), none, 0);
        row("error, stale", {kError, r(4, 5, 5)}, none, 0, true);
        row("error, data", {r(4, 1, 1), kError}, none, 0, true);
        // Native mode: asked with command 17; the last report came before the question, and a
        // repeat of it still on its way is not the answer.
        row("native", native + Reports {r(30, 1, 1)}, Reading({77, 88}), 0, false,
            {r(30, 0, 0), r(30, 77, 88)});
        row("question refused", native, none, 0, true, {}, true);
        row("error for the answer", native, none, 0, true, {kError});
        row("no answer in time", native, none, 50);
    }
    void reads()
    {
        FakeHidTransport fake;
        UsbBoard board(fake, fake.clock);
        QSignalSpy told(&board, &UsbBoard::boardMissing);
        fake.reports = {r(4, 0, 0), r(4, 10, 0)};
        board.ouvre_usb();
        QVERIFY(board.lit_usb());
        fake.timeouts.clear();
        QFETCH(Reports, reports);
        fake.reports = reports;
        QFETCH(Reports, answers);
        fake.answers = answers;
        QFETCH(bool, writeFails);
        fake.writeFails = writeFails;
        board.ouvre_usb();
        board.ouvre_usb(); // already open: not opened again
        QCOMPARE(fake.opens, 2);
        QTEST(board.lit_usb(), "reading");
        QTEST(int(fake.nowMs), "waitedMs");
        QTEST(told.count() == 1, "lost");
        QVERIFY2(!fake.isOpen() && fake.closes == 2, "closed after every read");
        // What is queued before a question (native mode only, the hidapi run checks which) is
        // not waited for.
        const bool native = reports.first() == r(30, 0, 0);
        QVERIFY2(fake.timeouts.size() <= (native ? 8 : 4),
                 qPrintable(QString::number(fake.timeouts.size())));
        for (const int timeout : std::as_const(fake.timeouts))
            QVERIFY(timeout >= 0 && timeout <= 20);
        QCOMPARE(fake.timeouts.contains(0), native); // a read that does not wait: only to drain
        QVERIFY(!board.lit_usb()); // closed: nothing read
    }
    // Absent from the start (told only once asked for), pulled out, or its reads failing: told
    // once; read again, silently, once it is back.
    void boardGoneToldOnce_data()
    {
        QTest::addColumn<bool>("readBefore");
        QTest::addColumn<bool>("onBus"); // still there, its reads failing
        QTest::addColumn<QString>("message");
        QTest::newRow("absent") << false << false << "est introuvable";
        QTest::newRow("pulled out") << true << false << "ne répond plus";
        QTest::newRow("reads fail") << true << true << "ne répond plus";
    }
    void boardGoneToldOnce()
    {
        QFETCH(bool, readBefore);
        QFETCH(bool, onBus);
        QFETCH(QString, message);
        FakeHidTransport fake;
        UsbBoard board(fake, fake.clock);
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
        const QString text = told.first().first().toString();
        QVERIFY2(text.startsWith("La carte USB K8055 (adresse 3) " + message), qPrintable(text));
        fake.present = true;
        QCOMPARE(tick({r(4, 0, 0), r(4, 20, 0)}), Reading({20, 0}));
        QCOMPARE(told.count(), 1);
    }
    // Only the chosen source is read, a raw reading r shown and sampled as floor(r × 3.921), or
    // "----" and no sample until the source gives a reading; choosing the serial source again
    // does not reopen (and so flush) the port. The test value moves by one within 16 bits, for
    // "+" and "-" only.
    void pollsChosenSourceOnly()
    {
        PtyPair pty;
        auto *board = new FakeHidTransport;
        Acquisition acquisition([&] { return QStringList {pty.slaveName()}; },
                                std::unique_ptr<HidTransport>(board));
        QSignalSpy failures(&acquisition, &Acquisition::deviceProblem);
        const auto frame = [&](char reading) {
            QTest::qWait(2 * SerialFramer::Silence.count() / 1000); // a silence before and after
            QVERIFY(pty.send(QByteArray("\x0A\x14", 2) + reading + '\x28'));
            QTest::qWait(2 * SerialFramer::Silence.count() / 1000);
        };
        // What is shown and what a sample would take after a refresh.
        const auto live = [&] {
            acquisition.TimerValActu_Timer();
            return std::pair(acquisition.displayText(), acquisition.sampleValue());
        };
        const auto shown = [](int value) {
            return std::pair(QString::number(value), std::optional<double>(value));
        };
        const std::pair<QString, std::optional<double>> none("----", std::nullopt);
        board->reports = {r(4, 0, 0), r(4, 128, 3)};
        acquisition.TimerValActu_Timer();
        QCOMPARE(board->opens, 0);
        acquisition.setSource(SampleSource::Usb);
        board->reports = {r(4, 0, 0), r(4, 255, 3)};
        QCOMPARE(live(), shown(999));
        acquisition.setSource(SampleSource::Test);
        for (const auto &[keys, times, expected] :
             {std::tuple {"+", 32768, 32767}, {"-a=*/0 ", 65536, -32768}, {"+", 32767, -1}}) {
            for (int i = 0; i < times; ++i)
                for (const char *key = keys; *key; ++key)
                    acquisition.keyPress(*key);
            QCOMPARE(live(), shown(expected));
        }
        acquisition.setSource(SampleSource::Serial);
        const termios line = pty.line(); // 2400 baud, 8 bits, no parity, 1 stop bit
        QVERIFY(cfgetispeed(&line) == B2400 && (line.c_cflag & (CSIZE | PARENB | CSTOPB)) == CS8);
        QCOMPARE(live(), none);
        frame(30);
        acquisition.setSource(SampleSource::Serial);
        QCOMPARE(std::pair(live(), board->opens), std::pair(shown(117), 1));
        // The port closed for the board, or at shut-down: a frame sent meanwhile is gone when it
        // opens again.
        board->present = false;
        for (const bool forBoard : {true, false}) {
            if (forBoard) {
                acquisition.setSource(SampleSource::Usb);
                QCOMPARE(live(), none);
            } else {
                acquisition.close();
            }
            frame(100);
            acquisition.setSource(SampleSource::Serial);
            QCOMPARE(live(), none);
        }
        QCOMPARE(failures.count(), 1); // chosen again and absent: told missing; the port was fine
        QVERIFY(failures.first().first().toString().contains("introuvable"));
    }
};

QTEST_GUILESS_MAIN(TestAcquisition)
#include "tst_acquisition.moc"
