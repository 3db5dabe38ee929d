#include "acquisition/acquisition.h"
#include "fakehidtransport.h"
#include "recording/measurementbuffer.h"
#include "recording/recorder.h"
#include "recording/recordingfile.h"
#include "seededrandom.h"
#include "testfiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A recorder over a fake board and a clock that moves only when the test says so; the file
// in memory where there is such a file system, as many small synced appends are made.
struct Rig
{
    QTemporaryDir dir {QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                           ? QStringLiteral("/dev/shm/ondarisXXXXXX")
                           : QDir::tempPath() + "/ondarisXXXXXX"};
    FakeHidTransport *board = new FakeHidTransport;
    Acquisition acquisition {{}, std::unique_ptr<HidTransport>(board)};
    MeasurementBuffer buffer;
    Recorder::Plan plan {1000, 1, dir.filePath("data_tr.csv")};
    qint64 monotonic = 0;
    Recorder recorder {
        buffer, acquisition, [this] { return plan; },
        Recorder::Clock {[this] { return monotonic; },
                         [this] {
                             return QDateTime(QDate(2026, 3, 14), QTime(10, 5)).addMSecs(monotonic);
                         }}};

    explicit Rig(int source = 0) { acquisition.setSource(SampleSource(source)); }
    void runSamples(int n)
    {
        const int target = buffer.num_mesure() + n;
        while (recorder.isRecording() && buffer.num_mesure() < target) {
            monotonic = recorder.schedule().nextTickAt();
            recorder.tick();
        }
    }
    QByteArray file() const { return TestFiles::read(plan.file); }
};

} // namespace

