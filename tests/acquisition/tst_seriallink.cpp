#include "acquisition/seriallink.h"
#include "ptypair.h"

#include <QSignalSpy>
#include <QTest>

class TestSerialLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsFramesThroughPty_data();
    void readsFramesThroughPty();
    void partialFrameCompletesOnNextPoll();
    void missingDeviceStaysClosedAndTellsOnce();
    void hangUpClosesAndTells();
};

void TestSerialLink::readsFramesThroughPty_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("expected"); // -1: nothing read
    QTest::addColumn<int>("afterNextFrame");
    QTest::newRow("one frame") << QByteArray("\x01\x02\x80\x04", 4) << 128 << 7;
    QTest::newRow("10 20 30 40") << QByteArray("\x0A\x14\x1E\x28", 4) << 30 << 7;
    QTest::newRow("byte 2 of 255") << QByteArray("\x00\x00\xFF\x00", 4) << 255 << 7;
    QTest::newRow("two frames: the newest")
        << QByteArray("\x00\x00\x05\x00\x00\x00\x06\x00", 8) << 6 << 7;
    QTest::newRow("7 bytes dropped, next frame read")
        << QByteArray("\x00\x00\x05\x00\x00\x00\x06", 7) << -1 << 7;
    QTest::newRow("3 bytes wait") << QByteArray("\x00\x00\x05", 3) << -1 << -1;
}

void TestSerialLink::readsFramesThroughPty()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, expected);
    QFETCH(int, afterNextFrame);
    PtyPair pty;
    QVERIFY(pty.isValid());
    SerialLink link(pty.slaveName());
    link.ouvre_port();
    QVERIFY(link.isOpen());
    QVERIFY(pty.send(bytes));
    const auto first = link.lit_port();
    QCOMPARE(first ? int(*first) : -1, expected);
    if (first)
        QCOMPARE(link.trame_rs232().size(), 4);
    QCOMPARE(link.lit_port(), std::nullopt);

    QVERIFY(pty.send(QByteArray("\x00\x00\x07\x00", 4)));
    const auto second = link.lit_port();
    QCOMPARE(second ? int(*second) : -1, afterNextFrame);
}

void TestSerialLink::partialFrameCompletesOnNextPoll()
{
    PtyPair pty;
    SerialLink link(pty.slaveName());
    link.ouvre_port();
    QVERIFY(pty.send(QByteArray("\x0A\x14\x1E", 3)));
    QCOMPARE(link.lit_port(), std::nullopt);
    QVERIFY(pty.send(QByteArray("\x28", 1)));
    QCOMPARE(link.lit_port(), std::optional<quint8>(30));
    QCOMPARE(link.trame_rs232(), QByteArray("\x0A\x14\x1E\x28", 4));
}

void TestSerialLink::missingDeviceStaysClosedAndTellsOnce()
{
    SerialLink link(QStringLiteral("/dev/ondaris-no-such-port"));
    QSignalSpy failures(&link, &SerialLink::failure);
    link.ouvre_port();
    QVERIFY(!link.isOpen());
    QCOMPARE(failures.count(), 1);
    const QString message = failures.first().first().toString();
    QVERIFY(message.contains(QStringLiteral("/dev/ondaris-no-such-port")));
    QVERIFY(message.contains(QStringLiteral("n'existe pas")));
    QCOMPARE(link.lit_port(), std::nullopt);
    link.ouvre_port(); // a new attempt, a new message
    QCOMPARE(failures.count(), 2);
}

void TestSerialLink::hangUpClosesAndTells()
{
    PtyPair pty;
    SerialLink link(pty.slaveName());
    QSignalSpy failures(&link, &SerialLink::failure);
    link.ouvre_port();
    QVERIFY(link.isOpen());
    pty.hangUp();
    for (int i = 0; i < 20 && link.isOpen(); ++i) {
        link.lit_port();
        QCoreApplication::processEvents();
    }
    QVERIFY(!link.isOpen());
    QTRY_COMPARE(failures.count(), 1);
    QVERIFY(failures.first().first().toString().contains(QStringLiteral("disparu")));
    QCOMPARE(link.lit_port(), std::nullopt);
}

QTEST_GUILESS_MAIN(TestSerialLink)
#include "tst_seriallink.moc"
