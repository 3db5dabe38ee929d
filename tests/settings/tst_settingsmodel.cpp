#include "settings/durationtable.h"
#include "settings/settingsmodel.h"
#include "testfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

namespace {

// A model over a fresh config path.
struct Rig
{
    QTemporaryDir dir;
    SettingsModel model {ConfigFile(dir.filePath("ondaris.cfg"))};
    QString cfg() const { return dir.filePath("ondaris.cfg"); }
};

} // namespace

class TestSettingsModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void durations_data();
    void durations();
    void indexWithoutButtonKeepsPeriod();
    void sourceIsKeptAndSaved();
    void loadCreatesDefaultsOrMendsFile_data();
    void loadCreatesDefaultsOrMendsFile();
    void unwritableFileKeepsSettingsInMemory();
    void readsBesideExecutableFirst();
};

void TestSettingsModel::durations_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("interval");
    QTest::addColumn<int>("divisor");
    QTest::addColumn<qint64>("secondsBetweenSamples");
    const qint64 expected[] = {1, 10, 60, 900, 1800, 3600, 10800, 21600, 43200, 86400};
    const char *intervals[]
        = {"1000", "10000", "60000", "60000", "60000", "60000", "60000", "60000", "60000", "60000"};
    const int divisors[] = {1, 1, 1, 15, 30, 60, 180, 360, 720, 1440};
    for (int i = 1; i <= 10; ++i)
        QTest::addRow("option %d", i)
            << i << QString::fromLatin1(intervals[i - 1]) << divisors[i - 1] << expected[i - 1];
}

void TestSettingsModel::durations()
{
    QFETCH(int, index);
    QFETCH(QString, interval);
    QFETCH(int, divisor);
    QFETCH(qint64, secondsBetweenSamples);
    Rig rig;
    rig.model.Option1_Click(index, false);
    QCOMPARE(rig.model.intervalle_timer(), interval);
    QCOMPARE(int(rig.model.diviseur_tick()), divisor);
    QCOMPARE(qint64(rig.model.intervalMs()) * divisor, secondsBetweenSamples * 1000);
    QVERIFY2(!QFileInfo::exists(rig.cfg()), "nothing is written while the dialog is hidden");

    rig.model.Option1_Click(index, true);
    Settings expected;
    expected.duree_option = quint8(index);
    QCOMPARE(TestFiles::read(rig.cfg()), ConfigFile::encode(expected));
}

void TestSettingsModel::indexWithoutButtonKeepsPeriod()
{
    Rig rig;
    rig.model.Option1_Click(4, false);
    rig.model.Option1_Click(0, false);
    QCOMPARE(int(rig.model.settings().duree_option), 0);
    QCOMPARE(rig.model.intervalle_timer(), QStringLiteral("60000"));
    QCOMPARE(int(rig.model.diviseur_tick()), 15);
}

void TestSettingsModel::sourceIsKeptAndSaved()
{
    Rig rig;
    rig.model.Option2_Click(2, true);
    QCOMPARE(int(rig.model.source()), 2);
    rig.model.Option2_Click(0, true);
    rig.model.Option2_Click(2, false);
    rig.model.Option2_Click(1, true);
    QCOMPARE(TestFiles::read(rig.cfg()), ConfigFile::encode(Settings {"data_tr.csv", 1, 1, 3600}));
}

void TestSettingsModel::loadCreatesDefaultsOrMendsFile_data()
{
    QTest::addColumn<QByteArray>("stored"); // null: no file
    QTest::addColumn<QByteArray>("afterLoad");
    const QByteArray defaults = ConfigFile::encode(Settings {});
    QTest::newRow("no file") << QByteArray() << defaults;
    QTest::newRow("empty file") << QByteArray("") << defaults;
    QTest::newRow("good file untouched, even hand-spaced")
        << QByteArray("\"x\", \"f.csv\", 3, 2, 7890\r\n")
        << QByteArray("\"x\", \"f.csv\", 3, 2, 7890\r\n");
    QTest::newRow("a bad field: mended to the defaults")
        << QByteArray("\"x\",\"f.csv\",99,2,abc\r\n") << ConfigFile::encode(Settings {});
    QTest::newRow("stray line: mended to the record")
        << QByteArray("\"x\",\"f.csv\",4,2,3600\r\nnotes\r\n")
        << ConfigFile::encode(Settings {"f.csv", 4, 2, 3600});
}

void TestSettingsModel::loadCreatesDefaultsOrMendsFile()
{
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, afterLoad);
    Rig rig;
    if (!stored.isNull())
        TestFiles::write(rig.cfg(), stored);
    rig.model.load();
    QCOMPARE(TestFiles::read(rig.cfg()), afterLoad);
}

void TestSettingsModel::unwritableFileKeepsSettingsInMemory()
{
    QTemporaryDir dir;
    QFile blocker(dir.filePath("not-a-folder"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    SettingsModel model(ConfigFile(dir.filePath("not-a-folder/ondaris.cfg")));
    QSignalSpy told(&model, &SettingsModel::writeFailed);
    model.load();
    QCOMPARE(model.settings(), Settings {});
    model.Option1_Click(5, true);
    QVERIFY(!model.save());
    QCOMPARE(int(model.settings().duree_option), 5);
    QCOMPARE(int(model.diviseur_tick()), 30);
    // Told once in a run, naming the file and the reason.
    QCOMPARE(told.count(), 1);
    const QString reason = model.configFile().errorString();
    QVERIFY(!reason.isEmpty());
    QCOMPARE(told.first().first().toString(),
             QStringLiteral("Les réglages ne peuvent pas être enregistrés dans le fichier « %1 » : "
                            "%2\nIls restent en vigueur jusqu'à la fermeture d'Ondaris, mais ne "
                            "seront pas retrouvés au prochain démarrage.")
                 .arg(dir.filePath("not-a-folder/ondaris.cfg"), reason));
}

// No file in the user's folder yet: the one beside the executable is read, then copied there.
void TestSettingsModel::readsBesideExecutableFirst()
{
    QTemporaryDir exe, user;
    const Settings old {"mesures.csv", 7, 1, 7890};
    TestFiles::write(exe.filePath("ondaris.cfg"), ConfigFile::encode(old));
    QVERIFY(::chmod(QFile::encodeName(exe.path()).constData(), 0500) == 0);
    SettingsModel model(
        ConfigFile(user.filePath("ondaris/ondaris.cfg"), exe.filePath("ondaris.cfg")));
    model.load();
    ::chmod(QFile::encodeName(exe.path()).constData(), 0700);
    QCOMPARE(model.settings(), old);
    QCOMPARE(TestFiles::read(user.filePath("ondaris/ondaris.cfg")), ConfigFile::encode(old));
    model.Option1_Click(2, true);
    QCOMPARE(TestFiles::read(exe.filePath("ondaris.cfg")), ConfigFile::encode(old));
}

QTEST_GUILESS_MAIN(TestSettingsModel)
#include "tst_settingsmodel.moc"
