#include "settings/settingsmodel.h"
#include "testfiles.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using TestFiles::read;

class TestSettingsModel : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString cfg() const { return dir.filePath("ondaris.cfg"); }

private Q_SLOTS:
    void init() { QFile::remove(cfg()); }
    // The ten durations: timer interval, ticks a sample; saved only when the dialog is shown.
    void durations()
    {
        SettingsModel model {ConfigFile(cfg())};
        const QList<std::pair<int, int>> expected {
            {1000, 1},   {10000, 1},   {60000, 1},   {60000, 15},  {60000, 30},
            {60000, 60}, {60000, 180}, {60000, 360}, {60000, 720}, {60000, 1440}};
        for (int i = 1; i <= 10; ++i) {
            model.Option1_Click(i, false);
            QCOMPARE(std::pair(model.intervalle_timer().toInt(), int(model.diviseur_tick())),
                     expected[i - 1]);
            QCOMPARE(model.intervalMs(), expected[i - 1].first);
        }
        QVERIFY(!QFileInfo::exists(cfg()));
        model.Option1_Click(0, false); // no button: the period stays
        QCOMPARE(std::pair(model.intervalMs(), int(model.diviseur_tick())), std::pair(60000, 1440));
        model.Option1_Click(4, true);
        model.Option2_Click(2, true);
        model.Option2_Click(0, false);
        QCOMPARE(int(model.source()), 0); // kept, not saved
        QCOMPARE(read(cfg()), ConfigFile::encode(Settings {"data_tr.csv", 4, 2, 3600}));
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
    void unwritableFileKeepsSettingsInMemory()
    {
        QVERIFY(TestFiles::write(dir.filePath("blocker"), "x"));
        const QString path = dir.filePath("blocker/ondaris.cfg");
        SettingsModel model {ConfigFile(path)};
        QSignalSpy told(&model, &SettingsModel::writeFailed);
        model.load();
        model.Option1_Click(5, true);
        QVERIFY(!model.save());
        QCOMPARE(std::pair(int(model.settings().duree_option), int(model.diviseur_tick())),
                 std::pair(5, 30));
        QCOMPARE(told.count(), 1); // once a run
        const QString reason = model.configFile().errorString();
        QVERIFY(!reason.isEmpty());
        QCOMPARE(
            told.first().first().toString(),
            QStringLiteral("Les réglages ne peuvent pas être enregistrés dans le fichier « %1 » : "
                           "%2\nIls restent en vigueur jusqu'à la fermeture d'Ondaris, mais ne "
                           "seront pas retrouvés au prochain démarrage.")
                .arg(path, reason));
    }
    // No file in the user's folder yet: the one beside the executable is read, then copied there.
    void readsBesideExecutableFirst()
    {
        QTemporaryDir exe, user;
        const Settings old {"mesures.csv", 7, 1, 7890};
        TestFiles::write(exe.filePath("ondaris.cfg"), ConfigFile::encode(old));
        QVERIFY(::chmod(QFile::encodeName(exe.path()).constData(), 0500) == 0);
        SettingsModel model(
            ConfigFile(user.filePath("o/ondaris.cfg"), exe.filePath("ondaris.cfg")));
        model.load();
        ::chmod(QFile::encodeName(exe.path()).constData(), 0700);
        QCOMPARE(model.settings(), old);
        QCOMPARE(read(user.filePath("o/ondaris.cfg")), ConfigFile::encode(old));
        model.Option1_Click(2, true);
        QCOMPARE(read(exe.filePath("ondaris.cfg")), ConfigFile::encode(old));
    }
};

QTEST_GUILESS_MAIN(TestSettingsModel)
#include "tst_settingsmodel.moc"
