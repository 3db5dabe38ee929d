#include "acquisition/acquisition.h"
#include "fakehidtransport.h"
#include "recording/measurementbuffer.h"
#include "recording/recorder.h"
#include "recording/recordingfile.h"
#include "seededrandom.h"
#include "settings/settingsmodel.h"
#include "testfiles.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {

// A recorder over a fake board and fake clocks; time moves only when the test says so. Many
// small synced appends: a memory file system, where there is one, keeps the long tests quick.
struct Rig
{
    QTemporaryDir dir {QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                           ? QStringLiteral("/dev/shm/ondarisXXXXXX")
                           : QDir::tempPath() + "/ondarisXXXXXX"};
    FakeHidTransport *board = nullptr;
    Acquisition acquisition {{}, [this] {
                                 auto fake = std::make_unique<FakeHidTransport>();
                                 board = fake.get();
                                 return fake;
                             }()};
    SettingsModel settings {ConfigFile(dir.filePath("ondaris.cfg"))};
    MeasurementBuffer buffer;
    qint64 monotonic = 0;
    QDateTime wall {QDate(2026, 3, 14), QTime(10, 5, 0)};
    Recorder recorder {buffer, acquisition,
                       [this] {
                           return Recorder::Plan {settings.intervalMs(), settings.diviseur_tick(),
                                                  settings.settings().fichier_donnees};
                       },
                       Recorder::Clock {[this] { return monotonic; },
                                        [this] {
                                            return wall.addMSecs(monotonic);
                                        }}};

    explicit Rig(int option = 1, int source = 0)
    {
        settings.setFichier_donnees(dir.filePath("data_tr.csv"));
        settings.Option1_Click(option, false);
        acquisition.setSource(SampleSource(source));
    }
    // Runs the sampling timer until n more samples are stored.
    void runSamples(int n)
    {
        const int target = buffer.num_mesure() + n;
        while (recorder.isRecording() && buffer.num_mesure() < target) {
            monotonic = recorder.schedule().nextTickAt();
            recorder.tick();
        }
    }
    void boardReads(quint8 raw)
    {
        board->reports = {FakeHidTransport::report(4, 0, 0), FakeHidTransport::report(4, raw, 0)};
        acquisition.poll();
    }
    QList<QByteArray> fileLines() const
    {
        QList<QByteArray> lines = TestFiles::read(dir.filePath("data_tr.csv")).split('\n');
        lines.removeLast();
        return lines;
    }
};

} // namespace

class TestRecorder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void samplesAtTheChosenPeriod_data();
    void samplesAtTheChosenPeriod();
    void testModeStartsFromZero();
    void windowFollowsRisingValues();
    void restartAppendsAndRenumbers();
    void ledBlinksAndEndsOff();
    void stopsWhenBufferIsFull();
    void stopsWhenFileCannotBeWritten_data();
    void stopsWhenFileCannotBeWritten();
    void keepsTimeOverHours();
};

void TestRecorder::samplesAtTheChosenPeriod_data()
{
    QTest::addColumn<int>("option");
    QTest::addColumn<qint64>("secondSampleAfterMs");
    QTest::newRow("1 s") << 1 << qint64(1000);
    QTest::newRow("15 min: 15 ticks of 60 s") << 4 << qint64(15 * 60000);
    QTest::newRow("24 h") << 10 << qint64(86400000);
}

void TestRecorder::samplesAtTheChosenPeriod()
{
    QFETCH(int, option);
    QFETCH(qint64, secondSampleAfterMs);
    Rig rig(option);
    QSignalSpy changed(&rig.recorder, &Recorder::recordingChanged);
    QSignalSpy stored(&rig.recorder, &Recorder::sampleStored);
    const qint64 start = rig.monotonic;
    rig.recorder.toggle();
    QVERIFY(rig.recorder.isRecording());
    QCOMPARE(changed.count(), 1);
    QVERIFY(rig.recorder.timer1().isActive());
    QCOMPARE(rig.recorder.timer1().interval(), 10);
    // On time to the millisecond, not within the 5 % a coarse timer allows.
    QCOMPARE(rig.recorder.timer1().timerType(), Qt::PreciseTimer);
    QCOMPARE(rig.recorder.timer1().objectName(), QStringLiteral("Timer1"));

    rig.runSamples(1);
    QCOMPARE(rig.monotonic - start, 10);
    rig.runSamples(1);
    QCOMPARE(rig.monotonic - start, 10 + secondSampleAfterMs);
    QCOMPARE(stored.count(), 2);
    QCOMPARE(rig.buffer.num_mesure(), 2);
    QCOMPARE(rig.fileLines().size(), 2);
    QCOMPARE(rig.buffer.heure_mesure(1), QStringLiteral("10:05:00"));
    QCOMPARE(rig.buffer.date_mesure(1), QStringLiteral("03-14-2026"));
}

void TestRecorder::testModeStartsFromZero()
{
    Rig rig;
    for (int i = 0; i < 5; ++i)
        rig.acquisition.keyPress('+');
    rig.recorder.start();
    rig.runSamples(1);
    rig.acquisition.keyPress('-');
    rig.acquisition.keyPress('-');
    rig.runSamples(1);
    QCOMPARE(rig.buffer.valeur(1), 0.0);
    QCOMPARE(rig.buffer.valeur(2), -2.0);
    QCOMPARE(rig.fileLines(),
             (QList<QByteArray> {"1;0;03-14-2026;10:05:00\r", "2;-2;03-14-2026;10:05:01\r"}));
}

