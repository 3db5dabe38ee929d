#include "recording/recordingfile.h"
#include "testfiles.h"

#include <QDir>
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
    void lines()
    {
        QCOMPARE(RecordingFile::header(),
                 QByteArray::fromHex("4EB05265636F72643B56616C6575723B446174653B54696D650D0A"));
        for (const auto &[number, value, line] :
             {std::tuple {1, 392.0, "1;392;12-06-2026;04:38:58\r\n"},
              {32000, -32768.0, "32000;-32768;12-06-2026;04:38:58\r\n"},
              {3, 0.0, "3;0;12-06-2026;04:38:58\r\n"},
              {99, 10000.0, "99;10000;12-06-2026;04:38:58\r\n"}})
            QCOMPARE(RecordingFile::sampleLine(number, value, "12-06-2026", "04:38:58"),
                     QByteArray(line));
    }
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
        row("123456;8;d;t", bad);
        row("hello", bad);
        row("", bad);
        row("5;10000;d;t", 10000);
        row("5;-1000;d;t", -1000);
        row("5; 42 ;d;t", 42);
        row("5;3.5;d;t", 3.5);
        row("5;;d;t", bad);
        row("5;12a;d;t", bad);
        row("5;-;d;t", bad);
        row("5;inf;d;t", bad);
        row("5;1e5;d;t", bad);
        row("5;17;d;t;x;y", 17);
        row("5;", bad);
        QTest::newRow("400 digits") << QByteArray("5;") + QByteArray(400, '9') << bad;
    }
    void parsesValues()
    {
        QFETCH(QByteArray, line);
        QTEST(RecordingFile::parseValue(line), "value");
    }
    void appendsWholeLines()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("data_tr.csv");
        QVERIFY(RecordingFile::create(path, nullptr));
        QVERIFY(RecordingFile::append(path, "1;7\r\n", nullptr));
        QVERIFY(RecordingFile::append(path, "2;8\r\n", nullptr, false));
        QCOMPARE(TestFiles::read(path), RecordingFile::header() + "1;7\r\n2;8\r\n");
        const QString before = QDir::currentPath();
        QDir::setCurrent(dir.path()); // a bare name is in the current folder
        QVERIFY(RecordingFile::append("bare.csv", "1;7\r\n", nullptr));
        QDir::setCurrent(before);
        QCOMPARE(TestFiles::read(dir.filePath("bare.csv")), "1;7\r\n");
    }
    void reportsUnwritableFiles_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("reason");
        QTest::newRow("disk full") << "/dev/full"
                                   << "plein";
        QTest::newRow("folder gone") << "/nonexistent-ondaris/data.csv"
                                     << "dossier";
        QTest::newRow("protected")
            << (::geteuid() == 0 ? "/sys/kernel/notes" : "/etc/hostname") << "accès refusé";
        QTest::newRow("no name") << ""
                                 << "dossier";
    }
    void reportsUnwritableFiles()
    {
        QFETCH(QString, path);
        QFETCH(QString, reason);
        QString error;
        QVERIFY(!RecordingFile::append(path, "1;2;3;4\r\n", &error));
        QVERIFY2(error.contains(reason), qPrintable(error));
    }
    // A file that may grow by 10 more bytes takes 10 bytes of the line, then refuses the rest:
    // the append fails and the file is cut back to where it was.
    void halfWrittenLineIsCutBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("data_tr.csv");
        QVERIFY(RecordingFile::create(path, nullptr));
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit old {};
        ::getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = rlim_t(RecordingFile::header().size() + 10);
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
        QString error;
        const bool appended = RecordingFile::append(path, "1;7;12-06-2026;10:00:00\r\n", &error);
        ::setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
        QVERIFY(!appended && !error.isEmpty());
        QCOMPARE(TestFiles::read(path), RecordingFile::header());
    }
};

QTEST_GUILESS_MAIN(TestRecordingFile)
#include "tst_recordingfile.moc"
