#include "settings/configfile.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

class TestConfigFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encodes()
    {
        const QByteArray head = "\"NE PAS MODIFIER CE FICHIER\",";
        QCOMPARE(ConfigFile::encode(Settings {}), head + "\"data_tr.csv\",1,0,3600\r\n");
        QCOMPARE(ConfigFile::encode(Settings {"/home/é/a,b c.csv", 10, 2, -5}),
                 head + "\"/home/\xE9/a,b c.csv\",10,2,-5\r\n");
        QCOMPARE(
            ConfigFile::encode(Settings {"/données/日本.csv", 1, 0, 3600}), // not in 1252: UTF-8
            head
                + "\"/donn\xC3\xA9"
                  "es/\xE6\x97\xA5\xE6\x9C\xAC.csv\",1,0,3600\r\n");
    }
    void decodes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Settings>("expected");
        QTest::addColumn<bool>("clean");
        const Settings d;
        const auto row = [](const char *name, const QByteArray &bytes, Settings s, bool clean) {
            QTest::newRow(name) << bytes << s << clean;
        };
        row("blanks, LF", "  \"x\",  \"f.csv\",  4,  2,  7890\n", {"f.csv", 4, 2, 7890}, true);
        row("comma quoted", "whatever,\"c:\\x,y.csv\",2,1,3600\r\n", {"c:\\x,y.csv", 2, 1, 3600},
            true);
        row("last wins", "\"a\",\"1\",1,0,3600\r\n\"b\",\"2\",5,2,7890\r\n", {"2", 5, 2, 7890},
            true);
        row("1252", "\"a\",\"C:\\r\xE9s.csv\",1,0,3600\r\n", {"C:\\rés.csv", 1, 0, 3600}, true);
        row("UTF-8", "\"a\",\"/r\xC3\xA9s.csv\",1,0,3600\r\n", {"/rés.csv", 1, 0, 3600}, true);
        row("-32768", "\"a\",\"f\",2,1,-32768\r\n", {"f", 2, 1, -32768}, true);
        row("empty", "", d, false);
        row("truncated", "\"a\",\"f.csv\",7", d, false);
        row("trailing comma", "\"a\",\"f\",4,2,7890\r\n,", {"f", 4, 2, 7890}, false);
        row("stray line", "\"a\",\"f\",4,2,7890\r\nnotes\r\n", {"f", 4, 2, 7890}, false);
        row("incomplete third", "\"a\",\"1\",1,0,3600\r\n\"b\",\"2\",5,2,7890\r\n\"c\",\"th",
            {"2", 5, 2, 7890}, false);
        row("unclosed quote", "\"a\",\"f.cs", d, false);
        row("text for numbers", "\"a\",\"f.csv\",x,2,wide\r\n", d, false);
        row("option 0", "\"a\",\"f\",0,2,3600\r\n", d, false);
        row("option 11", "\"a\",\"f\",11,1,7890\r\n", d, false);
        row("source 3", "\"a\",\"f\",2,3,3600\r\n", d, false);
        row("width 32768", "\"a\",\"f\",2,1,32768\r\n", d, false);
        row("empty path", "\"a\",\"\",2,1,3600\r\n", d, false);
        row("DEL", "\"a\",\"f\x7F.csv\",1,0,3600\r\n", d, false);
        row("control byte", "\"a\",\xFF'\x01,1,0,3600\r\n", d, false);
        row("binary", QByteArray("\x01\x02\xFF,,,\0\0", 9), d, false);
        QByteArray noise(1 << 20, '\0');
        quint32 x = 12345; // the same megabyte every run
        for (char &c : noise)
            c = char((x = x * 1103515245 + 12345) >> 24);
        row("noise", noise, d, false);
    }
    void decodes()
    {
        QFETCH(QByteArray, bytes);
        const ConfigFile::Decoded decoded = ConfigFile::decode(bytes);
        QTEST(decoded.settings, "expected");
        QTEST(decoded.clean, "clean");
    }
    void writesAndReadsBack()
    {
        QTemporaryDir dir;
        ConfigFile file(dir.filePath("ondaris.cfg"));
        for (const QString path :
             {"/tmp/a, b ,c.csv", "/tmp/€uro.csv", "/é/数据.csv", "/Ã©t\u00A9.csv"}) {
            QVERIFY(file.write(Settings {path, 6, 2, 7890}));
            const auto back = file.read();
            QVERIFY(back && back->clean && back->settings == (Settings {path, 6, 2, 7890}));
        }
        QVERIFY(TestFiles::write(dir.filePath("blocker"), "x"));
        QVERIFY(!ConfigFile(dir.filePath("blocker/sub/ondaris.cfg")).write(Settings {}));
        QCOMPARE(file.read()->settings.fichier_donnees, QStringLiteral("/Ã©t\u00A9.csv"));
    }
    void locates()
    {
        QTemporaryDir exe, user;
        QCOMPARE(ConfigFile::locate(exe.path(), user.path()), exe.filePath("ondaris.cfg"));
        QCOMPARE(ConfigFile::locate(exe.filePath("no"), user.path()), user.filePath("ondaris.cfg"));
        QCOMPARE(ConfigFile::locate("/usr/bin", user.path()), user.filePath("ondaris.cfg"));
        if (::geteuid() == 0)
            QSKIP("root may write in a read-only folder; run as an ordinary user");
        QVERIFY(::chmod(QFile::encodeName(exe.path()).constData(), 0500) == 0);
        QCOMPARE(ConfigFile::locate(exe.path(), user.path()), user.filePath("ondaris.cfg"));
        ConfigFile file(exe.filePath("ondaris.cfg"));
        QVERIFY(!file.write(Settings {}) && !file.errorString().isEmpty());
        ::chmod(QFile::encodeName(exe.path()).constData(), 0700);
    }
};

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
