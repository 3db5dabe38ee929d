// The board through the real hidapi-libusb, against a K8055 emulated at the usbdevfs level.
#include "acquisition/acquisition.h"
#include "acquisition/hidapitransport.h"
#include "acquisition/usbboard.h"
#include "emulatedk8055.h"

#include <QSignalSpy>
#include <QTest>

using Reading = std::optional<UsbBoard::Reading>;

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
    // A K8055N in its native mode is asked for its values (command 17); reports pile up
    // between the open and the read.
    void asksInNativeMode()
    {
        for (const int openedBeforeMs : {0, 60}) {
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
    // A board in its compatible mode read through the acquisition, the old report that comes
    // first after each open (0xEE) never shown; pulled out between two ticks, the last reading
    // stays, told once; back in, read again.
    void pulledOutAndBack()
    {
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
