#include "acquisition/usbboard.h"
#include "fakehidtransport.h"

#include <QSignalSpy>
#include <QTest>

using Reports = QList<QByteArray>;
using Reading = std::optional<UsbBoard::Reading>;
Q_DECLARE_METATYPE(Reading)

namespace {
const QByteArray kTimeout(""); // nothing came in time
const QByteArray kError; // the transport failed
const auto r = FakeHidTransport::report;
} // namespace

class TestUsbBoard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reads_data()
    {
        QTest::addColumn<Reports>("reports");
        QTest::addColumn<Reports>("answers"); // to a question in native mode
        QTest::addColumn<Reading>("reading");
        const Reading none;
        QTest::newRow("stale first dropped")
            << Reports {r(4, 9, 9), r(4, 128, 7)} << Reports {} << Reading({128, 7});
        QTest::newRow("K8055N compatible")
            << Reports {r(14, 0, 0), r(14, 255, 0)} << Reports {} << Reading({255, 0});
        QTest::newRow("status 20")
            << Reports {r(4, 1, 1), r(20, 5, 5), r(7, 1, 1)} << Reports {} << none;
        QTest::newRow("short skipped") << Reports {r(4, 1, 1), r(4, 2, 2).left(7), r(4, 4, 5)}
                                       << Reports {} << Reading({4, 5});
        QTest::newRow("status 2 skipped")
            << Reports {r(4, 1, 1), r(2, 5, 5), r(4, 60, 61)} << Reports {} << Reading({60, 61});
        QTest::newRow("status 9 skipped")
            << Reports {r(4, 1, 1), r(9, 5, 5), r(4, 60, 61)} << Reports {} << Reading({60, 61});
        QTest::newRow("timeouts") << Reports(5, kTimeout) << Reports {} << none;
        QTest::newRow("error, stale") << Reports {kError, r(4, 5, 5)} << Reports {} << none;
        QTest::newRow("error, data") << Reports {r(4, 1, 1), kError} << Reports {} << none;
        QTest::newRow("one report") << Reports {r(4, 1, 1)} << Reports {} << none;
        // Native mode: asked with command 17; the last report came before the question, and a
        // repeat of it still on its way is not the answer.
        QTest::newRow("native") << Reports {r(30, 0, 0), r(30, 0, 0), r(30, 1, 1)}
                                << Reports {r(30, 0, 0), r(30, 77, 88)} << Reading({77, 88});
    }
    void reads()
    {
        QFETCH(Reports, reports);
        QFETCH(Reports, answers);
        FakeHidTransport fake;
        fake.reports = reports;
        fake.answers = answers;
        UsbBoard board(fake);
        board.ouvre_usb();
        board.ouvre_usb(); // already open: not opened again
        QCOMPARE(std::tuple(fake.opens, fake.openedVendor, fake.openedProduct),
                 std::tuple(1, quint16(0x10CF), quint16(0x5503)));
        QTEST(board.lit_usb(), "reading");
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
        const Reports native {r(30, 0, 0), r(30, 0, 0)};
        QTest::newRow("question refused") << native << true << Reports {} << true;
        QTest::newRow("error for the answer") << native << false << Reports {kError} << true;
        QTest::newRow("no answer in time") << native << false << Reports {} << false;
        QTest::newRow("other status") << Reports(4, r(9, 1, 1)) << false << Reports {} << false;
    }
    void nativeWithoutAnswer()
    {
        QFETCH(bool, lost);
        FakeHidTransport fake;
        UsbBoard board(fake);
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
    }
    void absentBoardToldOnceWhenArmed()
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
                 QStringLiteral("La carte USB K8055 (adresse 3) est introuvable.\nVérifiez qu'elle "
                                "est branchée et réglée sur l'adresse 3 (cavaliers SK5 et SK6). "
                                "Sous Linux, la règle udev d'Ondaris doit être installée pour "
                                "donner l'accès à la carte.\nLa valeur affichée n'est pas mise à "
                                "jour tant que la carte est absente."));
    }
    // Pulled out (gone from the bus, or its reads fail) after it was read: told once; read
    // again, silently, once it is back.
    void unpluggedBoardToldOnceAndReadAgain()
    {
        for (const bool gone : {true, false}) {
            FakeHidTransport fake;
            UsbBoard board(fake);
            QSignalSpy told(&board, &UsbBoard::boardMissing);
            const auto tick = [&](Reports reports) {
                fake.reports = reports;
                board.ouvre_usb();
                return board.lit_usb();
            };
            QCOMPARE(tick({r(4, 0, 0), r(4, 10, 0)}), Reading({10, 0}));
            fake.present = !gone;
            for (int i = 0; i < 5; ++i)
                QCOMPARE(tick({kError}), std::nullopt);
            QCOMPARE(told.count(), 1);
            QCOMPARE(told.first().first().toString(), UsbBoard::lostMessage());
            QCOMPARE(UsbBoard::lostMessage(),
                     QStringLiteral("La carte USB K8055 (adresse 3) ne répond plus : elle a "
                                    "peut-être été débranchée.\nLa valeur affichée garde la "
                                    "dernière mesure ; la lecture reprend d'elle-même dès que la "
                                    "carte est rebranchée."));
            fake.present = true;
            QCOMPARE(tick({r(4, 0, 0), r(4, 20, 0)}), Reading({20, 0}));
            QCOMPARE(told.count(), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestUsbBoard)
#include "tst_usbboard.moc"
