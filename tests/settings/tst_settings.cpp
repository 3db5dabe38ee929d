#include "settings/configfile.h"
#include "settings/extrasettings.h"
#include "settings/settingsmodel.h"
#include "testfiles.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using TestFiles::read;
Q_DECLARE_METATYPE(SensorScale)

class TestSettings : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString cfg() const { return dir.filePath("ondaris.cfg"); }

private Q_SLOTS:
    void encodes()
    {
        const QByteArray head = "\"NE PAS MODIFIER CE FICHIER\",";
        QCOMPARE(ConfigFile::encode(Settings {}), head + "\"data_tr.csv\",1,0,3600\r\n");
        QCOMPARE(ConfigFile::encode(Settings {"/home/é/a,b c.csv", 10, 2, -5}),
                 head + "\"/home/\xE9/a,b c.csv\",10,2,-5\r\n");
        // UTF-8 where 1252 cannot say it, or where its 1252 bytes would read back as UTF-8.
        for (const QString path : {"/données/日本.csv", "/Ã©.csv"})
            QCOMPARE(ConfigFile::encode(Settings {path, 1, 0, 3600}),
                     head + '"' + path.toUtf8() + "\",1,0,3600\r\n");
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
        row("cut record", "\"a\",\"1\",1,0,3600\r\n\"b\",\"2\",5,2,\"7", {"1", 1, 0, 3600}, false);
        row("text for numbers", "\"a\",\"f.csv\",x,2,wide\r\n", d, false);
        row("option 0", "\"a\",\"f\",0,2,3600\r\n", d, false);
        row("option 11", "\"a\",\"f\",11,1,7890\r\n", d, false);
        row("source 3", "\"a\",\"f\",2,3,3600\r\n", d, false);
        row("width 32768", "\"a\",\"f\",2,1,32768\r\n", d, false);
        row("empty path", "\"a\",\"\",2,1,3600\r\n", d, false);
        row("DEL", "\"a\",\"f\x7F.csv\",1,0,3600\r\n", d, false);
        row("control byte", "\"a\",\xFF'\x01,1,0,3600\r\n", d, false);
    }
    void decodes()
    {
        QFETCH(QByteArray, bytes);
        const ConfigFile::Decoded decoded = ConfigFile::decode(bytes);
        QTEST(decoded.settings, "expected");
        QTEST(decoded.clean, "clean");
    }
    // Beside the executable when its folder may be written, else in the user's folder; no file
    // there yet, the one beside the executable is read, then copied there and left as it was.
    void locates()
    {
        QTemporaryDir exe, user;
        QCOMPARE(ConfigFile::locate(exe.path(), user.path()), exe.filePath("ondaris.cfg"));
        QCOMPARE(ConfigFile::locate(exe.filePath("no"), user.path()), user.filePath("ondaris.cfg"));
        QCOMPARE(ConfigFile::locate("/usr/bin", user.path()), user.filePath("ondaris.cfg"));
        const Settings old {"mesures.csv", 7, 1, 7890};
        TestFiles::write(exe.filePath("ondaris.cfg"), ConfigFile::encode(old));
        QVERIFY(::chmod(QFile::encodeName(exe.path()).constData(), 0500) == 0);
        if (::geteuid() != 0) { // root may write in a read-only folder
            QCOMPARE(ConfigFile::locate(exe.path(), user.path()), user.filePath("ondaris.cfg"));
            ConfigFile file(exe.filePath("ondaris.cfg"));
            QVERIFY(!file.write(Settings {}) && !file.errorString().isEmpty());
        }
        SettingsModel model(
            ConfigFile(user.filePath("o/ondaris.cfg"), exe.filePath("ondaris.cfg")));
        model.load();
        ::chmod(QFile::encodeName(exe.path()).constData(), 0700);
        QCOMPARE(model.settings(), old);
        QCOMPARE(read(user.filePath("o/ondaris.cfg")), ConfigFile::encode(old));
        model.setDuree_option(2);
        model.save();
        QCOMPARE(read(exe.filePath("ondaris.cfg")), ConfigFile::encode(old));
    }
    void init() { QFile::remove(cfg()); }
    // The ten durations users see, in seconds: a timer of a second, ten seconds, or a minute
    // counted divisor times.
    void durations()
    {
        SettingsModel model {ConfigFile(cfg())};
        const int seconds[] = {1, 10, 60, 900, 1800, 3600, 10800, 21600, 43200, 86400};
        for (int i = 1; i <= 10; ++i) {
            model.setDuree_option(i);
            QCOMPARE(model.intervalMs(), std::min(seconds[i - 1], 60) * 1000);
            QCOMPARE(model.intervalMs() * model.diviseur_tick(), seconds[i - 1] * 1000);
        }
        model.setDuree_option(0); // no button: the period stays
        QCOMPARE(std::tuple(model.intervalMs(), int(model.diviseur_tick()),
                            int(model.settings().duree_option)),
                 std::tuple(60000, 1440, 0));
        QVERIFY(!QFileInfo::exists(cfg())); // kept, not saved
    }
    void loadMends_data()
    {
        QTest::addColumn<QByteArray>("stored"); // null: no file
        QTest::addColumn<QByteArray>("afterLoad");
        const QByteArray defaults = ConfigFile::encode(Settings {});
        QTest::newRow("no file") << QByteArray() << defaults;
        QTest::newRow("empty") << QByteArray("") << defaults;
        QTest::newRow("good, hand-spaced") << QByteArray("\"x\", \"f\", 3, 2, 7890\r\n")
                                           << QByteArray("\"x\", \"f\", 3, 2, 7890\r\n");
        QTest::newRow("bad field") << QByteArray("\"x\",\"f\",99,2,abc\r\n") << defaults;
        QTest::newRow("stray line") << QByteArray("\"x\",\"f\",4,2,3600\r\nnotes\r\n")
                                    << ConfigFile::encode(Settings {"f", 4, 2, 3600});
    }
    void loadMends()
    {
        QFETCH(QByteArray, stored);
        if (!stored.isNull())
            TestFiles::write(cfg(), stored);
        SettingsModel model {ConfigFile(cfg())};
        model.load();
        QTEST(read(cfg()), "afterLoad");
    }
    // The settings beside the settings file: what is missing, unreadable or junk gives the
    // defaults and the file is written anew; a whole file is read as it is.
    void extraSettingsMended_data()
    {
        QTest::addColumn<QByteArray>("stored"); // null: no file
        QTest::addColumn<SensorScale>("scale");
        const QByteArray whole = "[echelle]\nmax=50\nmin=-0.5\nunite=\xc2\xb0"
                                 "C\n";
        QTest::newRow("whole") << whole << SensorScale(-0.5, 50, "°C");
        QTest::newRow("none") << QByteArray() << SensorScale();
        QTest::newRow("binary") << QByteArray("\x00\xff[\x01=\n", 6) << SensorScale();
        QTest::newRow("not a number") << QByteArray(whole).replace("50", "5O") << SensorScale();
        QTest::newRow("Max = Min")
            << QByteArray("[echelle]\nmax=1\nmin=1\nunite=\n") << SensorScale();
        QTest::newRow("a control character")
            << QByteArray("[echelle]\nmax=1\nmin=0\nunite=a\tb\n") << SensorScale();
    }
    void extraSettingsMended()
    {
        QFETCH(QByteArray, stored);
        const QString path = dir.filePath("ondaris.ini");
        QFile::remove(path);
        if (!stored.isNull())
            TestFiles::write(path, stored);
        for (int run = 0; run < 2; ++run) { // mended by the first, read as it is by the second
            ExtraSettings settings(path);
            settings.load();
            QTEST(settings.scale(), "scale");
        }
        QCOMPARE(read(path).count("=") >= 3, true);
    }
    void unwritableFileKeepsSettingsInMemory()
    {
        QVERIFY(TestFiles::write(dir.filePath("blocker"), "x"));
        const QString path = dir.filePath("blocker/ondaris.cfg");
        SettingsModel model {ConfigFile(path)};
        QSignalSpy told(&model, &SettingsModel::writeFailed);
        model.load();
        model.setDuree_option(5);
        QVERIFY(!model.save());
        QCOMPARE(std::pair(int(model.settings().duree_option), int(model.diviseur_tick())),
                 std::pair(5, 30));
        QCOMPARE(told.count(), 1); // once a run
        const QString message = told.first().first().toString();
        QVERIFY2(message.contains(path) && message.contains(model.configFile().errorString())
                     && message.contains("restent en vigueur"),
                 qPrintable(message));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
