// The recording line parser on arbitrary lines: never crashes, accepts only lines whose first
// ";" lies in the first six characters and whose value is a finite number, and gives a date
// only with a time.
#include "recording/recordingfile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView line(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const std::optional<Sample> sample = RecordingFile::read(line, 1)) {
        const qsizetype separator = line.indexOf(';');
        if (separator < 0 || separator > 5 || !std::isfinite(sample->value)
            || sample->date.isValid() != sample->time.isValid() || !sample->line)
            std::abort();
    }
    return 0;
}
