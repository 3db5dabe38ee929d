#include "common/codepage.h"
#include "settings/configfile.h"
#include "testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

class TestConfigFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encodesExactBytes_data();
    void encodesExactBytes();
    void decodes_data();
    void decodes();
    void roundTripsPaths_data();
    void roundTripsPaths();
    void writeIsAtomicAndReportsFailure();
    void locatesBesideExecutableOrInUserFolder();
    void readOnlyFolder();
};

void TestConfigFile::encodesExactBytes_data()
{
    QTest::addColumn<Settings>("settings");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("defaults, 53 bytes")
        << Settings {} << QByteArray("\"NE PAS MODIFIER CE FICHIER\",\"data_tr.csv\",1,0,3600\r\n");
    QTest::newRow("wide, serial, 24h, accented path")
        << Settings {QStringLiteral("/home/é/a,b c.csv"), 10, 2, 7890}
        << QByteArray("\"NE PAS MODIFIER CE FICHIER\",\"/home/\xE9/a,b c.csv\",10,2,7890\r\n");
    QTest::newRow("negative width")
        << Settings {QStringLiteral("x"), 3, 1, -5}
        << QByteArray("\"NE PAS MODIFIER CE FICHIER\",\"x\",3,1,-5\r\n");
    QTest::newRow("path outside Windows-1252 is UTF-8")
        << Settings {QStringLiteral("/données/日本.csv"), 1, 0, 3600}
        << QByteArray("\"NE PAS MODIFIER CE FICHIER\",\"/donn\xC3\xA9"
                      "es/\xE6\x97\xA5\xE6\x9C\xAC.csv\",1,0,3600\r\n");
}

void TestConfigFile::encodesExactBytes()
{
    QFETCH(Settings, settings);
    QFETCH(QByteArray, bytes);
    QCOMPARE(ConfigFile::encode(settings), bytes);
    if (settings == Settings {})
        QCOMPARE(bytes.size(), 53);
}

void TestConfigFile::decodes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Settings>("expected");
    QTest::addColumn<bool>("clean");
    const Settings d;
    QTest::newRow("defaults") << ConfigFile::encode(d) << d << true;
    QTest::newRow("blanks before fields, LF only")
        << QByteArray("  \"x\",  \"f.csv\",  4,  2,  7890\n") << Settings {"f.csv", 4, 2, 7890}
        << true;
    QTest::newRow("comma inside quotes") << QByteArray("\"a\",\"c:\\x,y.csv\",2,1,3600\r\n")
                                         << Settings {"c:\\x,y.csv", 2, 1, 3600} << true;
    QTest::newRow("two records: the last wins")
        << QByteArray("\"a\",\"one.csv\",1,0,3600\r\n\"b\",\"two.csv\",5,2,7890\r\n")
        << Settings {"two.csv", 5, 2, 7890} << true;
    QTest::newRow("field 1 any text")
        << QByteArray("whatever,\"f\",1,1,3600\r\n") << Settings {"f", 1, 1, 3600} << true;
    QTest::newRow("Windows-1252 accent")
        << QByteArray("\"a\",\"C:\\r\xE9sultats.csv\",1,0,3600\r\n")
        << Settings {"C:\\résultats.csv", 1, 0, 3600} << true;
    QTest::newRow("UTF-8 accent") << QByteArray("\"a\",\"/r\xC3\xA9s.csv\",1,0,3600\r\n")
                                  << Settings {"/rés.csv", 1, 0, 3600} << true;
    QTest::newRow("empty file") << QByteArray() << d << false;
    QTest::newRow("truncated after field 3: no complete record")
        << QByteArray("\"a\",\"f.csv\",7") << d << false;
    QTest::newRow("trailing comma after a record")
        << QByteArray("\"a\",\"f.csv\",4,2,7890\r\n,") << Settings {"f.csv", 4, 2, 7890} << false;
    QTest::newRow("stray line after a record")
        << QByteArray("\"a\",\"f.csv\",4,2,7890\r\nmy notes\r\n") << Settings {"f.csv", 4, 2, 7890}
        << false;
    QTest::newRow("an incomplete record after two")
        << QByteArray("\"a\",\"one\",1,0,3600\r\n\"b\",\"two\",5,2,7890\r\n\"c\",\"th")
        << Settings {"two", 5, 2, 7890} << false;
    QTest::newRow("unclosed quote") << QByteArray("\"a\",\"f.cs") << d << false;
    QTest::newRow("text for numbers: the whole record is the defaults")
        << QByteArray("\"a\",\"f.csv\",x,2,wide\r\n") << d << false;
    QTest::newRow("option 0 and 11 out of range")
        << QByteArray("\"a\",\"f\",0,2,3600\r\n") << d << false;
    QTest::newRow("option 11") << QByteArray("\"a\",\"f\",11,1,7890\r\n") << d << false;
    QTest::newRow("source 3") << QByteArray("\"a\",\"f\",2,3,3600\r\n") << d << false;
    QTest::newRow("width past 16 bits") << QByteArray("\"a\",\"f\",2,1,32768\r\n") << d << false;
    QTest::newRow("width -32768 fits")
        << QByteArray("\"a\",\"f\",2,1,-32768\r\n") << Settings {"f", 2, 1, -32768} << true;
    QTest::newRow("empty path") << QByteArray("\"a\",\"\",2,1,3600\r\n") << d << false;
    QTest::newRow("binary garbage") << QByteArray("\x01\x02\xFF,,,\0\0", 9) << d << false;
    QTest::newRow("DEL in the path")
        << QByteArray("\"a\",\"f\x7F.csv\",1,0,3600\r\n") << d << false;
    QTest::newRow("control byte in the path")
        << QByteArray("\"a\",\xFF'\x01,1,0,3600\r\n") << d << false;
    QByteArray noise(1 << 20, '\0');
    quint32 x = 12345; // a fixed seed: the same megabyte every run
    for (char &c : noise)
        c = char((x = x * 1103515245 + 12345) >> 24);
    QTest::newRow("a megabyte of noise") << noise << d << false;
}

