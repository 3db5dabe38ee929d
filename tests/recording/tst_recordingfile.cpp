#include "recording/recordingfile.h"
#include "testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

Q_DECLARE_METATYPE(std::optional<double>)

class TestRecordingFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void headerBytes();
    void sampleLines_data();
    void sampleLines();
    void parsesValues_data();
    void parsesValues();
    void appendsWholeLines();
    void reportsUnwritableFiles_data();
    void reportsUnwritableFiles();
    void halfWrittenLineIsCutBack();
};

void TestRecordingFile::headerBytes()
{
    const QByteArray expected
        = QByteArray::fromHex("4EB05265636F72643B56616C6575723B446174653B54696D650D0A");
    QCOMPARE(RecordingFile::header(), expected);
    QCOMPARE(expected.size(), 27);
}

void TestRecordingFile::sampleLines_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("example") << 1 << 392.0 << QByteArray("1;392;12-06-2026;04:38:58\r\n");
    QTest::newRow("negative") << 12 << -5.0 << QByteArray("12;-5;12-06-2026;04:38:58\r\n");
    QTest::newRow("zero") << 3 << 0.0 << QByteArray("3;0;12-06-2026;04:38:58\r\n");
    QTest::newRow("test mode extremes")
        << 32000 << -32768.0 << QByteArray("32000;-32768;12-06-2026;04:38:58\r\n");
    QTest::newRow("five digits") << 99 << 10000.0 << QByteArray("99;10000;12-06-2026;04:38:58\r\n");
}

void TestRecordingFile::sampleLines()
{
    QFETCH(int, number);
    QFETCH(double, value);
    QFETCH(QByteArray, line);
    QCOMPARE(RecordingFile::sampleLine(number, value, QStringLiteral("12-06-2026"),
                                       QStringLiteral("04:38:58")),
             line);
    // What is written is read back whole.
    QCOMPARE(RecordingFile::parseValue(line.chopped(2)), std::optional<double>(value));
}

void TestRecordingFile::parsesValues_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<std::optional<double>>("value");
    const std::optional<double> malformed;
    QTest::newRow("record 1") << QByteArray("1;392;12-06-2026;04:38:58") << std::optional(392.0);
    QTest::newRow("4-digit record") << QByteArray("1000;5;d;t") << std::optional(5.0);
    QTest::newRow("5-digit record") << QByteArray("32000;999;d;t") << std::optional(999.0);
    QTest::newRow("empty record number") << QByteArray(";7;d;t") << std::optional(7.0);
    QTest::newRow("';' at position 6") << QByteArray("12345;8") << std::optional(8.0);
    QTest::newRow("';' at position 7") << QByteArray("123456;8;d;t") << malformed;
    QTest::newRow("no ';'") << QByteArray("hello") << malformed;
    QTest::newRow("empty line") << QByteArray("") << malformed;
    QTest::newRow("10000 read whole") << QByteArray("5;10000;d;t") << std::optional(10000.0);
    QTest::newRow("-1000 read whole") << QByteArray("5;-1000;d;t") << std::optional(-1000.0);
    QTest::newRow("-5") << QByteArray("5;-5;d;t") << std::optional(-5.0);
    QTest::newRow("blanks around") << QByteArray("5; 42 ;d;t") << std::optional(42.0);
    QTest::newRow("decimal") << QByteArray("5;3.5;d;t") << std::optional(3.5);
    QTest::newRow("empty value") << QByteArray("5;;d;t") << malformed;
    QTest::newRow("letters") << QByteArray("5;abc;d;t") << malformed;
    QTest::newRow("digits then letters") << QByteArray("5;12a;d;t") << malformed;
    QTest::newRow("minus alone") << QByteArray("5;-;d;t") << malformed;
    QTest::newRow("inf") << QByteArray("5;inf;d;t") << malformed;
    QTest::newRow("exponent") << QByteArray("5;1e5;d;t") << malformed;
    QTest::newRow("400 digits") << QByteArray("5;") + QByteArray(400, '9') << malformed;
    QTest::newRow("missing date and time") << QByteArray("5;17") << std::optional(17.0);
    QTest::newRow("extra fields") << QByteArray("5;17;d;t;x;y") << std::optional(17.0);
    QTest::newRow("value then nothing") << QByteArray("5;") << malformed;
}

void TestRecordingFile::parsesValues()
{
    QFETCH(QByteArray, line);
    QTEST(RecordingFile::parseValue(line), "value");
}

void TestRecordingFile::appendsWholeLines()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("data_tr.csv");
    QString error;
    QVERIFY(RecordingFile::create(path, &error));
    const QByteArray one = RecordingFile::sampleLine(1, 7, "12-06-2026", "10:00:00");
    const QByteArray two = RecordingFile::sampleLine(2, 8, "12-06-2026", "10:00:01");
    QVERIFY(RecordingFile::append(path, one, &error));
    QVERIFY(RecordingFile::append(path, two, &error, false));
    QCOMPARE(TestFiles::read(path), RecordingFile::header() + one + two);

    const QString bare = QStringLiteral("bare.csv"); // relative to the current folder
    const QString before = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QVERIFY(RecordingFile::append(bare, one, &error));
    QDir::setCurrent(before);
    QCOMPARE(TestFiles::read(dir.filePath(bare)), one);
}

void TestRecordingFile::reportsUnwritableFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("reason");
    QTest::newRow("disk full") << "/dev/full"
                               << "plein";
    QTest::newRow("folder gone") << "/nonexistent-ondaris/data.csv"
                                 << "dossier";
    QTest::newRow("protected file")
        << (::geteuid() == 0 ? "/sys/kernel/notes" : "/etc/hostname") << "accès refusé";
    QTest::newRow("no name") << ""
                             << "dossier";
}

void TestRecordingFile::reportsUnwritableFiles()
{
    QFETCH(QString, path);
    QFETCH(QString, reason);
    QString error;
    QVERIFY(!RecordingFile::append(path, "1;2;3;4\r\n", &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
}

// A file that may grow by only 10 more bytes takes the first 10 bytes of a line, then refuses
// the rest: the append fails and the file is cut back to where it was.
void TestRecordingFile::halfWrittenLineIsCutBack()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("data_tr.csv");
    QVERIFY(RecordingFile::create(path, nullptr));
    const QByteArray line = RecordingFile::sampleLine(1, 7, "12-06-2026", "10:00:00");
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = rlim_t(RecordingFile::header().size() + 10);
    QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
    QString error;
    const bool appended = RecordingFile::append(path, line, &error);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    QVERIFY(!appended);
    QVERIFY(!error.isEmpty());
    QCOMPARE(TestFiles::read(path), RecordingFile::header());
}

QTEST_GUILESS_MAIN(TestRecordingFile)
#include "tst_recordingfile.moc"
