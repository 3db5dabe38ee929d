#include "linereader.h"

#include <QIODevice>
#include <algorithm>
#include <cstring>
#include <utility>

namespace {
constexpr qint64 kBlockSize = 64 * 1024;
constexpr qint64 kMinBlockSize = 4 * 1024;
} // namespace

LineReader::LineReader(QIODevice &device)
    : m_device(device)
{ }

bool LineReader::fill()
{
    if (m_pos > 0) {
        m_buffer.remove(0, m_pos);
        m_consumed += m_pos;
        m_pos = 0;
    }
    const qsizetype kept = m_buffer.size();
    // A small file is read in one small block; a large one in large blocks.
    const qint64 block = std::clamp<qint64>(m_device.bytesAvailable(), kMinBlockSize, kBlockSize);
    m_buffer.resize(kept + block);
    const qint64 got = m_device.read(m_buffer.data() + kept, block);
    m_buffer.resize(kept + std::max<qint64>(got, 0));
    if (got < 0)
        m_error = true;
    return got > 0;
}

void LineReader::skipPendingLf()
{
    if (!std::exchange(m_pendingLf, false))
        return;
    if (m_pos == m_buffer.size())
        fill();
    if (m_pos < m_buffer.size() && m_buffer[m_pos] == '\n')
        ++m_pos;
}

LineReader::Status LineReader::next(QByteArrayView &line)
{
    skipPendingLf();
    qsizetype scan = m_pos;
    for (;;) {
        const qsizetype size = m_buffer.size();
        const char *data = m_buffer.constData();
        // The first CR or LF, looked for no further than a line may reach.
        const qsizetype limit = std::min(size, m_pos + MaxLineLength + 1);
        qsizetype end = std::max(scan, limit);
        if (scan < limit) {
            const char *from = data + scan;
            const auto *lf
                = static_cast<const char *>(std::memchr(from, '\n', std::size_t(limit - scan)));
            const char *stop = lf ? lf : data + limit;
            const auto *cr
                = static_cast<const char *>(std::memchr(from, '\r', std::size_t(stop - from)));
            end = (cr ? cr : stop) - data;
        }
        if (end - m_pos > MaxLineLength)
            return Status::TooLong;
        if (end < size) {
            line = QByteArrayView(data + m_pos, end - m_pos);
            m_pos = end + 1;
            if (data[end] == '\r') {
                if (m_pos == size)
                    m_pendingLf = true; // the LF of a CR LF may start the next block
                else if (data[m_pos] == '\n')
                    ++m_pos;
            }
            return Status::Line;
        }
        const qsizetype scanned = end - m_pos;
        if (!fill()) {
            if (m_error)
                return Status::Error;
            if (m_pos >= m_buffer.size())
                return Status::End;
            line = QByteArrayView(m_buffer).sliced(m_pos);
            m_pos = m_buffer.size();
            return Status::Line;
        }
        scan = m_pos + scanned;
    }
}

bool LineReader::atEnd()
{
    skipPendingLf();
    if (m_pos < m_buffer.size())
        return false;
    return !fill();
}
