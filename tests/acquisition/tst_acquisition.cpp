#include "acquisition/acquisition.h"
#include "fakehidtransport.h"
#include "ptypair.h"

#include <QSignalSpy>
#include <QTest>

class TestAcquisition : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scales_data()
    {
        QTest::addColumn<int>("raw");
        QTest::addColumn<int>("shown");
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("30") << 30 << 117;
        QTest::newRow("70") << 70 << 274;
        QTest::newRow("100 floors 392.1") << 100 << 392;
        QTest::newRow("128") << 128 << 501;
        QTest::newRow("255 floors 999.855") << 255 << 999;
    }
    void scales()
    {
        QFETCH(int, raw);
        QFETCH(int, shown);
        QCOMPARE(Acquisition::scaled(raw), shown);
    }
    void testKeysStayIn16Bits_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("start"); // reached with + or - from 0
        QTest::addColumn<int>("expected");
        QTest::newRow("+++-") << "+++-" << 0 << 2;
        QTest::newRow("other keys ignored") << "a=*/0 +" << 0 << 1;
        QTest::newRow("+ at 32767 ignored") << "++" << 32766 << 32767;
        QTest::newRow("- at -32768 ignored") << "--" << -32767 << -32768;
    }
    void testKeysStayIn16Bits()
    {
        QFETCH(QString, keys);
        QFETCH(int, start);
        QFETCH(int, expected);
        Acquisition acquisition({}, std::make_unique<FakeHidTransport>());
        for (int i = 0; i < std::abs(start); ++i)
            acquisition.keyPress(start > 0 ? '+' : '-');
        for (QChar key : keys)
            acquisition.keyPress(key.unicode());
        QCOMPARE(int(acquisition.valeur_test()), expected);
        QCOMPARE(acquisition.displayText(), QString::number(expected));
        QCOMPARE(acquisition.sampleValue(), double(expected));
    }
    void pollsChosenSourceOnly()
    {
        PtyPair pty;
        auto fake = std::make_unique<FakeHidTransport>();
        FakeHidTransport &board = *fake;
        Acquisition acquisition([&] { return QStringList {pty.slaveName()}; }, std::move(fake));
        board.reports = {FakeHidTransport::report(4, 0, 0), FakeHidTransport::report(4, 128, 3)};

        acquisition.poll();
        QCOMPARE(board.opens, 0);
        acquisition.setSource(SampleSource::Usb);
        acquisition.poll();
        QCOMPARE(acquisition.valeur_brute(), 128);
        QCOMPARE(acquisition.valeur_voie2(), 3);
        QCOMPARE(acquisition.displayText(), QStringLiteral("501"));

        // The raw reading outlives source changes until a new reading replaces it.
        acquisition.keyPress('-');
        acquisition.setSource(SampleSource::Test);
        QCOMPARE(acquisition.displayText(), QStringLiteral("-1"));
        acquisition.setSource(SampleSource::Serial);
        QCOMPARE(acquisition.displayText(), QStringLiteral("501"));
        acquisition.poll();
        QCOMPARE(acquisition.valeur_brute(), 128);
        QTest::qWait(2 * SerialFramer::Silence.count() / 1000); // the line silent since the open
        QVERIFY(pty.send(QByteArray("\x0A\x14\x1E\x28", 4)));
        QTest::qWait(2 * SerialFramer::Silence.count() / 1000);
        acquisition.poll();
        QCOMPARE(acquisition.valeur_brute(), 30);
        QCOMPARE(acquisition.displayText(), QStringLiteral("117"));
        QCOMPARE(acquisition.sampleValue(), 117.0);
        QCOMPARE(board.opens, 1);

        acquisition.setSource(SampleSource::Usb);
        board.present = false; // an absent board leaves the reading as it was
        acquisition.poll();
        QCOMPARE(acquisition.valeur_brute(), 30);
    }
    void sourceDrivesSerialPort()
    {
        PtyPair pty;
        QVERIFY(pty.isValid());
        Acquisition acquisition([&] { return QStringList {pty.slaveName()}; },
                                std::make_unique<FakeHidTransport>());
        QSignalSpy failures(&acquisition, &Acquisition::deviceProblem);
        const SerialLink &serial = acquisition.serial();

        acquisition.setSource(SampleSource::Serial);
        QVERIFY(serial.isOpen());
        QTest::qWait(40); // a silence on the line, then a frame
        QVERIFY(pty.send(QByteArray("\x01\x02\x2A\x03", 4)));
        // A second choice of the serial source must not reopen (and so flush) the port.
        acquisition.setSource(SampleSource::Serial);
        QTest::qWait(40);
        acquisition.poll();
        QCOMPARE(acquisition.valeur_brute(), 42);
        QCOMPARE(acquisition.source(), SampleSource::Serial);

        acquisition.setSource(SampleSource::Test);
        QVERIFY(!serial.isOpen());
        acquisition.setSource(SampleSource::Serial);
        QVERIFY(serial.isOpen());
        acquisition.setSource(SampleSource::Usb);
        QVERIFY(!serial.isOpen());
        QCOMPARE(failures.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestAcquisition)
#include "tst_acquisition.moc"
