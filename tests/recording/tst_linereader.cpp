#include "recording/linereader.h"

#include <QBuffer>
#include <QTest>

namespace {

// Every line of the data, "!" standing for a line that was too long; checks that the reader's
// position is then the end of what it read.
QStringList linesOf(const QByteArray &data)
{
    QBuffer device;
    device.setData(data);
    device.open(QIODevice::ReadOnly);
    LineReader reader(device);
    QStringList lines;
    QByteArray line;
    for (LineReader::Status status; (status = reader.next(line)) != LineReader::Status::End;) {
        lines << (status == LineReader::Status::Line ? QString::fromLatin1(line)
                                                     : QStringLiteral("!"));
        if (status != LineReader::Status::Line)
            return lines;
    }
    return reader.position() == data.size() ? lines : QStringList {"position"};
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
        QTest::newRow("CR") << QByteArray("a\rb\r") << QStringList {"a", "b"};
        QTest::newRow("LF") << QByteArray("a\nb\n") << QStringList {"a", "b"};
        QTest::newRow("no final end") << QByteArray("a\r\nb") << QStringList {"a", "b"};
        QTest::newRow("empty lines")
            << QByteArray("a\r\n\r\nb\r\n\r\n") << QStringList {"a", "", "b", ""};
        QTest::newRow("LF CR") << QByteArray("a\n\rb") << QStringList {"a", "", "b"};
        QTest::newRow("empty") << QByteArray() << QStringList {};
        QTest::newRow("NUL") << QByteArray("a\0b\n", 4)
                             << QStringList {QString::fromLatin1("a\0b", 3)};
        const QByteArray longest(LineReader::MaxLineLength, 'y');
        QTest::newRow("longest") << longest + "\r\nz"
                                 << QStringList {QString::fromLatin1(longest), "z"};
        QTest::newRow("too long") << "ok\n" + longest + "y\r\nz" << QStringList {"ok", "!"};
        QTest::newRow("10 MB") << QByteArray(10 << 20, 'q') << QStringList {"!"};
        // The first 64 KiB block ends just before the last line's end: the next read brings it.
        QByteArray block;
        QStringList full;
        while (block.size() < 64 * 1024 - 1) {
            block += "xxxxxxxxxxxxxx\n";
            full << QStringLiteral("xxxxxxxxxxxxxx");
        }
        QTest::newRow("end alone in the last read") << block + "b\n" << full + QStringList {"b"};
        // Lines of 15 bytes and CR LF, shifted: somewhere a CR ends a block and its LF starts
        // the next.
        QByteArray data;
        QStringList expected;
        for (int i = 0; data.size() < 3 * 64 * 1024; ++i) {
            data += QByteArray::number(i).rightJustified(15, '0') + "\r\n";
            expected << QString::number(i).rightJustified(15, u'0');
        }
        for (int shift = 0; shift < 17; ++shift) {
            expected.first() = QString(shift, u'x') + QStringLiteral("000000000000000");
            QTest::addRow("CR LF across blocks, %d", shift)
                << QByteArray(shift, 'x') + data << expected;
        }
    }
    void splits()
    {
        QFETCH(QByteArray, data);
        QTEST(linesOf(data), "lines");
    }
};

QTEST_GUILESS_MAIN(TestLineReader)
#include "tst_linereader.moc"
