#include "acquisition/usbboard.h"
#include "fakehidtransport.h"

#include <QSignalSpy>
#include <QTest>
#include <numeric>

namespace {
const QByteArray kTimeout(""); // an empty report: nothing came in time
const QByteArray kError; // a null report: the transport failed
} // namespace

class TestUsbBoard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void productIdPerAddress();
    void reads_data();
    void reads();
    void nativeModeAsksForAnalogValues();
    void nativeModeWithoutAnAnswer_data();
    void nativeModeWithoutAnAnswer();
    void absentBoardToldOnceWhenArmed();
    void unpluggedBoardToldOnceAndReadAgain_data();
    void unpluggedBoardToldOnceAndReadAgain();
};

void TestUsbBoard::productIdPerAddress()
{
    FakeHidTransport fake;
    UsbBoard board(fake);
    board.ouvre_usb();
    QCOMPARE(fake.openedVendor, quint16(0x10CF));
    QCOMPARE(fake.openedProduct, quint16(0x5503));
    board.ouvre_usb(); // already open: not opened again
    QCOMPARE(fake.opens, 1);
}

void TestUsbBoard::reads_data()
{
    QTest::addColumn<QList<QByteArray>>("reports");
    QTest::addColumn<int>("analog1"); // -1: no reading
    QTest::addColumn<int>("analog2");
    const auto r = FakeHidTransport::report;
    QTest::newRow("stale first report dropped")
        << QList<QByteArray> {r(4, 9, 9), r(4, 128, 7)} << 128 << 7;
    QTest::newRow("compatible K8055N")
        << QList<QByteArray> {r(14, 0, 0), r(14, 255, 0)} << 255 << 0;
    QTest::newRow("K8055N native, status 20 is not")
        << QList<QByteArray> {r(4, 1, 1), r(20, 50, 50), r(7, 1, 1)} << -1 << -1;
    QTest::newRow("short report skipped")
        << QList<QByteArray> {r(4, 1, 1), r(4, 2, 2).left(7), r(4, 4, 5)} << 4 << 5;
    QTest::newRow("status below 4 skipped")
        << QList<QByteArray> {r(4, 1, 1), r(2, 50, 50), r(4, 60, 61)} << 60 << 61;
    QTest::newRow("wrong status skipped")
        << QList<QByteArray> {r(4, 1, 1), r(9, 50, 50), r(4, 60, 61)} << 60 << 61;
    QTest::newRow("only timeouts")
        << QList<QByteArray> {kTimeout, kTimeout, kTimeout, kTimeout, kTimeout} << -1 << -1;
    QTest::newRow("error on the stale read") << QList<QByteArray> {kError, r(4, 5, 5)} << -1 << -1;
    QTest::newRow("error on the data read") << QList<QByteArray> {r(4, 1, 1), kError} << -1 << -1;
    QTest::newRow("one report only") << QList<QByteArray> {r(4, 1, 1)} << -1 << -1;
}

void TestUsbBoard::reads()
{
    QFETCH(QList<QByteArray>, reports);
    QFETCH(int, analog1);
    QFETCH(int, analog2);
    FakeHidTransport fake;
    fake.reports = reports;
    UsbBoard board(fake);
    board.ouvre_usb();
    const auto reading = board.lit_usb();
    QCOMPARE(reading.has_value(), analog1 >= 0);
    if (reading) {
        QCOMPARE(int(reading->analog1), analog1);
        QCOMPARE(int(reading->analog2), analog2);
    }
    QVERIFY2(!fake.isOpen(), "the board is closed after every read");
    QCOMPARE(fake.closes, 1);
    // At most four reads of at most 20 ms; the time really waited is bounded by the budget
    // (the emulated board's silent case measures it).
    QVERIFY(fake.timeouts.size() <= 4);
    for (const int timeout : std::as_const(fake.timeouts))
        QVERIFY(timeout > 0 && timeout <= 20);
    QVERIFY(fake.written.isEmpty());
    QVERIFY(!board.lit_usb()); // closed: nothing read
}

void TestUsbBoard::nativeModeAsksForAnalogValues()
{
    FakeHidTransport fake;
    fake.reports = {FakeHidTransport::report(30, 0, 0), FakeHidTransport::report(30, 0, 0),
                    FakeHidTransport::report(30, 1, 1)}; // the last one came before the question
    // A repeat of the report before the question was still on its way: not the answer.
    fake.answers = {FakeHidTransport::report(30, 0, 0), FakeHidTransport::report(30, 77, 88)};
    UsbBoard board(fake);
    board.ouvre_usb();
    const auto reading = board.lit_usb();
    QVERIFY(reading);
    QCOMPARE(*reading, (UsbBoard::Reading {77, 88}));
    QCOMPARE(fake.written.size(), 1);
    const QByteArray ask = fake.written.first();
    QCOMPARE(ask.size(), 9);
    QCOMPARE(int(ask[0]), 0);
    QCOMPARE(int(ask[1]), 17);
    for (const QByteArray &w : fake.written)
        QVERIFY2(w[1] != 5, "command 5 sets the outputs and is never sent");
    QVERIFY2(fake.timeouts.contains(0), "what is queued before the question is not waited for");
}

