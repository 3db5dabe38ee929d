#include "recording/loadedlines.h"
#include "recording/measurementbuffer.h"
#include "recording/recordingfile.h"
#include "testfiles.h"
#include "viewer/recordingloader.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using Outcome = RecordingLoader::Outcome;
Q_DECLARE_METATYPE(RecordingLoader::Outcome)

namespace {

QByteArray samples(int from, int to, const char *end = "\r\n")
{
    QByteArray out;
    for (int i = from; i <= to; ++i)
        out += QByteArray::number(i) + ';' + QByteArray::number(i * 10) + ";12-06-2026;04:38:58"
            + end;
    return out;
}

// Hands over its bytes, then fails, as a USB stick pulled out during a load.
class FailingDevice final : public QBuffer
{
    qint64 readData(char *out, qint64 max) override
    {
        const qint64 n = QBuffer::readData(out, max);
        if (n == 0)
            setErrorString(QStringLiteral("Erreur d'entrée-sortie"));
        return n == 0 ? -1 : n;
    }
};

} // namespace

class TestRecordingLoader : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path = dir.filePath("rec.csv");
    MeasurementBuffer buffer;
    LoadedLines lines;
    RecordingLoader::Result load(const QByteArray &bytes, RecordingLoader::Hooks hooks = {})
    {
        TestFiles::write(path, bytes);
        buffer.restart();
        lines = LoadedLines();
        return RecordingLoader::load(path, buffer, lines, hooks);
    }