class TestRecorder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void samplesAtThePlannedPeriod()
    {
        Rig rig;
        rig.plan = {60000, 15, rig.plan.file};
        QSignalSpy changed(&rig.recorder, &Recorder::recordingChanged);
        rig.acquisition.keyPress('+'); // the test value starts from 0
        rig.recorder.toggle();
        QCOMPARE(changed.count(), 1);
        const QTimer &timer = rig.recorder.timer1();
        QVERIFY(timer.isActive() && timer.interval() == 10
                && timer.timerType() == Qt::PreciseTimer);
        QCOMPARE(timer.objectName(), QStringLiteral("Timer1"));
        rig.runSamples(1);
        QCOMPARE(rig.monotonic, 10);
        rig.acquisition.keyPress('-');
        rig.acquisition.keyPress('-');
        rig.runSamples(1);
        QCOMPARE(rig.monotonic, 10 + 15 * 60000);
        QCOMPARE(rig.file(), "1;0;03-14-2026;10:05:00\r\n2;-2;03-14-2026;10:20:00\r\n");
        QCOMPARE(rig.buffer.heure_mesure(2), QStringLiteral("10:20:00"));
        QCOMPARE(rig.buffer.date_mesure(2), QStringLiteral("03-14-2026"));
    }
    void windowFollowsRisingValues()
    {
        Rig rig(1);
        rig.recorder.start();
        for (const auto &[raw, value, low, high] :
             {std::tuple {70, 274.0, 19, 274}, {10, 39.0, 19, 274}}) {
            rig.board->reports
                = {FakeHidTransport::report(4, 0, 0), FakeHidTransport::report(4, quint8(raw), 0)};
            rig.acquisition.poll();
            rig.runSamples(1);
            QCOMPARE(rig.buffer.valeur(rig.buffer.num_mesure()), value);
            QCOMPARE(std::pair(int(rig.buffer.borne_basse()), int(rig.buffer.borne_haute())),
                     std::pair(low, high));
        }
    }
    void restartAppendsAndRenumbers()
    {
        Rig rig;
        QVERIFY(RecordingFile::create(rig.plan.file, nullptr));
        rig.recorder.start();
        rig.runSamples(2);
        rig.recorder.toggle();
        QVERIFY(!rig.recorder.isRecording());
        QCOMPARE(rig.buffer.num_mesure(), 2); // the finished recording stays on screen
        rig.monotonic += 5000;
        rig.recorder.toggle();
        QCOMPARE(rig.buffer.num_mesure(), 0);
        rig.runSamples(1);
        QCOMPARE(rig.file(),
                 RecordingFile::header()
                     + "1;0;03-14-2026;10:05:00\r\n"
                       "2;0;03-14-2026;10:05:01\r\n1;0;03-14-2026;10:05:06\r\n");
    }
    void ledBlinksAndEndsOff()
    {
        for (int blinks : {0, 1, 2}) {
            Rig rig;
            rig.recorder.start();
            QCOMPARE(rig.recorder.timerLed().interval(), 500);
            for (int i = 0; i < blinks; ++i)
                rig.recorder.ledTick();
            QCOMPARE(rig.recorder.ledFill(), blinks % 2 ? Recorder::LedLit : Recorder::LedDark);
            rig.recorder.stop();
            QCOMPARE(rig.recorder.ledFill(), Recorder::LedDark);
            QVERIFY(!rig.recorder.timerLed().isActive() && !rig.recorder.timer1().isActive());
        }
    }
    // 8 h 53 min 20 s at one a second; the tick that would store sample 32001 stops it.
    void stopsWhenBufferIsFull()
    {
        Rig rig;
        QSignalSpy problems(&rig.recorder, &Recorder::stoppedOnProblem);
        rig.recorder.start();
        rig.runSamples(32001);
        QVERIFY(!rig.recorder.isRecording());
        QCOMPARE(rig.monotonic, 10 + qint64(32000) * 1000);
        QCOMPARE(rig.buffer.num_mesure(), 32000);
        QCOMPARE(problems.count(), 1);
        QCOMPARE(
            problems.first().first().toString(),
            QStringLiteral("L'enregistrement est arrêté : la limite de 32000 mesures est "
                           "atteinte.\nToutes les mesures prises sont dans la liste et dans le "
                           "fichier d'enregistrement."));
        QVERIFY(rig.file().endsWith(
            "\r\n31999;0;03-14-2026;18:58:18\r\n32000;0;03-14-2026;18:58:19\r\n"));
    }
    void stopsWhenFileCannotBeWritten_data()
    {
        QTest::addColumn<QString>("path"); // empty: a folder removed after two samples
        QTest::addColumn<QString>("reason");
        QTest::newRow("disk full") << "/dev/full"
                                   << "plein";
        QTest::newRow("folder removed while recording") << ""
                                                        << "dossier";
    }
    void stopsWhenFileCannotBeWritten()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        Rig rig;
        QTemporaryDir folder;
        rig.plan.file = path.isEmpty() ? folder.filePath("data_tr.csv") : path;
        QSignalSpy problems(&rig.recorder, &Recorder::stoppedOnProblem);
        QSignalSpy stored(&rig.recorder, &Recorder::sampleStored);
        rig.recorder.start();
        if (path.isEmpty()) {
            rig.runSamples(2);
            QVERIFY(folder.remove());
        }
        rig.runSamples(1);
        QVERIFY(!rig.recorder.isRecording());
        QCOMPARE(stored.count(), rig.buffer.num_mesure()); // listed: the user sees what was lost
        QCOMPARE(problems.count(), 1);
        const QString message = problems.first().first().toString();
        QVERIFY2(message.contains(rig.plan.file) && message.contains(reason), qPrintable(message));
        QCOMPARE(rig.recorder.ledFill(), Recorder::LedDark);
    }
    void keepsTimeOverHours()
    {
        Rig rig;
        rig.recorder.start();
        QRandomGenerator random = seededRandom(Q_FUNC_INFO);
        for (int k = 1; k <= 3 * 3600; ++k) {
            // Up to 15 ms late, the next tick is still armed on the original beat.
            rig.monotonic = rig.recorder.schedule().nextTickAt() + random.bounded(16);
            rig.recorder.tick();
            const qint64 next = 10 + qint64(k) * 1000;
            QCOMPARE(rig.recorder.schedule().nextTickAt(), next);
            QCOMPARE(qint64(rig.recorder.timer1().interval()), next - rig.monotonic);
        }
        QCOMPARE(rig.buffer.num_mesure(), 3 * 3600);
        rig.monotonic = rig.recorder.schedule().nextTickAt() + 1200; // the next is due already
        rig.recorder.tick();
        QCOMPARE(rig.recorder.timer1().interval(), 0);
    }
};

QTEST_GUILESS_MAIN(TestRecorder)
#include "tst_recorder.moc"
