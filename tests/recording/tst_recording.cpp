#include "acquisition/acquisition.h"
#include "fakehidtransport.h"
#include "recording/alarmjournal.h"
#include "recording/linereader.h"
#include "recording/recorder.h"
#include "recording/recordingfile.h"
#include "recording/samplestore.h"
#include "recording/sampletext.h"
#include "recording/samplingschedule.h"
#include "recording/workbookfile.h"
#include "sampling.h"
#include "seededrandom.h"
#include "syscallfaults.h"
#include "testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

Q_DECLARE_METATYPE(std::optional<double>)

namespace {

const QByteArray kLine = "1;7;12-06-2026;10:00:00\r\n";

// Every line of the data, "!" standing for a line that was too long; checks that the reader's
// position is then the end of what it read, and that it never held more than a line and a block.
QStringList linesOf(const QByteArray &data)
{
    QBuffer device;
    device.setData(data);
    device.open(QIODevice::ReadOnly);
    LineReader reader(device);
    QStringList lines;
    QByteArrayView line;
    for (LineReader::Status status; (status = reader.next(line)) != LineReader::Status::End;) {
        if (reader.buffered() > LineReader::MaxLineLength + 1 + 64 * 1024)
            return {"memory"};
        lines << (status == LineReader::Status::Line ? QString::fromLatin1(line) : "!");
        if (status != LineReader::Status::Line)
            return lines;
    }
    return reader.position() == data.size() ? lines : QStringList {"position"};
}

// A recorder over a fake board and a clock that moves only when the test says so; the file
// in memory where there is such a file system, as many small synced appends are made.
struct Rig
{
    QTemporaryDir dir {QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                           ? QStringLiteral("/dev/shm/ondarisXXXXXX")
                           : QDir::tempPath() + "/ondarisXXXXXX"};
    Acquisition acquisition {{}, std::make_unique<FakeHidTransport>()};
    SampleStore store;
    Recorder::Plan plan {1000, 1, dir.filePath("data_tr.csv")};
    qint64 monotonic = 0;
    Recorder recorder {store, [this] { return acquisition.sampleValue(); },
                       testClock(monotonic, QDateTime(QDate(2026, 3, 14), QTime(10, 5)))};
    const QTimer &timer1 = *recorder.findChild<QTimer *>("Timer1");

    void start() { recorder.start(plan); }
    void run(int n) { runSamples(recorder, store, monotonic, n); }
    QByteArray file() const { return TestFiles::read(plan.file); }
};

// The cells of a workbook's sheet, row by row, read with unzip.
QList<QStringList> sheetOf(const QString &path)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), path, "xl/worksheets/sheet1.xml"});
    unzip.waitForFinished();
    QList<QStringList> rows;
    for (QXmlStreamReader xml(unzip.readAllStandardOutput()); !xml.atEnd();) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"row")
            rows.append(QStringList());
        else if (xml.isStartElement() && xml.name() == u"c" && !rows.isEmpty())
            rows.last().append(xml.readElementText(QXmlStreamReader::IncludeChildElements));
    }
    return rows;
}

} // namespace

