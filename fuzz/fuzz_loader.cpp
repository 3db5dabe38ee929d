// The whole-file loader on arbitrary files: progress only forward, the store within its bounds,
// and lines past the 4096-byte limit (longer inputs) never kept.
#include "recording/samplestore.h"
#include "viewer/recordingloader.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static SampleStore store;
    store.clear();
    QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer device(&file);
    device.open(QIODevice::ReadOnly);

    qint64 last = -1;
    RecordingLoader::Hooks hooks;
    hooks.progress = [&](qint64 position, qint64 total) {
        if (position < last || position > total)
            std::abort();
        last = position;
    };
    const auto result = RecordingLoader::load(device, file.size(), store, hooks);
    if (store.num_mesure() > SampleStore::Capacity
        || store.entete_fichier().value_or(QString()).size() > 4096)
        std::abort();
    if (result.outcome == RecordingLoader::Outcome::Loaded && store.num_mesure() < 1)
        std::abort();
    if (result.outcome == RecordingLoader::Outcome::TooManyLines && !store.isFull())
        std::abort();
    for (int i = 1; i <= store.num_mesure(); ++i) {
        if (store.at(i).line.value_or(QString()).size() > 4096)
            std::abort();
    }
    return 0;
}
