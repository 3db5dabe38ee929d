#include "acquisition/acquisition.h"
#include "fakehidtransport.h"
#include "ptypair.h"

#include <QTest>

class TestAcquisition : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void scales_data();
    void scales();
    void testKeysStayIn16Bits_data();
    void testKeysStayIn16Bits();
    void pollsChosenSourceOnly();
};

void TestAcquisition::scales_data()
{
    QTest::addColumn<int>("raw");
    QTest::addColumn<int>("shown");
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("30") << 30 << 117;
    QTest::newRow("70") << 70 << 274;
    QTest::newRow("100 floors 392.1") << 100 << 392;
    QTest::newRow("128") << 128 << 501;
    QTest::newRow("255 floors 999.855") << 255 << 999;
}

void TestAcquisition::scales()
{
    QFETCH(int, raw);
    QFETCH(int, shown);
    QCOMPARE(Acquisition::scaled(raw), shown);
}

void TestAcquisition::testKeysStayIn16Bits_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("start"); // reached with + or - from 0
    QTest::addColumn<int>("expected");
    QTest::newRow("+++-") << "+++-" << 0 << 2;
    QTest::newRow("other keys ignored") << "a=*/0 +" << 0 << 1;
    QTest::newRow("+ at 32767 ignored") << "++" << 32766 << 32767;
    QTest::newRow("- at -32768 ignored") << "--" << -32767 << -32768;
}

void TestAcquisition::testKeysStayIn16Bits()
{
    QFETCH(QString, keys);
    QFETCH(int, start);
    QFETCH(int, expected);
    Acquisition acquisition({}, std::make_unique<FakeHidTransport>());
    for (int i = 0; i < std::abs(start); ++i)
        acquisition.keyPress(start > 0 ? '+' : '-');
    for (QChar key : keys)
        acquisition.keyPress(key.unicode());
    QCOMPARE(int(acquisition.valeur_test()), expected);
    QCOMPARE(acquisition.displayText(0), QString::number(expected));
    QCOMPARE(acquisition.sampleValue(0), double(expected));
}

void TestAcquisition::pollsChosenSourceOnly()
{
    PtyPair pty;
    auto fake = std::make_unique<FakeHidTransport>();
    FakeHidTransport &board = *fake;
    Acquisition acquisition([&] { return QStringList {pty.slaveName()}; }, std::move(fake));
    board.reports = {FakeHidTransport::report(4, 0, 0), FakeHidTransport::report(4, 128, 3)};

    acquisition.poll(0);
    QCOMPARE(board.opens, 0);
    acquisition.poll(1);
    QCOMPARE(acquisition.valeur_brute(), 128);
    QCOMPARE(acquisition.valeur_voie2(), 3);
    QCOMPARE(acquisition.displayText(1), QStringLiteral("501"));

    // The raw reading outlives source changes until a new reading replaces it.
    acquisition.keyPress('-');
    QCOMPARE(acquisition.displayText(0), QStringLiteral("-1"));
    QCOMPARE(acquisition.displayText(2), QStringLiteral("501"));
    acquisition.serial().ouvre_port();
    acquisition.poll(2);
    QCOMPARE(acquisition.valeur_brute(), 128);
    QTest::qWait(2 * SerialFramer::Silence.count() / 1000); // the line silent since the open
    QVERIFY(pty.send(QByteArray("\x0A\x14\x1E\x28", 4)));
    QTest::qWait(2 * SerialFramer::Silence.count() / 1000);
    acquisition.poll(2);
    QCOMPARE(acquisition.valeur_brute(), 30);
    QCOMPARE(acquisition.displayText(2), QStringLiteral("117"));
    QCOMPARE(acquisition.sampleValue(1), 117.0);
    QCOMPARE(board.opens, 1);

    board.present = false; // an absent board leaves the reading as it was
    acquisition.poll(1);
    QCOMPARE(acquisition.valeur_brute(), 30);
}

QTEST_GUILESS_MAIN(TestAcquisition)
#include "tst_acquisition.moc"
