#include "recording/loadedlines.h"
#include "recording/measurementbuffer.h"
#include "recording/recordingfile.h"
#include "viewer/recordingloader.h"

#include <QFile>
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

QString write(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath("rec.csv");
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    return path;
}

} // namespace

class TestRecordingLoader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void loads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("header");
        QTest::addColumn<double>("lastValue");
        const QByteArray h = RecordingFile::header();
        QTest::newRow("written by the program")
            << h + samples(1, 5) << Outcome::Loaded << 5 << "N°Record;Valeur;Date;Time" << 50.0;
        QTest::newRow("Linux line ends")
            << h.chopped(2) + '\n' + samples(1, 3, "\n") << Outcome::Loaded << 3
            << "N°Record;Valeur;Date;Time" << 30.0;
        QTest::newRow("two recordings in a row")
            << h + samples(1, 10) + samples(1, 5) << Outcome::Loaded << 15
            << "N°Record;Valeur;Date;Time" << 50.0;
        QTest::newRow("third line malformed")
            << h + samples(1, 2) + "1234567;9\r\n" + samples(4, 5) << Outcome::Malformed << 3
            << "N°Record;Valeur;Date;Time" << -1.0;
        QTest::newRow("empty last line")
            << h + samples(1, 2) + "\r\n"
            << Outcome::Malformed << 3 << "N°Record;Valeur;Date;Time" << -1.0;
        QTest::newRow("no header: first sample lost")
            << samples(1, 3) << Outcome::Loaded << 2 << "1;10;12-06-2026;04:38:58" << 30.0;
        QTest::newRow("header only")
            << h << Outcome::NoSampleLine << 0 << "N°Record;Valeur;Date;Time" << 0.0;
        QTest::newRow("empty file") << QByteArray() << Outcome::NoSampleLine << 0 << "" << 0.0;
        QTest::newRow("10 MB line") << h + QByteArray(10 << 20, '7') << Outcome::Malformed << 1
                                    << "N°Record;Valeur;Date;Time" << -1.0;
        QTest::newRow("long header") << QByteArray(5000, 'h') + "\r\n" + samples(1, 2)
                                     << Outcome::Malformed << 0 << "" << 0.0;
        QByteArray binary(4096, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = char((i * 7919) % 251);
        QTest::newRow("binary garbage") << binary << Outcome::Malformed << 1 << QString() << -1.0;
    }
    void loads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Outcome, outcome);
        QFETCH(int, count);
        QFETCH(QString, header);
        QFETCH(double, lastValue);
        QTemporaryDir dir;
        MeasurementBuffer buffer;
        LoadedLines lines;
        const auto result = RecordingLoader::load(write(dir, bytes), buffer, lines);
        QCOMPARE(result.outcome, outcome);
        QCOMPARE(result.error, QString()); // only a failed read has a reason
        QCOMPARE(buffer.num_mesure(), count);
        if (!header.isNull())
            QCOMPARE(lines.entete_fichier(), header);
        if (count > 0)
            QCOMPARE(buffer.valeur(count), lastValue);
        if (outcome == Outcome::Malformed && count > 1)
            QCOMPARE(buffer.valeur(1), 10.0);
    }
    void stopsAfter32000Lines()
    {
        QTemporaryDir dir;
        const QString path = write(dir, RecordingFile::header() + samples(1, 32001));
        MeasurementBuffer buffer;
        LoadedLines lines;
        QCOMPARE(RecordingLoader::load(path, buffer, lines).outcome, Outcome::TooManyLines);
        QCOMPARE(buffer.num_mesure(), 32000);
        QCOMPARE(buffer.valeur(32000), 320000.0);
        QCOMPARE(lines.ligne_fichier(32000), QStringLiteral("32000;320000;12-06-2026;04:38:58"));

        write(dir, RecordingFile::header() + samples(1, 32000));
        buffer.restart();
        QCOMPARE(RecordingLoader::load(path, buffer, lines).outcome, Outcome::Loaded);
        QCOMPARE(buffer.num_mesure(), 32000);
    }
    void progressAndYields()
    {
        QTemporaryDir dir;
        const QByteArray bytes = RecordingFile::header() + samples(1, 20000);
        const QString path = write(dir, bytes);
        MeasurementBuffer buffer;
        LoadedLines lines;
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
        QCOMPARE(RecordingLoader::load(path, buffer, lines, hooks).outcome, Outcome::Loaded);
        QVERIFY(std::is_sorted(positions.begin(), positions.end()));
        QCOMPARE(positions.first(), 0);
        QCOMPARE(positions.last(), bytes.size());
        QVERIFY(yields > 0);

        // A slow moment (here, in the progress hook) is followed by a yield, every time.
        positions.clear();
        yields = 0;
        hooks.yieldIntervalMs = 1;
        hooks.progress = [&](qint64 position, qint64) {
            if ((positions << position).size() % 2000 == 0)
                QThread::msleep(3);
        };
        buffer.restart();
        QCOMPARE(RecordingLoader::load(path, buffer, lines, hooks).outcome, Outcome::Loaded);
        QVERIFY2(yields >= 10, qPrintable(QString::number(yields)));
    }
    void hugeSparseFileStaysBounded()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("sparse.csv");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(qint64(1) << 30)); // 1 GiB of zeros, no line end
        f.close();
        MeasurementBuffer buffer;
        LoadedLines lines;
        qint64 furthest = 0;
        RecordingLoader::Hooks hooks;
        hooks.progress = [&](qint64 position, qint64) {
            furthest = std::max(furthest, position);
        };
        const auto result = RecordingLoader::load(path, buffer, lines, hooks);
        QCOMPARE(result.outcome, Outcome::Malformed);
        QCOMPARE(result.size, qint64(1) << 30);
        QVERIFY(lines.entete_fichier().size() <= 4096);
        QVERIFY2(furthest <= 128 * 1024,
                 "stops at the first over-long line instead of reading 1 GiB");
    }
    void fileReplacedWhileLoading()
    {
        QTemporaryDir dir;
        const QString path = write(dir, RecordingFile::header() + samples(1, 20000));
        const QString other = dir.filePath("other.csv");
        QFile replacement(other);
        QVERIFY(replacement.open(QIODevice::WriteOnly));
        replacement.write("garbage without any line end");
        replacement.close();
        MeasurementBuffer buffer;
        LoadedLines lines;
        bool replaced = false;
        RecordingLoader::Hooks hooks;
        hooks.yieldIntervalMs = 0;
        hooks.yield = [&] {
            if (!replaced && buffer.num_mesure() > 100)
                replaced = QFile::remove(path) && QFile::rename(other, path);
        };
        QCOMPARE(RecordingLoader::load(path, buffer, lines, hooks).outcome, Outcome::Loaded);
        QVERIFY(replaced);
        QCOMPARE(buffer.num_mesure(), 20000); // the file opened is read to its end
    }
};

QTEST_GUILESS_MAIN(TestRecordingLoader)
#include "tst_recordingloader.moc"
