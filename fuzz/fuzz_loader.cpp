// The whole-file loader on arbitrary files. An input starting with 0xFF runs against a buffer
// already holding all but a few samples (the next byte says how few), so that small inputs also
// meet the 32000-sample bound; lines past the 4096-byte limit come with longer inputs.
#include "recording/loadedlines.h"
#include "recording/measurementbuffer.h"
#include "viewer/recordingloader.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static MeasurementBuffer buffer;
    static LoadedLines lines;
    buffer.restart();
    QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    if (size >= 2 && data[0] == 0xFF) {
        for (int i = 0; i < MeasurementBuffer::Capacity - data[1]; ++i)
            buffer.appendLoaded(i);
        file.remove(0, 2);
    }
    const int before = buffer.num_mesure();
    QBuffer device(&file);
    device.open(QIODevice::ReadOnly);

    qint64 last = -1;
    RecordingLoader::Hooks hooks;
    hooks.progress = [&](qint64 position, qint64 total) {
        if (position < last || position > total)
            std::abort();
        last = position;
    };
    const auto result = RecordingLoader::load(device, file.size(), buffer, lines, hooks);
    const int loaded = buffer.num_mesure() - before;
    if (buffer.num_mesure() > MeasurementBuffer::Capacity || lines.entete_fichier().size() > 4096)
        std::abort();
    if (result.outcome == RecordingLoader::Outcome::Loaded && loaded < 1)
        std::abort();
    if (result.outcome == RecordingLoader::Outcome::TooManyLines && !buffer.isFull())
        std::abort();
    for (int i = before + 1; i <= buffer.num_mesure(); ++i) {
        if (lines.ligne_fichier(i).size() > 4096)
            std::abort();
    }
    return 0;
}
