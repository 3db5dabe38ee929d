#include "acquisition/acquisition.h"
#include "acquisition/usbboard.h"
#include "fakehidtransport.h"
#include "ptypair.h"

#include <QSignalSpy>
#include <QTest>

class TestAcquisition : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
