#include "seededrandom.h"
#include "settings/configfile.h"
#include "testfiles.h"

#include <QProcess>
#include <QRegularExpression>
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
    // Every listed sample is on disk, numbered without gaps, the last line whole; at most one
    // more was written as the kill came.
    void recordingSurvivesKills()
    {
        const QRegularExpression sample(
            "^(\\d+);-?\\d+;\\d\\d-\\d\\d-\\d{4};\\d\\d:\\d\\d:\\d\\d\\r$");
        for (int kill = 0; kill < kills; ++kill) {
            QTemporaryDir folder;
            QByteArray out;
            QCOMPARE(killed("record", folder, 2600, &out), QByteArray());
            const qsizetype at = out.lastIndexOf("listed ");
            const int listed = at < 0 ? 0 : out.mid(at + 7).trimmed().toInt();
            const QByteArray bytes = TestFiles::read(folder.filePath("data_tr.csv"));
            QVERIFY2(bytes.isEmpty() || bytes.endsWith("\r\n"), "the last line is whole");
            QList<QByteArray> lines = bytes.split('\n');
            lines.removeLast();
            for (int i = 0; i < lines.size(); ++i)
                QCOMPARE(sample.match(QString::fromLatin1(lines[i])).captured(1).toInt(), i + 1);
            QVERIFY2(
                lines.size() >= listed && lines.size() <= listed + 1,
                qPrintable(QStringLiteral("%1 lines, %2 listed").arg(lines.size()).arg(listed)));
        }
    }
    // Killed again and again, each time started again and resumed, the recording ends as one:
    // numbered 1 on, each number once, times never going back, every sample listed there.
    void recordingResumesAfterKills()
    {
        QTemporaryDir folder;
        int listed = 0;
        for (int kill = 0; kill < kills; ++kill) {
            QByteArray out;
            QCOMPARE(killed("resume", folder, 2600, &out), QByteArray());
            const qsizetype at = out.lastIndexOf("listed ");
            listed = std::max(listed, at < 0 ? 0 : out.mid(at + 7).trimmed().toInt());
        }
        const QByteArray bytes = TestFiles::read(folder.filePath("data_tr.csv"));
        QList<QByteArray> lines = bytes.split('\n');
        QVERIFY2(lines.takeLast().isEmpty(), "the last line is whole");
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
        QVERIFY2(lines.size() >= listed && lines.size() >= kills,
                 qPrintable(QStringLiteral("%1 lines, %2 listed").arg(lines.size()).arg(listed)));
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