void TestUsbBoard::nativeModeWithoutAnAnswer_data()
{
    QTest::addColumn<QList<QByteArray>>("reports");
    QTest::addColumn<bool>("writeFails");
    QTest::addColumn<QList<QByteArray>>("answers");
    QTest::addColumn<bool>("lost"); // the board that answered before is told lost
    const QByteArray native = FakeHidTransport::report(30, 0, 0);
    const QByteArray other = FakeHidTransport::report(9, 1, 1);
    QTest::newRow("question refused")
        << QList {native, native} << true << QList<QByteArray> {} << true;
    QTest::newRow("error instead of the answer")
        << QList {native, native} << false << QList {kError} << true;
    QTest::newRow("no answer within the budget")
        << QList {native, native} << false << QList<QByteArray> {} << false;
    QTest::newRow("reports of another status: not lost")
        << QList {other, other, other, other} << false << QList<QByteArray> {} << false;
}

void TestUsbBoard::nativeModeWithoutAnAnswer()
{
    QFETCH(QList<QByteArray>, reports);
    QFETCH(bool, writeFails);
    QFETCH(QList<QByteArray>, answers);
    QFETCH(bool, lost);
    FakeHidTransport fake;
    UsbBoard board(fake);
    QSignalSpy told(&board, &UsbBoard::boardMissing);
    fake.reports = {FakeHidTransport::report(4, 0, 0), FakeHidTransport::report(4, 10, 0)};
    board.ouvre_usb();
    QVERIFY(board.lit_usb()); // it answered before
    fake.reports = reports;
    fake.answers = answers;
    fake.writeFails = writeFails;
    board.ouvre_usb();
    QCOMPARE(board.lit_usb(), std::nullopt);
    QCOMPARE(told.count(), lost ? 1 : 0);
    if (lost)
        QCOMPARE(told.first().first().toString(), UsbBoard::lostMessage());
}

void TestUsbBoard::absentBoardToldOnceWhenArmed()
{
    FakeHidTransport fake;
    fake.present = false;
    UsbBoard board(fake);
    QSignalSpy missing(&board, &UsbBoard::boardMissing);
    board.ouvre_usb();
    QCOMPARE(missing.count(), 0); // not armed: silent
    board.armMissingReport();
    for (int tick = 0; tick < 10; ++tick) {
        board.ouvre_usb();
        QVERIFY(!board.lit_usb());
    }
    QCOMPARE(missing.count(), 1);
    QCOMPARE(missing.first().first().toString(),
             QStringLiteral("La carte USB K8055 (adresse 3) est introuvable.\nVérifiez qu'elle est "
                            "branchée et réglée sur l'adresse 3 (cavaliers SK5 et SK6). Sous "
                            "Linux, la règle udev d'Ondaris doit être installée pour donner "
                            "l'accès à la carte.\nLa valeur affichée n'est pas mise à jour tant "
                            "que la carte est absente."));
}

void TestUsbBoard::unpluggedBoardToldOnceAndReadAgain_data()
{
    QTest::addColumn<bool>("gone"); // false: the read fails, the open still works
    QTest::newRow("gone from the bus") << true;
    QTest::newRow("read fails") << false;
}

// Pulled out after it was read: told once; read again, silently, once it is back.
void TestUsbBoard::unpluggedBoardToldOnceAndReadAgain()
{
    QFETCH(bool, gone);
    const auto r = FakeHidTransport::report;
    FakeHidTransport fake;
    UsbBoard board(fake);
    QSignalSpy told(&board, &UsbBoard::boardMissing);
    const auto tick = [&] {
        board.ouvre_usb();
        return board.lit_usb();
    };
    fake.reports = {r(4, 0, 0), r(4, 10, 0)};
    QCOMPARE(tick(), (std::optional<UsbBoard::Reading> {{10, 0}}));
    fake.present = !gone;
    for (int i = 0; i < 5; ++i) {
        fake.reports = {kError};
        QCOMPARE(tick(), std::nullopt);
    }
    QCOMPARE(told.count(), 1);
    QCOMPARE(told.first().first().toString(),
             QStringLiteral("La carte USB K8055 (adresse 3) ne répond plus : elle a peut-être été "
                            "débranchée.\nLa valeur affichée garde la dernière mesure ; la "
                            "lecture reprend d'elle-même dès que la carte est rebranchée."));
    fake.present = true;
    fake.reports = {r(4, 0, 0), r(4, 20, 0)};
    QCOMPARE(tick(), (std::optional<UsbBoard::Reading> {{20, 0}}));
    QCOMPARE(told.count(), 1);
}

QTEST_GUILESS_MAIN(TestUsbBoard)
#include "tst_usbboard.moc"
