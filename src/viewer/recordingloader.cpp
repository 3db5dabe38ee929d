#include "recordingloader.h"

#include "common/codepage.h"
#include "recording/linereader.h"
#include "recording/recordingfile.h"
#include "recording/samplestore.h"

#include <QElapsedTimer>
#include <QFile>
#include <utility>

RecordingLoader::Result RecordingLoader::load(const QString &path, SampleStore &store,
                                              const Hooks &hooks)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Result result;
        result.error = file.errorString();
        return result;
    }
    return load(file, file.size(), store, hooks);
}

RecordingLoader::Result RecordingLoader::load(QIODevice &file, qint64 size, SampleStore &store,
                                              const Hooks &hooks)
{
    Result result;
    result.size = size;
    LineReader reader(file);
    QElapsedTimer sinceYield;
    sinceYield.start();
    int lines = 0;
    const auto progress = [&] {
        if (hooks.progress)
            hooks.progress(reader.position(), result.size);
        // The clock is read every 16 lines: reading it for each would cost as much as the line.
        if (hooks.yield && ++lines % 16 == 0 && sinceYield.elapsed() >= hooks.yieldIntervalMs) {
            hooks.yield();
            sinceYield.restart();
        }
    };
    const auto finish = [&](Outcome outcome) {
        result.outcome = outcome;
        if (outcome == Outcome::ReadError)
            result.error = file.errorString();
        if (hooks.progress)
            hooks.progress(reader.position(), result.size);
        return result;
    };

    QByteArrayView line;
    progress();
    switch (reader.next(line)) {
    case LineReader::Status::Line:
        break;
    case LineReader::Status::TooLong:
        return finish(Outcome::Malformed);
    case LineReader::Status::End:
        return finish(Outcome::NoSampleLine);
    case LineReader::Status::Error:
        return finish(Outcome::ReadError);
    }
    // A file recorded into before any header was made (the first run's default file) starts
    // with a sample line: that line is sample 1, and the list shows the usual header above it.
    bool sampleInHand = RecordingFile::read(line, 1).has_value();
    store.startReading(
        Codepage::fromWindows1252(sampleInHand ? RecordingFile::header().chopped(2) : line));

    const auto endOfFile = [&] {
        return finish(store.num_mesure() > 0 ? Outcome::Loaded : Outcome::NoSampleLine);
    };
    for (;;) {
        if (store.isFull())
            return reader.atEnd() ? endOfFile() : finish(Outcome::TooManyLines);
        progress();
        const LineReader::Status status
            = std::exchange(sampleInHand, false) ? LineReader::Status::Line : reader.next(line);
        if (status == LineReader::Status::End)
            return endOfFile();
        if (status == LineReader::Status::Error)
            return finish(Outcome::ReadError);
        const int number = store.num_mesure() + 1;
        const bool whole = status == LineReader::Status::Line;
        if (std::optional<Sample> sample
            = whole ? RecordingFile::read(line, number) : std::nullopt) {
            store.add(std::move(*sample));
            continue;
        }
        // A malformed line is counted, its value -1, and the reading stops there.
        store.add({number, -1, {}, {}, whole ? Codepage::fromWindows1252(line) : QString()});
        return finish(Outcome::Malformed);
    }
}
