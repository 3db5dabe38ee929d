// The board through the real hidapi-libusb, against a K8055 emulated at the usbdevfs level.
#include "acquisition/acquisition.h"
#include "acquisition/hidapitransport.h"
#include "acquisition/usbboard.h"
#include "emulatedk8055.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using Reading = std::optional<UsbBoard::Reading>;

class TestHidapiTransport : public QObject
{
    Q_OBJECT

    // One refresh tick: open, read, close.
    static Reading tick(UsbBoard &board)
    {
        board.ouvre_usb();
        return board.lit_usb();
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("UMOCKDEV_DIR")
            && !qgetenv("LD_PRELOAD").contains("umockdev"))
            QSKIP("needs umockdev-wrapper (CTest runs it so)");
    }
    // The first report after each open is an old one (0xEE): it never shows.
    void readsBothModes()
    {
        for (const auto &[a1, a2] : {std::pair(128, 0), {0, 255}, {255, 1}}) {
            EmulatedK8055 emulated;
            emulated.analog1 = quint8(a1);
            emulated.analog2 = quint8(a2);
            HidapiTransport transport;
            UsbBoard board(transport);
            for (int i = 0; i < 3; ++i)
                QCOMPARE(tick(board), Reading({quint8(a1), quint8(a2)}));
            QVERIFY(!transport.isOpen() && emulated.written().isEmpty());
            QCOMPARE(emulated.claims.load(), 3);
        }
        for (const int openedBeforeMs : {0, 60}) { // reports pile up meanwhile
            EmulatedK8055 emulated;
            emulated.nativeMode = true;
            emulated.analog1 = 77;
            emulated.analog2 = 88;
            HidapiTransport transport;
            UsbBoard board(transport);
            board.ouvre_usb();
            QTest::qSleep(openedBeforeMs);
            QCOMPARE(board.lit_usb(), Reading({77, 88}));
            QCOMPARE(emulated.written().size(), 1);
            QCOMPARE(int(emulated.written().first()[0]), 17);
        }
    }
    // No board, a silent one, one pulled out between two ticks: each tick stays within the
    // 200 ms refresh, the last reading stays, told once; back in, read again.
    void absentSilentOrPulledOut()
    {
        for (const bool present : {true, false}) {
            std::optional<EmulatedK8055> emulated;
            if (present)
                emulated.emplace().silent = true;
            HidapiTransport transport;
            UsbBoard board(transport);
            QSignalSpy told(&board, &UsbBoard::boardMissing);
            board.armMissingReport();
            for (int i = 0; i < 3; ++i) {
                QElapsedTimer clock;
                clock.start();
                QCOMPARE(tick(board), std::nullopt);
                QVERIFY2(clock.elapsed() < 190, qPrintable(QString::number(clock.elapsed())));
            }
            QCOMPARE(told.count(), int(!present));
        }
        EmulatedK8055 emulated;
        emulated.analog1 = 100;
        Acquisition acquisition({}, std::make_unique<HidapiTransport>());
        QSignalSpy told(&acquisition, &Acquisition::deviceProblem);
        acquisition.setSource(SampleSource::Usb);
        acquisition.TimerValActu_Timer();
        QCOMPARE(acquisition.displayText(), "392");
        emulated.unplug();
        for (int i = 0; i < 3; ++i)
            acquisition.TimerValActu_Timer();
        QCOMPARE(acquisition.displayText(), "392");
        QCOMPARE(told.count(), 1);
        emulated.analog1 = 30;
        emulated.plug();
        acquisition.TimerValActu_Timer();
        QCOMPARE(acquisition.displayText(), "117");
        QCOMPARE(told.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestHidapiTransport)
#include "tst_hidapitransport.moc"
