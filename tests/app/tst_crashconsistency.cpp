#include "seededrandom.h"
#include "settings/configfile.h"
#include "testfiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestCrashConsistency : public QObject
{
    Q_OBJECT

    // 20 kills each in the suite; ONDARIS_KILLS asks for more in a longer run by hand.
    const int kills = std::max(20, qEnvironmentVariableIntValue("ONDARIS_KILLS"));
    QRandomGenerator random = seededRandom("crash kills");

    // Runs the crash subject in a fresh folder and kills it after a random time up to maxMs.
    QByteArray killed(const char *mode, const QTemporaryDir &folder, int maxMs, QByteArray *out)
    {
        QProcess subject;
        subject.start(QStringLiteral(ONDARIS_CRASHSUBJECT), {mode, folder.path()});
        if (!subject.waitForStarted() || !subject.waitForReadyRead(10000))
            return "not started";
        QDeadlineTimer deadline(20 + random.bounded(maxMs));
        while (!deadline.hasExpired())
            subject.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
        subject.kill();
        subject.waitForFinished(5000);
        *out = subject.readAllStandardOutput();
        return {};
    }

private Q_SLOTS:
    // Killed again and again, each time started again and resuming, the recording ends as one:
    // numbered 1 on, each number once, times never going back, the last line whole. At each kill
    // every listed sample is on disk, and at most one more was written as the kill came.
    void recordingResumesAfterKills()
    {
        QTemporaryDir folder;
        QList<QByteArray> lines;
        for (int kill = 0; kill < kills; ++kill) {
            QByteArray out;
            QCOMPARE(killed("record", folder, 2600, &out), QByteArray());
            const qsizetype at = out.lastIndexOf("listed ");
            const int listed = at < 0 ? 0 : out.mid(at + 7).trimmed().toInt();
            lines = TestFiles::read(folder.filePath("data_tr.csv")).split('\n');
            QVERIFY2(lines.takeLast().isEmpty(), "the last line is whole");
            QVERIFY2(
                lines.size() >= listed && lines.size() <= listed + 1,
                qPrintable(QStringLiteral("%1 lines, %2 listed").arg(lines.size()).arg(listed)));
        }
        QDateTime previous;
        for (int i = 0; i < lines.size(); ++i) {
            const QList<QByteArray> fields = lines[i].chopped(1).split(';');
            const QDateTime time = QDateTime::fromString(
                QString::fromLatin1(fields.value(2) + ' ' + fields.value(3)),
                "MM-dd-yyyy hh:mm:ss");
            QVERIFY2(fields.value(0).toInt() == i + 1 && time.isValid() && !(time < previous),
                     lines[i].constData());
            previous = time;
        }
        QVERIFY(lines.size() >= kills); // each run took one at least
    }
    // The alarm's journal, killed as its events come, holds each event it showed, each line whole.
    void alarmJournalSurvivesKills()
    {
        QTemporaryDir folder;
        int shown = 0;
        for (int kill = 0; kill < kills / 2; ++kill) {
            QByteArray out;
            QCOMPARE(killed("alarm", folder, 3000, &out), QByteArray());
            shown += int(out.count("event "));
            const QByteArray journal = TestFiles::read(folder.filePath("data_tr-alarmes.csv"));
            QVERIFY2(journal.isEmpty() || journal.endsWith("\r\n"), journal.right(40).constData());
            // The events shown, and the interruption each start may add.
            const qsizetype lines = journal.count('\n') - (journal.isEmpty() ? 0 : 1);
            QVERIFY2(lines >= shown && lines <= shown + kill + 1,
                     qPrintable(QStringLiteral("%1 lines, %2 shown").arg(lines).arg(shown)));
        }
        QVERIFY(shown > 0);
    }
    // The settings file rewritten without end is always one whole record or the other.
    void settingsSurviveKills()
    {
        const QByteArray narrow = ConfigFile::encode(Settings {});
        const QByteArray wide
            = ConfigFile::encode(Settings {"data_tr.csv", 1, 0, Settings::WideWidth});
        for (int kill = 0; kill < kills; ++kill) {
            QTemporaryDir folder;
            QByteArray out;
            QCOMPARE(killed("switch", folder, 300, &out), QByteArray());
            const QByteArray bytes = TestFiles::read(folder.filePath("ondaris.cfg"));
            QVERIFY2(bytes == narrow || bytes == wide, bytes.constData());
        }
    }
};

QTEST_GUILESS_MAIN(TestCrashConsistency)
#include "tst_crashconsistency.moc"
