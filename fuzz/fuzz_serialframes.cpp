// The serial framing on arbitrary byte streams in arbitrary pieces and at arbitrary times:
// every frame taken is four bytes that followed a silence by a whole number of frames.
#include "acquisition/serialframer.h"

#include <QByteArray>
#include <QList>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using Time = SerialFramer::Time;
    SerialFramer framer;
    Time now {0};
    framer.restart(now);
    QByteArray stream; // every byte fed
    QList<qsizetype> starts; // where a burst that followed a silence began
    Time last = now;
    size_t pos = 0;
    while (pos + 1 < size) {
        // Each piece: a gap in milliseconds, a length (0: a poll), then that many bytes.
        now += std::chrono::milliseconds(data[pos] % 64);
        const size_t length = std::min<size_t>(data[pos + 1] % 16, size - pos - 2);
        const QByteArray bytes(reinterpret_cast<const char *>(data + pos + 2), qsizetype(length));
        pos += length + 2;
        if (length == 0) {
            if (const auto frame = framer.take(now)) {
                const QByteArray got(reinterpret_cast<const char *>(frame->data()), 4);
                bool found = false;
                for (const qsizetype start : starts)
                    for (qsizetype at = start; at + 4 <= stream.size() && !found; at += 4)
                        found = stream.mid(at, 4) == got;
                if (!found)
                    std::abort();
            }
            continue;
        }
        if (now - last >= SerialFramer::Silence)
            starts << stream.size();
        stream += bytes;
        last = now;
        framer.feed(bytes, now);
    }
    return 0;
}