class TestRecording : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parsesValues_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<std::optional<double>>("value");
        const std::optional<double> bad;
        const auto row = [](const char *line, std::optional<double> value) {
            QTest::newRow(line) << QByteArray(line) << value;
        };
        row("1;392;12-06-2026;04:38:58", 392);
        row("32000;999;d;t", 999);
        row(";7;d;t", 7);
        row("12345;8", 8); // ';' at the sixth character
        row("", bad);
        row("5;10000;d;t", 10000);
        row("5;-1000;d;t", -1000);
        row("5; 42 ;d;t", 42);
        row("5;3.5;d;t", 3.5);
        row("5;17;d;t;x;y", 17);
        row("5;;d;t", bad);
        row("5;12a;d;t", bad);
        row("5;-;d;t", bad);
        row("5;1e5;d;t", bad);
        QTest::newRow("400 digits") << QByteArray("5;") + QByteArray(400, '9') << bad;
    }
    void parsesValues()
    {
        QFETCH(QByteArray, line);
        const std::optional<Sample> sample = RecordingFile::read(line, 5);
        QTEST(sample ? std::optional(sample->value) : std::nullopt, "value");
    }
    // A line either lands whole or leaves the file as it was, with the reason in French: a
    // file that cannot be opened, an interrupted write taken up again, a write or a sync that
    // fails (the line never reached the medium), a file that cannot be synced at all, a file
    // that may grow by 10 more bytes (it takes 10 bytes of the line, then refuses the rest).
    void faultsAtWriteOrSync_data()
    {
        QTest::addColumn<QString>("path"); // a bare name: a recording file the test makes
        QTest::addColumn<int>("failedWrites");
        QTest::addColumn<int>("writeErrno");
        QTest::addColumn<int>("syncErrno");
        QTest::addColumn<int>("room"); // the bytes the file may grow by; -1: no limit
        QTest::addColumn<QString>("reason"); // empty: appended
        const QString protectedFile = ::geteuid() == 0 ? "/sys/kernel/notes" : "/etc/hostname";
        const QString ours = "data_tr.csv";
        QTest::newRow("disk full") << "/dev/full" << 0 << 0 << 0 << -1 << "plein";
        QTest::newRow("protected") << protectedFile << 0 << 0 << 0 << -1 << "accès refusé";
        QTest::newRow("no name") << "" << 0 << 0 << 0 << -1 << "dossier";
        QTest::newRow("interrupted twice") << ours << 2 << EINTR << 0 << -1 << "";
        QTest::newRow("write: I/O error") << ours << 1 << EIO << 0 << -1 << "entrée-sortie";
        QTest::newRow("sync: disk full") << ours << 0 << 0 << ENOSPC << -1 << "plein";
        QTest::newRow("sync: I/O error") << ours << 0 << 0 << EIO << -1 << "entrée-sortie";
        QTest::newRow("sync unsupported") << ours << 0 << 0 << EINVAL << -1 << "";
        QTest::newRow("file size limit") << ours << 0 << 0 << 0 << 10 << "trop gros";
    }
    void faultsAtWriteOrSync()
    {
        QFETCH(QString, path);
        QFETCH(int, failedWrites);
        QFETCH(int, writeErrno);
        QFETCH(int, syncErrno);
        QFETCH(int, room);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const bool ours = !path.isEmpty() && QDir::isRelativePath(path);
        const QString file = ours ? dir.filePath(path) : path;
        QVERIFY(!ours || RecordingFile::create(file, nullptr));
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit old {};
        ::getrlimit(RLIMIT_FSIZE, &old);
        rlimit limited = old;
        limited.rlim_cur = rlim_t(RecordingFile::header().size() + room);
        QVERIFY(room < 0 || ::setrlimit(RLIMIT_FSIZE, &limited) == 0);
        QString error;
        SyscallFaults::failWrites(failedWrites, writeErrno);
        SyscallFaults::failNextSync(syncErrno);
        const bool appended = RecordingFile::append(file, kLine, &error);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
        SyscallFaults::failWrites(0, 0);
        SyscallFaults::failNextSync(0);
        QVERIFY2(appended == reason.isEmpty() && error.contains(reason), qPrintable(error));
        if (ours)
            QCOMPARE(TestFiles::read(file), RecordingFile::header() + (appended ? kLine : ""));
    }
    void splits_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList {"a", "b"};
        QTest::newRow("CR") << QByteArray("a\rb\r") << QStringList {"a", "b"};
        QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList {"a", "b"};
        QTest::newRow("no final end") << QByteArray("a\r\nb") << QStringList {"a", "b"};
        QTest::newRow("empty lines")
            << QByteArray("a\r\n\r\nb\r\n\r\n") << QStringList {"a", "", "b", ""};
        QTest::newRow("LF CR") << QByteArray("a\n\rb") << QStringList {"a", "", "b"};
        QTest::newRow("empty") << QByteArray() << QStringList {};
        QTest::newRow("NUL") << QByteArray("a\0b\n", 4)
                             << QStringList {QString::fromLatin1("a\0b", 3)};
        const QByteArray longest(LineReader::MaxLineLength, 'y');
        QTest::newRow("longest") << longest + "\r\nz"
                                 << QStringList {QString::fromLatin1(longest), "z"};
        QTest::newRow("too long") << "ok\n" + longest + "y\r\nz" << QStringList {"ok", "!"};
        QTest::newRow("10 MB") << QByteArray(10 << 20, 'q') << QStringList {"!"};
        // The first 64 KiB block ends just before the last line's end: the next read brings it.
        QByteArray block;
        QStringList full;
        while (block.size() < 64 * 1024 - 1) {
            block += "xxxxxxxxxxxxxx\n";
            full << QStringLiteral("xxxxxxxxxxxxxx");
        }
        QTest::newRow("end alone in the last read") << block + "b\n" << full + QStringList {"b"};
        // Lines of 15 bytes and CR LF, shifted: somewhere a CR ends a block and its LF starts
        // the next.
        QByteArray data;
        QStringList expected;
        for (int i = 0; data.size() < 3 * 64 * 1024; ++i) {
            data += QByteArray::number(i).rightJustified(15, '0') + "\r\n";
            expected << QString::number(i).rightJustified(15, u'0');
        }
        for (int shift = 0; shift < 17; ++shift) {
            expected.first() = QString(shift, u'x') + QStringLiteral("000000000000000");
            QTest::addRow("CR LF across blocks, %d", shift)
                << QByteArray(shift, 'x') + data << expected;
        }
    }
    void splits()
    {
        QFETCH(QByteArray, data);
        QTEST(linesOf(data), "lines");
    }
    // Suspend counts: the clock is CLOCK_BOOTTIME, and ticks missed while asleep count toward
    // the divisor, so that samples stay on their time of day.
    void ticksMissedWhileAsleep()
    {
        const auto bootMs = [] {
            timespec boot {};
            ::clock_gettime(CLOCK_BOOTTIME, &boot);
            return qint64(boot.tv_sec) * 1000 + boot.tv_nsec / 1000000;
        };
        const qint64 before = bootMs();
        const qint64 read = Recorder::Clock::system().monotonicMs();
        QVERIFY2(before <= read && read <= bootMs(), qPrintable(QString::number(read - before)));

        SamplingSchedule schedule;
        schedule.start(0, 1000, 1);
        QVERIFY(schedule.onTick(10));
        QVERIFY(schedule.onTick(3600010 + 300)); // an hour asleep: one sample on waking
        QCOMPARE(schedule.nextTickAt(), 3601010);
        QVERIFY(schedule.onTick(3601010));
        QVERIFY(schedule.onTick(3604010)); // two periods late
        QCOMPARE(schedule.nextTickAt(), 3605010);

        SamplingSchedule daily;
        daily.start(0, 60000, 1440);
        QVERIFY(daily.onTick(10));
        QVERIFY(!daily.onTick(10 + 8 * 3600000 + 123));
        while (daily.nextTickAt() < 24 * 3600000 + 10)
            QVERIFY(!daily.onTick(daily.nextTickAt()));
        QCOMPARE(daily.nextTickAt(), 24 * 3600000 + 10);
        QVERIFY(daily.onTick(daily.nextTickAt()));
    }
    // Each recording appends to the file, after the 27 bytes of its header, and numbers from 1, its
    // first sample 10 ms after the start, the next one period later: 15 ticks of a minute here.
    void restartAppendsAndRenumbers()
    {
        Rig rig;
        QVERIFY(RecordingFile::create(rig.plan.file, nullptr));
        rig.start();
        rig.recorder.readingRefreshed(); // a refresh before the first tick takes nothing
        rig.run(2);
        rig.recorder.stop();
        QVERIFY(!rig.recorder.isRecording());
        QCOMPARE(rig.store.num_mesure(), 2); // the finished recording stays on screen
        rig.monotonic += 5000;
        rig.plan = {60000, 15, rig.plan.file};
        rig.start();
        QCOMPARE(rig.store.num_mesure(), 0);
        QCOMPARE(rig.timer1.interval(), 10); // from the new start, not the last recording
        rig.run(1);
        rig.acquisition.keyPress('-');
        rig.run(1);
        QCOMPARE(rig.monotonic, 6020 + 15 * 60000);
        QCOMPARE(rig.file(),
                 RecordingFile::header()
                     + "1;0;03-14-2026;10:05:00\r\n2;0;03-14-2026;10:05:01\r\n"
                       "1;0;03-14-2026;10:05:06\r\n2;-1;03-14-2026;10:20:06\r\n");
        QCOMPARE(SampleText::row(rig.store.at(2)), "2 ---- -001 --- 03-14-2026 --- 10:20:06");
    }
    // 8 h 53 min 20 s at one a second; the tick that would store sample 32001 stops it (the
    // loader's limit rests on the store's too). Reads outside 0..32000 give the empty sample 0.
    void stopsWhenBufferIsFull()
    {
        Rig rig;
        QSignalSpy problems(&rig.recorder, &Recorder::stoppedOnProblem);
        QSignalSpy grew(&rig.store, &SampleStore::grew);
        rig.start();
        rig.run(32001);
        QVERIFY(!rig.recorder.isRecording() && !rig.timer1.isActive());
        QCOMPARE(rig.monotonic, 10 + qint64(32000) * 1000);
        QCOMPARE(std::tuple(rig.store.num_mesure(), rig.store.at(32000).number, int(grew.count())),
                 std::tuple(32000, 32000, 32000));
        QVERIFY(rig.store.isFull() && !rig.store.add({}));
        for (int index : {-1, 32001, std::numeric_limits<int>::min()})
            QVERIFY(rig.store.valeur(index) == 0 && rig.store.at(index).number == 0);
        QCOMPARE(problems.count(), 1);
        QVERIFY(problems.first().first().toString().contains("limite de 32000 mesures"));
        QVERIFY(rig.file().endsWith(
            "\r\n31999;0;03-14-2026;18:58:18\r\n32000;0;03-14-2026;18:58:19\r\n"));
    }
    // The folder removed under a running recording: stopped, told why, nothing claimed stored.
    void stopsWhenFolderIsRemoved()
    {
        Rig rig;
        QTemporaryDir folder;
        rig.plan.file = folder.filePath("data_tr.csv");
        QSignalSpy problems(&rig.recorder, &Recorder::stoppedOnProblem);
        QSignalSpy stored(&rig.store, &SampleStore::grew);
        rig.start();
        rig.run(2);
        QVERIFY(folder.remove());
        rig.run(1);
        QVERIFY(!rig.recorder.isRecording());
        QCOMPARE(stored.count(), rig.store.num_mesure()); // listed: the user sees what was lost
        QCOMPARE(problems.count(), 1);
        const QString message = problems.first().first().toString();
        QVERIFY2(message.contains("« " + rig.plan.file + " »") && message.contains("dossier"),
                 qPrintable(message));
    }
    void keepsTimeOverHours()
    {
        Rig rig;
        rig.start();
        QRandomGenerator random = seededRandom(Q_FUNC_INFO);
        for (int k = 1; k <= 3 * 3600; ++k) {
            // Up to 15 ms late, the next tick is still armed on the original beat.
            rig.monotonic += rig.timer1.interval() + random.bounded(16);
            rig.recorder.Timer1_Timer();
            QCOMPARE(rig.monotonic + rig.timer1.interval(), 10 + qint64(k) * 1000);
        }
        QCOMPARE(rig.store.num_mesure(), 3 * 3600);
        rig.monotonic += rig.timer1.interval() + 1200; // the next is due already
        rig.recorder.Timer1_Timer();
        QCOMPARE(rig.timer1.interval(), 0);
    }
    // A workbook holds numbers as numbers, the unit in the value's title, the recorded value
    // beside it, dates as days from March 1900 on and as text before, a viewed line's fields
    // after its value as text; it is not written into a missing folder.
    void workbook_data()
    {
        QTest::addColumn<SensorScale>("scale");
        QTest::addColumn<QByteArray>("line"); // of a viewed recording file
        QTest::addColumn<QStringList>("cells"); // the value's title, then the sample's cells
        // Dates as days since 1899-12-30, as spreadsheets count them.
        QTest::newRow("unit") << SensorScale(0, 100, "°C")
                              << QByteArray("1;250;03-02-1900;12:00:00")
                              << QStringList {"Valeur (°C)", "1", "25", "250", "62.5"};
        QTest::newRow("1900-02-28") << SensorScale() << QByteArray("1;7;02-28-1900;23:59:59")
                                    << QStringList {"Valeur", "1", "7", "7", "1900-02-28 23:59:59"};
        QTest::newRow("1900-03-01") << SensorScale() << QByteArray("1;7;03-01-1900;00:00:00")
                                    << QStringList {"Valeur", "1", "7", "7", "61"};
        QTest::newRow("no date") << SensorScale() << QByteArray("1;7;a,b;\"c\"")
                                 << QStringList {"Valeur", "1", "7", "7", "a,b", "\"c\""};
    }
    void workbook()
    {
        QFETCH(SensorScale, scale);
        QFETCH(QByteArray, line);
        QFETCH(QStringList, cells);
        if (QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty())
            QSKIP("unzip is missing");
        SampleStore store;
        store.add(RecordingFile::read(line, 1).value());
        store.setScaleFrom(1, scale);
        QTemporaryDir dir;
        QString error;
        QVERIFY(!WorkbookFile::write(dir.filePath("absent/x.xlsx"), store, 1, 1, {}, &error)
                && !error.isEmpty());
        QVERIFY(WorkbookFile::write(dir.filePath("x.xlsx"), store, 1, 1, "rec.csv", &error));
        const QStringList titles {"N°", cells.takeFirst(), "Valeur enregistrée", "Date et heure"};
        QCOMPARE(sheetOf(dir.filePath("x.xlsx")), QList<QStringList>({titles, cells}));
    }

    // The journal reads back as it was written: each event a line, whole even after a line
    // left half written, and the periods and the raise left waiting found again from it.
    void alarmJournal()
    {
        QTemporaryDir dir;
        const QString path = AlarmJournal::pathFor(dir.filePath("serre.csv"));
        QCOMPARE(QFileInfo(path).fileName(), "serre-alarmes.csv");
        using T = AlarmEvent::Type;
        const QDateTime t(QDate(2026, 12, 9), QTime(14, 2, 11));
        const std::vector<AlarmEvent> events {{T::High, t, 41.3, 40},
                                              {T::Acknowledged, t.addSecs(5), {}, {}},
                                              {T::Back, t.addSecs(60), 39.5, 40},
                                              {T::Silent, t.addSecs(90), {}, {}},
                                              {T::Low, t.addSecs(100), -2.5, 0},
                                              {T::Interrupted, t.addSecs(120), {}, {}},
                                              {T::Silent, t.addSecs(130), {}, {}}};
        const SensorScale scale(-10, 40, "°C");
        const QLocale french(QLocale::French);
        for (std::size_t i = 0; i < events.size(); ++i) {
            QVERIFY(AlarmJournal::append(path, events[i], scale, french, nullptr));
            if (i == 2) // a line that a power cut left half written
                RecordingFile::append(path, "2026-12-09;14:03:30;Capteur m", nullptr);
        }
        const QList<QByteArray> lines = TestFiles::read(path).split('\n');
        QCOMPARE(lines[0],
                 QByteArray("\xEF\xBB\xBF") + "Date;Heure;Événement;Valeur;Limite;Unité\r");
        QCOMPARE(lines[1], "2026-12-09;14:02:11;Alarme haute;41,3;40,0;°C\r");
        QCOMPARE(lines[2], "2026-12-09;14:02:16;Acquittée;;;\r");
        QCOMPARE(lines[4], "2026-12-09;14:03:30;Capteur m\r");
        QCOMPARE(AlarmJournal::read(path), events);
        QVERIFY(AlarmJournal::read(dir.filePath("none.csv")).empty());

        const std::vector<AlarmJournal::Period> periods = AlarmJournal::periods(events);
        QCOMPARE(periods.size(), 4u);
        const auto span = [&](std::size_t i) {
            return QStringLiteral("%1+%2")
                .arg(t.secsTo(periods[i].from))
                .arg(periods[i].to.isValid() ? t.secsTo(periods[i].to) : -1);
        };
        QCOMPARE(span(0), "0+60");
        QCOMPARE(span(1), "90+120"); // silent until the watch was interrupted
        QCOMPARE(span(2), "100+120");
        QCOMPARE(span(3), "130+-1"); // lasts
        QVERIFY(AlarmJournal::lasts(events));
        QCOMPARE(AlarmJournal::unacknowledged(events)->at, t.addSecs(130));
        QVERIFY(!AlarmJournal::unacknowledged({events.begin(), events.begin() + 2}));
    }

    void alarmBands_data()
    {
        QTest::addColumn<QString>("periods"); // from-to in seconds after the first sample
        QTest::addColumn<QString>("bands"); // first-last samples, their alarm
        QTest::newRow("none") << ""
                              << "";
        QTest::newRow("one, ends before a sample") << "10-20"
                                                   << "11-20H";
        QTest::newRow("from the first sample, lasting") << "0-"
                                                        << "1-40H";
        QTest::newRow("between two samples") << "10.5-10.9"
                                             << "";
        QTest::newRow("silent inside a limit passed") << "10-30 S15-20"
                                                      << "11-15H 16-20S 21-30H";
        QTest::newRow("two apart") << "2-3 35-38"
                                   << "3-3H 36-38H";
    }
    // Samples a second apart, marked with the period they were taken in, now and as they come.
    void alarmBands()
    {
        QFETCH(QString, periods);
        QFETCH(QString, bands);
        const QDateTime t(QDate(2026, 12, 9), QTime(14, 0));
        std::vector<AlarmJournal::Period> list;
        for (QString period : periods.split(u' ', Qt::SkipEmptyParts)) {
            const bool silent = period.startsWith(u'S');
            period.remove(u'S');
            const double to = period.section(u'-', 1).toDouble();
            list.push_back({t.addMSecs(qint64(period.section(u'-', 0, 0).toDouble() * 1000)),
                            period.endsWith(u'-') ? QDateTime() : t.addMSecs(qint64(to * 1000)),
                            silent ? AlarmEvent::Type::Silent : AlarmEvent::Type::High});
        }
        std::sort(list.begin(), list.end(),
                  [](const auto &a, const auto &b) { return a.from < b.from; });
        SampleStore before, after;
        const auto add = [&](SampleStore &store, int from, int to) {
            for (int i = from; i <= to; ++i)
                store.add({0, 5, t.addSecs(i - 1).date(), t.addSecs(i - 1).time()});
        };
        add(before, 1, 40);
        before.setAlarmPeriods(list);
        after.setAlarmPeriods(list);
        add(after, 1, 40);
        for (const SampleStore *store : {&before, &after}) {
            QString seen;
            for (const auto &band : store->alarmBands())
                seen += QStringLiteral("%1-%2%3 ")
                            .arg(band.first)
                            .arg(band.last)
                            .arg(QChar(band.type == AlarmEvent::Type::Silent ? u'S' : u'H'));
            QCOMPARE(seen.trimmed(), bands);
            for (int i = 0; i <= 41; ++i) {
                const bool in
                    = std::any_of(store->alarmBands().begin(), store->alarmBands().end(),
                                  [i](const auto &b) { return i >= b.first && i <= b.last; });
                QCOMPARE(store->alarmAt(i).has_value(), in);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestRecording)
#include "tst_recording.moc"
