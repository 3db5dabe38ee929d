#include "recording/recordingfile.h"
#include "recording/samplestore.h"
#include "testfiles.h"
#include "viewer/recordingloader.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using Outcome = RecordingLoader::Outcome;
Q_DECLARE_METATYPE(RecordingLoader::Outcome)

namespace {

QByteArray samples(int from, int to)
{
    return TestFiles::samples(from, to, [](int i) { return 10 * i; });
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
    SampleStore store;
    // Loads the bytes as a file; null bytes: no file at all.
    RecordingLoader::Result load(const QByteArray &bytes, RecordingLoader::Hooks hooks = {})
    {
        QFile::remove(path);
        if (!bytes.isNull())
            TestFiles::write(path, bytes);
        store.clear();
        return RecordingLoader::load(path, store, hooks);
    }

private Q_SLOTS:
    void loads_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("header");
        QTest::addColumn<double>("lastValue");
        const QByteArray h = RecordingFile::header();
        const QString n = "N°Record;Valeur;Date;Time";
        const auto row = [](const char *name, const QByteArray &bytes, Outcome outcome, int count,
                            const QString &header, double last) {
            QTest::newRow(name) << bytes << outcome << count << header << last;
        };
        row("as written", h + samples(1, 5), Outcome::Loaded, 5, n, 50);
        row("two recordings", h + samples(1, 10) + samples(1, 5), Outcome::Loaded, 15, n, 50);
        row("third malformed", h + samples(1, 2) + "1234567;9\r\n" + samples(4, 5),
            Outcome::Malformed, 3, n, -1);
        row("empty last line", h + samples(1, 2) + "\r\n", Outcome::Malformed, 3, n, -1);
        // Recorded into before any header was made: the first line is sample 1.
        row("no header", samples(1, 3), Outcome::Loaded, 3, n, 30);
        row("header only", h, Outcome::NoSampleLine, 0, n, 0);
        row("other header", "t;v\r\n" + samples(1, 2), Outcome::Loaded, 2, "t;v", 20);
        row("empty", "", Outcome::NoSampleLine, 0, "", 0);
        row("missing", QByteArray(), Outcome::OpenFailed, 0, "", 0);
        row("10 MB line", h + QByteArray(10 << 20, '7'), Outcome::Malformed, 1, n, -1);
        row("32000", h + samples(1, 32000), Outcome::Loaded, 32000, n, 320000);
        row("32001", h + samples(1, 32001), Outcome::TooManyLines, 32000, n, 320000);
    }
    void loads()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, count);
        const auto result = load(bytes);
        QTEST(result.outcome, "outcome");
        // Only a file that cannot be opened or read has a reason.
        QCOMPARE(result.error.isEmpty(), result.outcome != Outcome::OpenFailed);
        QCOMPARE(store.num_mesure(), count);
        QTEST(store.entete_fichier().value_or(QString()), "header");
        if (count > 0)
            QTEST(store.valeur(count), "lastValue");
        if (count > 1)
            QCOMPARE(std::pair(store.valeur(1), store.at(1).line->left(5)),
                     std::pair(10.0, QString("1;10;")));
    }
    // What was read before the failure stays; the system's reason is kept for the message.
    void readFailure()
    {
        for (const auto &[bytes, count] :
             {std::pair(QByteArray(), 0), {RecordingFile::header() + samples(1, 2) + "3;3", 2}}) {
            FailingDevice device;
            device.setData(bytes);
            device.open(QIODevice::ReadOnly);
            store.clear();
            const auto result = RecordingLoader::load(device, 1000, store, {});
            QCOMPARE(result.outcome, Outcome::ReadError);
            QCOMPARE(result.error, QStringLiteral("Erreur d'entrée-sortie"));
            QCOMPARE(store.num_mesure(), count);
        }
    }
    // Progress from 0 to where the reading ended: the end, or the first over-long line of a huge
    // file (whose memory stays bounded); a yield after each slow moment.
    void progressAndYields()
    {
        const QByteArray good = RecordingFile::header() + samples(1, 20000);
        QList<qint64> positions;
        qint64 total = 0;
        int yields = 0;
        RecordingLoader::Hooks hooks;
        hooks.progress = [&](qint64 position, qint64 size) {
            total = size;
            if ((positions << position).size() % 2000 == 0)
                QThread::msleep(3);
        };
        hooks.yield = [&] {
            ++yields;
        };
        hooks.yieldIntervalMs = 1;
        QCOMPARE(load(good, hooks).outcome, Outcome::Loaded);
        QVERIFY(std::is_sorted(positions.begin(), positions.end()));
        QCOMPARE(std::tuple(positions.first(), positions.last(), total),
                 std::tuple(qint64(0), good.size(), good.size()));
        QVERIFY2(yields >= 10, qPrintable(QString::number(yields)));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(qint64(1) << 30)); // 1 GiB, no line end
        f.close();
        positions.clear();
        store.clear();
        const auto result = RecordingLoader::load(path, store, hooks);
        QCOMPARE(std::tuple(result.outcome, result.size, store.num_mesure()),
                 std::tuple(Outcome::Malformed, total, 0));
        QCOMPARE(total, qint64(1) << 30);
        QVERIFY(store.entete_fichier().value_or(QString()).size() <= 4096);
        QVERIFY2(*std::max_element(positions.begin(), positions.end()) <= 128 * 1024,
                 "stops at the first over-long line");
    }
};

QTEST_GUILESS_MAIN(TestRecordingLoader)
#include "tst_recordingloader.moc"