void TestConfigFile::decodes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Settings, expected);
    QFETCH(bool, clean);
    const ConfigFile::Decoded decoded = ConfigFile::decode(bytes);
    QCOMPARE(decoded.settings, expected);
    QCOMPARE(decoded.clean, clean);
}

void TestConfigFile::roundTripsPaths_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("commas and blanks") << QStringLiteral("/tmp/a, b ,c.csv");
    QTest::newRow("Latin accents") << QStringLiteral("/home/zoé/mesures été.csv");
    QTest::newRow("euro sign (0x80)") << QStringLiteral("/tmp/€uro.csv");
    QTest::newRow("non-Latin") << QStringLiteral("/home/user/измерения/данные.csv");
    QTest::newRow("mixed Latin-1 and CJK") << QStringLiteral("/é/数据.csv");
    QTest::newRow("Latin-1 that looks like UTF-8") << QStringLiteral("/tmp/Ã©t\u00A9.csv");
}

void TestConfigFile::roundTripsPaths()
{
    QFETCH(QString, path);
    QTemporaryDir dir;
    ConfigFile file(dir.filePath("ondaris.cfg"));
    const Settings settings {path, 6, 2, 7890};
    QVERIFY(file.write(settings));
    const auto back = file.read();
    QVERIFY(back && back->clean && back->settings == settings);
}

void TestConfigFile::writeIsAtomicAndReportsFailure()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ondaris.cfg");
    ConfigFile file(path);
    QVERIFY(file.write(Settings {}));
    const QByteArray before = ConfigFile::encode(Settings {});

    ConfigFile missingFolder(dir.filePath("file-not-folder/sub/ondaris.cfg"));
    QFile blocker(dir.filePath("file-not-folder"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!missingFolder.write(Settings {}));

    QCOMPARE(TestFiles::read(path), before);
}

void TestConfigFile::locatesBesideExecutableOrInUserFolder()
{
    QTemporaryDir exe, user;
    QCOMPARE(ConfigFile::locate(exe.path(), user.path()), exe.filePath("ondaris.cfg"));
    QCOMPARE(ConfigFile::locate(exe.filePath("missing"), user.path()),
             user.filePath("ondaris.cfg"));
    // Installed, the settings go to the user's folder even for an account that may write there.
    QCOMPARE(ConfigFile::locate(QStringLiteral("/usr/bin"), user.path()),
             user.filePath("ondaris.cfg"));
}

// A folder the user may not write: the settings go elsewhere, a write is refused and said.
void TestConfigFile::readOnlyFolder()
{
    if (::geteuid() == 0)
        QSKIP("root may write in a read-only folder; run as an ordinary user");
    QTemporaryDir exe, user;
    QVERIFY(::chmod(QFile::encodeName(exe.path()).constData(), 0500) == 0);
    QCOMPARE(ConfigFile::locate(exe.path(), user.path()), user.filePath("ondaris.cfg"));
    ConfigFile file(exe.filePath("ondaris.cfg"));
    QVERIFY(!file.write(Settings {"other.csv", 2, 1, 7890}));
    QVERIFY(!file.errorString().isEmpty());
    ::chmod(QFile::encodeName(exe.path()).constData(), 0700);
}

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
