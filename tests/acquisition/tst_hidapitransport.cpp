// The board through the real hidapi-libusb, against a K8055 emulated at the usbdevfs level.
#include "acquisition/acquisition.h"
#include "acquisition/hidapitransport.h"
#include "acquisition/usbboard.h"
#include "emulatedk8055.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

class TestHidapiTransport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("UMOCKDEV_DIR")
            && !qgetenv("LD_PRELOAD").contains("umockdev"))
            QSKIP("needs umockdev-wrapper (CTest runs it so)");
    }
    void readsAnalogOne_data()
    {
        QTest::addColumn<int>("analog1");
        QTest::addColumn<int>("analog2");
        QTest::newRow("128, input 2 at 0") << 128 << 0;
        QTest::newRow("128, input 2 at 255") << 128 << 255;
        QTest::newRow("0") << 0 << 77;
        QTest::newRow("255") << 255 << 1;
    }
    // The first report after each open is an old one (0xEE): it never shows.
    void readsAnalogOne()
    {
        QFETCH(int, analog1);
        QFETCH(int, analog2);
        EmulatedK8055 emulated;
        QVERIFY(emulated.isValid());
        emulated.setAnalog(quint8(analog1), quint8(analog2));
        HidapiTransport transport;
        UsbBoard board(transport);
        for (int i = 0; i < 3; ++i) {
            const auto reading = tick(board);
            QVERIFY(reading);
            QCOMPARE(int(reading->analog1), analog1);
            QCOMPARE(int(reading->analog2), analog2);
            QVERIFY(!transport.isOpen());
        }
        QCOMPARE(emulated.claims(), 3);
        if (analog1 == 128)
            QCOMPARE(Acquisition::scaled(analog1), 501);
        QVERIFY(emulated.written().isEmpty());
    }
    void nativeModeAskedForItsValues_data()
    {
        QTest::addColumn<int>("openedBeforeMs"); // reports pile up meanwhile
        QTest::newRow("read at once") << 0;
        QTest::newRow("opened 60 ms before") << 60;
    }
    void nativeModeAskedForItsValues()
    {
        QFETCH(int, openedBeforeMs);
        EmulatedK8055 emulated;
        emulated.setNativeMode(true);
        emulated.setAnalog(77, 88);
        HidapiTransport transport;
        UsbBoard board(transport);
        board.ouvre_usb();
        QTest::qSleep(openedBeforeMs);
        QCOMPARE(board.lit_usb(), (std::optional<UsbBoard::Reading> {{77, 88}}));
        const QList<QByteArray> written = emulated.written();
        QCOMPARE(written.size(), 1);
        QCOMPARE(int(written.first()[0]), 17);
    }
    // Pulled out between two ticks: the last reading stays, the user is told once; back in, it is
    // read again.
    void unpluggedBetweenTicks()
    {
        EmulatedK8055 emulated;
        emulated.setAnalog(100, 0);
        auto transport = std::make_unique<HidapiTransport>();
        HidapiTransport &hid = *transport;
        Acquisition acquisition({}, std::move(transport));
        QSignalSpy told(&acquisition, &Acquisition::deviceProblem);
        acquisition.setSource(SampleSource::Usb);
        acquisition.poll();
        QCOMPARE(acquisition.valeur_brute(), 100);
        emulated.unplug();
        for (int i = 0; i < 3; ++i)
            acquisition.poll();
        QCOMPARE(acquisition.valeur_brute(), 100);
        QCOMPARE(told.count(), 1);
        QVERIFY(told.first().first().toString().contains(QStringLiteral("ne répond plus")));
        emulated.setAnalog(30, 0);
        emulated.plug();
        acquisition.poll();
        QCOMPARE(acquisition.valeur_brute(), 30);
        QCOMPARE(told.count(), 1);
        QVERIFY(!hid.isOpen());
    }
    void silentBoardKeepsEachTickBounded()
    {
        EmulatedK8055 emulated;
        emulated.setSilent(true);
        HidapiTransport transport;
        UsbBoard board(transport);
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer clock;
            clock.start();
            QCOMPARE(tick(board), std::nullopt);
            // Within the 200 ms refresh: the reads are bounded, the close does not hang.
            QVERIFY2(clock.elapsed() < 190, qPrintable(QString::number(clock.elapsed())));
        }
    }
    void noBoardAtAll()
    {
        HidapiTransport transport;
        UsbBoard board(transport);
        QSignalSpy told(&board, &UsbBoard::boardMissing);
        board.armMissingReport();
        for (int i = 0; i < 3; ++i)
            QCOMPARE(tick(board), std::nullopt);
        QCOMPARE(told.count(), 1);
        QCOMPARE(told.first().first().toString(), UsbBoard::missingMessage());
    }

private:
    // One refresh tick: open, read, close.
    static std::optional<UsbBoard::Reading> tick(UsbBoard &board)
    {
        board.ouvre_usb();
        return board.lit_usb();
    }
};

QTEST_GUILESS_MAIN(TestHidapiTransport)
#include "tst_hidapitransport.moc"