private Q_SLOTS:
    void loads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("header"); // null: not checked
        QTest::addColumn<double>("lastValue");
        const QByteArray h = RecordingFile::header();
        const QString n = "N°Record;Valeur;Date;Time";
        QTest::newRow("as written") << h + samples(1, 5) << Outcome::Loaded << 5 << n << 50.0;
        QTest::newRow("LF") << h.chopped(2) + '\n' + samples(1, 3, "\n") << Outcome::Loaded << 3
                            << n << 30.0;
        QTest::newRow("two recordings")
            << h + samples(1, 10) + samples(1, 5) << Outcome::Loaded << 15 << n << 50.0;
        QTest::newRow("third malformed") << h + samples(1, 2) + "1234567;9\r\n" + samples(4, 5)
                                         << Outcome::Malformed << 3 << n << -1.0;
        QTest::newRow("empty last line") << h + samples(1, 2) + "\r\n"
                                         << Outcome::Malformed << 3 << n << -1.0;
        // Recorded into before any header was made: the first line is sample 1.
        QTest::newRow("no header") << samples(1, 3) << Outcome::Loaded << 3 << n << 30.0;
        QTest::newRow("no header, one line") << samples(1, 1) << Outcome::Loaded << 1 << n << 10.0;
        QTest::newRow("header only") << h << Outcome::NoSampleLine << 0 << n << 0.0;
        QTest::newRow("other header")
            << "t;v\r\n" + samples(1, 2) << Outcome::Loaded << 2 << "t;v" << 20.0;
        QTest::newRow("empty") << QByteArray() << Outcome::NoSampleLine << 0 << "" << 0.0;
        QTest::newRow("10 MB line")
            << h + QByteArray(10 << 20, '7') << Outcome::Malformed << 1 << n << -1.0;
        QTest::newRow("long header") << QByteArray(5000, 'h') + "\r\n" + samples(1, 2)
                                     << Outcome::Malformed << 0 << "" << 0.0;
        QByteArray binary(4096, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char((i * 7919) % 251);
        QTest::newRow("binary") << binary << Outcome::Malformed << 1 << QString() << -1.0;
        QTest::newRow("32000") << h + samples(1, 32000) << Outcome::Loaded << 32000 << n
                               << 320000.0;
        QTest::newRow("32001") << h + samples(1, 32001) << Outcome::TooManyLines << 32000 << n
                               << 320000.0;
    }
    void loads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, count);
        QFETCH(QString, header);
        const auto result = load(bytes);
        QTEST(result.outcome, "outcome");
        QCOMPARE(result.error, QString()); // only a failed read has a reason
        QCOMPARE(buffer.num_mesure(), count);
        if (!header.isNull())
            QCOMPARE(lines.entete_fichier(), header);
        if (count > 0)
            QTEST(buffer.valeur(count), "lastValue");
        if (count > 1 && header.startsWith(u'N'))
            QCOMPARE(std::pair(buffer.valeur(1), lines.ligne_fichier(1).left(5)),
                     std::pair(10.0, QString("1;10;")));
    }
    void missingFile()
    {
        const auto result = RecordingLoader::load(dir.filePath("none.csv"), buffer, lines);
        QVERIFY(result.outcome == Outcome::OpenFailed && !result.error.isEmpty());
    }
    // What was read before the failure stays; the system's reason is kept for the message.
    void readFailure()
    {
        for (const auto &[bytes, count] :
             {std::pair(QByteArray(), 0), {RecordingFile::header() + samples(1, 2) + "3;3", 2}}) {
            FailingDevice device;
            device.setData(bytes);
            device.open(QIODevice::ReadOnly);
            buffer.restart();
            const auto result = RecordingLoader::load(device, 1000, buffer, lines, {});
            QCOMPARE(result.outcome, Outcome::ReadError);
            QCOMPARE(result.error, QStringLiteral("Erreur d'entrée-sortie"));
            QCOMPARE(buffer.num_mesure(), count);
        }
    }
    // Progress from 0 to where the reading ended; a yield after each slow moment.
    void progressAndYields()
    {
        const QByteArray bytes = RecordingFile::header() + samples(1, 20000);
        QList<qint64> positions;
        int yields = 0;
        RecordingLoader::Hooks hooks;
        hooks.progress = [&](qint64 position, qint64 size) {
            QCOMPARE(size, bytes.size());
            positions << position;
        };
        hooks.yield = [&] {
            ++yields;
        };
        hooks.yieldIntervalMs = 0;
        QCOMPARE(load(bytes, hooks).outcome, Outcome::Loaded);
        QVERIFY(std::is_sorted(positions.begin(), positions.end()) && yields > 0);
        QCOMPARE(std::pair(positions.first(), positions.last()),
                 std::pair(qint64(0), bytes.size()));
        yields = 0;
        hooks.yieldIntervalMs = 1;
        hooks.progress = [&](qint64 position, qint64) {
            if ((positions << position).size() % 2000 == 0)
                QThread::msleep(3);
        };
        QCOMPARE(load(bytes, hooks).outcome, Outcome::Loaded);
        QVERIFY2(yields >= 10, qPrintable(QString::number(yields)));
        // Stopped at a bad line: the last progress is where the reading stopped.
        hooks.progress = [&](qint64 position, qint64) {
            positions << position;
        };
        const QByteArray good = RecordingFile::header() + samples(1, 2) + "x\r\n";
        QCOMPARE(load(good + samples(4, 9), hooks).outcome, Outcome::Malformed);
        QCOMPARE(positions.last(), good.size());
    }
    void hugeSparseFileStaysBounded()
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(qint64(1) << 30)); // 1 GiB, no line end
        f.close();
        qint64 furthest = 0;
        RecordingLoader::Hooks hooks;
        hooks.progress = [&](qint64 position, qint64) {
            furthest = std::max(furthest, position);
        };
        const auto result = RecordingLoader::load(path, buffer, lines, hooks);
        QCOMPARE(result.outcome, Outcome::Malformed);
        QCOMPARE(result.size, qint64(1) << 30);
        QVERIFY(lines.entete_fichier().size() <= 4096);
        QVERIFY2(furthest <= 128 * 1024, "stops at the first over-long line");
    }
    void fileReplacedWhileLoading()
    {
        const QString other = dir.filePath("other.csv");
        TestFiles::write(other, "garbage without any line end");
        bool replaced = false;
        RecordingLoader::Hooks hooks;
        hooks.yieldIntervalMs = 0;
        hooks.yield = [&] {
            if (!replaced && buffer.num_mesure() > 100)
                replaced = QFile::remove(path) && QFile::rename(other, path);
        };
        QCOMPARE(load(RecordingFile::header() + samples(1, 20000), hooks).outcome, Outcome::Loaded);
        QVERIFY(replaced);
        QCOMPARE(buffer.num_mesure(), 20000); // the file opened is read to its end
    }
};

QTEST_GUILESS_MAIN(TestRecordingLoader)
#include "tst_recordingloader.moc"