void TestRecorder::windowFollowsRisingValues()
{
    Rig rig(1, 1);
    rig.recorder.start();
    rig.boardReads(70);
    rig.runSamples(1);
    QCOMPARE(rig.buffer.valeur(1), 274.0);
    QCOMPARE(rig.buffer.borne_basse(), qint16(19));
    QCOMPARE(rig.buffer.borne_haute(), qint16(274));
    rig.boardReads(10);
    rig.runSamples(1);
    QCOMPARE(rig.buffer.valeur(2), 39.0);
    QCOMPARE(rig.buffer.borne_basse(), qint16(19));
}

void TestRecorder::restartAppendsAndRenumbers()
{
    Rig rig;
    QVERIFY(RecordingFile::create(rig.dir.filePath("data_tr.csv"), nullptr));
    rig.recorder.start();
    rig.runSamples(3);
    rig.recorder.toggle();
    QVERIFY(!rig.recorder.isRecording());
    QCOMPARE(rig.buffer.num_mesure(), 3); // the finished recording stays on screen
    rig.monotonic += 5000;
    rig.recorder.toggle();
    QCOMPARE(rig.buffer.num_mesure(), 0);
    rig.runSamples(2);
    const QList<QByteArray> lines = rig.fileLines();
    QCOMPARE(lines.size(), 6);
    QCOMPARE(lines[0] + '\n', RecordingFile::header());
    QVERIFY(lines[3].startsWith("3;"));
    QVERIFY(lines[4].startsWith("1;"));
    QVERIFY(lines[5].startsWith("2;"));
}

void TestRecorder::ledBlinksAndEndsOff()
{
    // Stopped before the first blink, while lit, and while dark: always off afterwards.
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

void TestRecorder::stopsWhenBufferIsFull()
{
    Rig rig;
    QSignalSpy problems(&rig.recorder, &Recorder::stoppedOnProblem);
    rig.recorder.start();
    rig.runSamples(32000);
    QVERIFY(rig.recorder.isRecording());
    QCOMPARE(rig.buffer.num_mesure(), 32000);
    // 8 h 53 min 20 s after the first sample, the next tick would store sample 32001.
    QCOMPARE(rig.monotonic, 10 + qint64(31999) * 1000);
    rig.monotonic = rig.recorder.schedule().nextTickAt();
    rig.recorder.tick();
    QVERIFY(!rig.recorder.isRecording());
    QCOMPARE(rig.buffer.num_mesure(), 32000);
    QCOMPARE(problems.count(), 1);
    QCOMPARE(problems.first().first().toString(),
             QStringLiteral("L'enregistrement est arrêté : la limite de 32000 mesures est "
                            "atteinte.\nToutes les mesures prises sont dans la liste et dans le "
                            "fichier d'enregistrement."));
    QCOMPARE(rig.fileLines().size(), 32000);
    QVERIFY(rig.fileLines().last().startsWith("32000;"));
}

void TestRecorder::stopsWhenFileCannotBeWritten_data()
{
    QTest::addColumn<QString>("path"); // empty: a folder removed after two samples
    QTest::addColumn<QString>("reason");
    QTest::newRow("disk full") << "/dev/full"
                               << "plein";
    QTest::newRow("read-only file")
        << (::geteuid() == 0 ? "/sys/kernel/notes" : "/etc/hostname") << "refusé";
    QTest::newRow("folder gone") << "/nonexistent-ondaris/data.csv"
                                 << "dossier";
    QTest::newRow("folder removed while recording") << ""
                                                    << "dossier";
}

void TestRecorder::stopsWhenFileCannotBeWritten()
{
    QFETCH(QString, path);
    QFETCH(QString, reason);
    Rig rig;
    QTemporaryDir folder;
    rig.settings.setFichier_donnees(path.isEmpty() ? folder.filePath("data_tr.csv") : path);
    QSignalSpy problems(&rig.recorder, &Recorder::stoppedOnProblem);
    QSignalSpy stored(&rig.recorder, &Recorder::sampleStored);
    rig.recorder.start();
    if (path.isEmpty()) {
        rig.runSamples(2);
        QVERIFY(folder.remove());
    }
    rig.runSamples(1);
    QVERIFY(!rig.recorder.isRecording());
    QCOMPARE(stored.count(),
             rig.buffer.num_mesure()); // listed, so the user sees what was not written
    QCOMPARE(problems.count(), 1);
    const QString message = problems.first().first().toString();
    QVERIFY(message.contains(rig.settings.settings().fichier_donnees) && message.contains(reason));
    QCOMPARE(rig.recorder.ledFill(), Recorder::LedDark);
}

void TestRecorder::keepsTimeOverHours()
{
    Rig rig;
    rig.recorder.start();
    const qint64 start = rig.monotonic;
    QRandomGenerator random = seededRandom(Q_FUNC_INFO);
    for (int k = 1; k <= 3 * 3600; ++k) {
        // The timer fires up to 15 ms late; the next one is still armed on the original beat.
        rig.monotonic = rig.recorder.schedule().nextTickAt() + random.bounded(16);
        rig.recorder.tick();
        const qint64 next = start + 10 + qint64(k) * 1000;
        QCOMPARE(rig.recorder.schedule().nextTickAt(), next);
        QCOMPARE(qint64(rig.recorder.timer1().interval()), next - rig.monotonic);
    }
    QCOMPARE(rig.buffer.num_mesure(), 3 * 3600);
    // A tick 1.2 periods late: the next one is already due and runs at once.
    rig.monotonic = rig.recorder.schedule().nextTickAt() + 1200;
    rig.recorder.tick();
    QCOMPARE(rig.recorder.timer1().interval(), 0);
}

QTEST_GUILESS_MAIN(TestRecorder)
#include "tst_recorder.moc"
