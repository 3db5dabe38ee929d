#include "recording/linereader.h"

#include <QBuffer>
#include <QTest>

namespace {

// Every line of the data, "!" standing for a line that was too long.
QStringList linesOf(const QByteArray &data, qint64 *lastPosition = nullptr)
{
    QBuffer device;
    device.setData(data);
    device.open(QIODevice::ReadOnly);
    LineReader reader(device);
    QStringList lines;
    QByteArray line;
    for (;;) {
        const LineReader::Status status = reader.next(line);
        if (status == LineReader::Status::TooLong) {
            lines << QStringLiteral("!");
            break;
        }
        if (status != LineReader::Status::Line)
            break;
        lines << QString::fromLatin1(line);
    }
    if (lastPosition)
        *lastPosition = reader.position();
    return lines;
}

} // namespace

class TestLineReader : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splits_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QStringList {"a", "b"};
        QTest::newRow("lone CR") << QByteArray("a\rb\r") << QStringList {"a", "b"};
        QTest::newRow("lone LF") << QByteArray("a\nb\n") << QStringList {"a", "b"};
        QTest::newRow("no final end") << QByteArray("a\r\nb") << QStringList {"a", "b"};
        QTest::newRow("empty line kept") << QByteArray("a\r\n\r\nb") << QStringList {"a", "", "b"};
        QTest::newRow("LF CR is two ends") << QByteArray("a\n\rb") << QStringList {"a", "", "b"};
        QTest::newRow("trailing empty line") << QByteArray("a\r\n\r\n") << QStringList {"a", ""};
        QTest::newRow("empty file") << QByteArray() << QStringList {};
        QTest::newRow("NUL bytes stay")
            << QByteArray("a\0b\n", 4) << QStringList {QString::fromLatin1("a\0b", 3)};
        // The first 64 KiB block ends just before the last line's end: the next read brings 1 byte.
        QByteArray block;
        QStringList full;
        while (block.size() < 64 * 1024 - 1) {
            block += "xxxxxxxxxxxxxx\n";
            full << QStringLiteral("xxxxxxxxxxxxxx");
        }
        QTest::newRow("a line's end alone in the last read") << block + "b\n"
                                                             << full + QStringList {"b"};
    }
    void splits()
    {
        QFETCH(QByteArray, data);
        QFETCH(QStringList, lines);
        qint64 position = 0;
        QCOMPARE(linesOf(data, &position), lines);
        QCOMPARE(position, data.size());
    }
    void crLfAcrossBlocks()
    {
        constexpr int block = 64 * 1024;
        // Lines of 15 bytes and CR LF: somewhere a CR ends a block and its LF starts the next.
        QByteArray data;
        QStringList expected;
        for (int i = 0; data.size() < 3 * block; ++i) {
            const QByteArray line = QByteArray::number(i).rightJustified(15, '0');
            data += line + "\r\n";
            expected << QString::fromLatin1(line);
        }
        for (int shift = 0; shift < 17; ++shift) {
            const QByteArray shifted = QByteArray(shift, 'x') + data;
            QStringList lines = linesOf(shifted);
            QCOMPARE(lines.size(), expected.size());
            lines.first().remove(0, shift);
            QCOMPARE(lines, expected);
        }
    }
    void boundsLongLines()
    {
        const QByteArray longest(LineReader::MaxLineLength, 'y');
        QCOMPARE(linesOf(longest + "\r\nz"), (QStringList {QString::fromLatin1(longest), "z"}));
        QCOMPARE(linesOf("ok\n" + longest + "y\r\nz"), (QStringList {"ok", "!"}));
        QCOMPARE(linesOf(QByteArray(10 * 1024 * 1024, 'q')), QStringList {"!"});
    }
};

QTEST_GUILESS_MAIN(TestLineReader)
#include "tst_linereader.moc"
