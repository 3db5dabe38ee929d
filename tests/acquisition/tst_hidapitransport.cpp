// The board through the real hidapi-libusb, against a K8055 emulated at the usbdevfs level.
#include "acquisition/acquisition.h"
#include "acquisition/hidapitransport.h"
#include "emulatedk8055.h"
#include "sampling.h"
#include "testfiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
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
    // A board in its compatible mode read through the acquisition during a recording, the old
    // report that comes first after each open (0xEE) never shown; pulled out between two ticks,
    // "----" and no sample, told once; back in as a K8055N in its native mode, asked for its values
    // (command 17) and read again.
    void pulledOutAndBack()
    {
        EmulatedK8055 emulated;
        emulated.analog1 = 100;
        Acquisition acquisition({}, std::make_unique<HidapiTransport>());
        QSignalSpy told(&acquisition, &Acquisition::deviceProblem);
        acquisition.setSource(SampleSource::Usb);
        QTemporaryDir dir;
        SampleStore store;
        qint64 ms = 0;
        Recorder recorder(
            store, [&] { return acquisition.sampleValue(); },
            testClock(ms, QDateTime(QDate(2026, 3, 14), QTime(10, 0))));
        const auto tick = [&] {
            acquisition.TimerValActu_Timer();
            ms += 1000;
            recorder.Timer1_Timer();
        };
        recorder.start({1000, 1, dir.filePath("r.csv")});
        tick();
        QCOMPARE(acquisition.displayText(), "392");
        emulated.unplug();
        for (int i = 0; i < 3; ++i)
            tick();
        QCOMPARE(std::pair(acquisition.displayText(), acquisition.sampleValue()),
                 std::pair(QString("----"), std::optional<double>()));
        QCOMPARE(told.count(), 1);
        emulated.analog1 = 30;
        emulated.nativeMode = true;
        emulated.plug();
        tick();
        QCOMPARE(acquisition.displayText(), "117");
        QCOMPARE(TestFiles::read(dir.filePath("r.csv")),
                 "1;392;03-14-2026;10:00:01\r\n2;117;03-14-2026;10:00:05\r\n");
        QCOMPARE(told.count(), 1);
        QCOMPARE(emulated.written(), QList<QByteArray>({QByteArray("\x11\0\0\0\0\0\0\0", 8)}));
    }
};

QTEST_GUILESS_MAIN(TestHidapiTransport)
#include "tst_hidapitransport.moc"
