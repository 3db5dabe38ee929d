// The whole-file loader on arbitrary files. An input starting with 0xFF runs against a store
// already holding all but a few samples (the next byte says how few), so that small inputs also
// meet the 32000-sample bound; lines past the 4096-byte limit come with longer inputs.
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
    if (size >= 2 && data[0] == 0xFF) {
        for (int i = 0; i < SampleStore::Capacity - data[1]; ++i)
            store.load(i, {});
        file.remove(0, 2);
    }
    const int before = store.num_mesure();
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
    const int loaded = store.num_mesure() - before;
    if (store.num_mesure() > SampleStore::Capacity || store.entete_fichier().size() > 4096)
        std::abort();
    if (result.outcome == RecordingLoader::Outcome::Loaded && loaded < 1)
        std::abort();
    if (result.outcome == RecordingLoader::Outcome::TooManyLines && !store.isFull())
        std::abort();
    for (int i = before + 1; i <= store.num_mesure(); ++i) {
        if (store.ligne_fichier(i).size() > 4096)
            std::abort();
    }
    return 0;
}
