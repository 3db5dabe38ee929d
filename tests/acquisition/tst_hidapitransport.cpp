// The board through the real hidapi-libusb, against a K8055 emulated at the usbdevfs level.
#include "acquisition/acquisition.h"
#include "acquisition/hidapitransport.h"
#include "emulatedk8055.h"

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
    // A board in its compatible mode read through the acquisition, the old report that comes
    // first after each open (0xEE) never shown; pulled out between two ticks, the last reading
    // stays, told once; back in as a K8055N in its native mode, asked for its values (command
    // 17) and read again.
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
        emulated.nativeMode = true;
        emulated.plug();
        acquisition.TimerValActu_Timer();
        QCOMPARE(acquisition.displayText(), "117");
        QCOMPARE(told.count(), 1);
        QCOMPARE(emulated.written(), QList<QByteArray>({QByteArray("\x11\0\0\0\0\0\0\0", 8)}));
    }
};

QTEST_GUILESS_MAIN(TestHidapiTransport)
#include "tst_hidapitransport.moc"
