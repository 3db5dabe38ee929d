// The serial frame rule on arbitrary byte streams arriving in arbitrary pieces: the input never
// stays clogged, and a reading is always byte 2 of the newest whole frame.
#include "acquisition/seriallink.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray waiting;
    size_t pos = 0;
    while (pos < size) {
        // Each piece: a length byte, then that many bytes of the stream (what came between polls).
        const size_t length = std::min<size_t>(data[pos] % 16, size - pos - 1);
        waiting.append(reinterpret_cast<const char *>(data + pos + 1), qsizetype(length));
        pos += length + 1;
        const QByteArray before = waiting;
        QByteArray frame;
        const std::optional<quint8> reading = SerialLink::takeFrame(waiting, &frame);
        if (waiting.size() >= SerialLink::FrameSize)
            std::abort(); // clogged
        if (reading) {
            if (before.size() % SerialLink::FrameSize != 0 || frame != before.right(4)
                || *reading != quint8(before[before.size() - 2]))
                std::abort();
        } else if (!waiting.isEmpty() && waiting != before) {
            std::abort();
        }
    }
    return 0;
}
