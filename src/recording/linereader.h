#pragma once

#include <QByteArray>

class QIODevice;

// Reads a text file line by line in large blocks. A line ends at CR LF, a lone CR or a lone
// LF; its end is not part of it. Memory stays bounded whatever the file holds.
class LineReader
{
public:
    static constexpr qsizetype MaxLineLength = 4096;

    enum class Status { Line, TooLong, End, Error };

    explicit LineReader(QIODevice &device);

    // The next line into line, which stays valid until the next call; TooLong when it passes
    // MaxLineLength (the reading should stop).
    Status next(QByteArrayView &line);
    // True when nothing follows the last line returned.
    bool atEnd();
    // Bytes consumed so far: the position of the next byte to read.
    qint64 position() const { return m_consumed + m_pos; }
    // Bytes held in memory: at most a line's length and one block.
    qsizetype buffered() const { return m_buffer.size(); }

private:
    // Reads another block behind what is left; false at the end of the file or on error.
    bool fill();
    // Passes the LF of a CR LF whose CR ended the last block.
    void skipPendingLf();

    QIODevice &m_device;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
    qint64 m_consumed = 0;
    bool m_error = false;
    bool m_pendingLf = false;
};
