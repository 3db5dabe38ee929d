// The recording line parser on arbitrary lines: never crashes, and accepts only lines whose
// first ";" lies in the first six characters and whose value is a finite number.
#include "recording/recordingfile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView line(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<double> value = RecordingFile::parseValue(line);
    if (value) {
        const qsizetype separator = line.indexOf(';');
        if (separator < 0 || separator > 5 || !std::isfinite(*value))
            std::abort();
    }
    return 0;
}
