#include "app/singleinstance.h"
#include "settings/configfile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

class TestSingleInstance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lockIsHeldOnce()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("ondaris.lock");
        {
            SingleInstance first(path);
            QVERIFY(first.acquire());
            SingleInstance second(path);
            QVERIFY(!second.acquire());
        }
        SingleInstance third(path);
        QVERIFY(third.acquire());
    }
    void secondProgramEndsAtOnce()
    {
        // A copy of the program alone in an empty folder, with its own runtime folder.
        QTemporaryDir folder, runtime, home;
        ::chmod(QFile::encodeName(runtime.path()).constData(), 0700);
        const QString program = folder.filePath("ondaris");
        QVERIFY(QFile::copy(QStringLiteral(ONDARIS_BINARY), program));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        env.insert("HOME", home.path());

        QProcess first;
        first.setProcessEnvironment(env);
        first.setWorkingDirectory(folder.path());
        first.start(program, {});
        QVERIFY(first.waitForStarted());
        const QString cfg = folder.filePath("ondaris.cfg");
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(cfg), 10000);
        QFile file(cfg);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), ConfigFile::encode(Settings {}));
        QCOMPARE(file.size(), 53);

        QProcess second;
        second.setProcessEnvironment(env);
        second.start(program, {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        first.kill();
        first.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
