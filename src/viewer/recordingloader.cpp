#include "recordingloader.h"

#include "common/codepage.h"
#include "recording/linereader.h"
#include "recording/loadedlines.h"
#include "recording/measurementbuffer.h"
#include "recording/recordingfile.h"

#include <QElapsedTimer>
#include <QFile>
#include <utility>

RecordingLoader::Result RecordingLoader::load(const QString &path, MeasurementBuffer &buffer,
                                              LoadedLines &lines, const Hooks &hooks)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Result result;
        result.error = file.errorString();
        return result;
    }
    return load(file, file.size(), buffer, lines, hooks);
}

RecordingLoader::Result RecordingLoader::load(QIODevice &file, qint64 size,
                                              MeasurementBuffer &buffer, LoadedLines &lines,
                                              const Hooks &hooks)
{
    Result result;
    result.size = size;
    LineReader reader(file);
    QElapsedTimer sinceYield;
    sinceYield.start();
    const auto progress = [&] {
        if (hooks.progress)
            hooks.progress(reader.position(), result.size);
        if (hooks.yield && sinceYield.elapsed() >= hooks.yieldIntervalMs) {
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

    QByteArray line;
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
    bool sampleInHand = RecordingFile::parseValue(line).has_value();
    lines.setEntete_fichier(
        Codepage::fromWindows1252(sampleInHand ? RecordingFile::header().chopped(2) : line));

    int read = 0;
    const auto endOfFile = [&] {
        return finish(read > 0 ? Outcome::Loaded : Outcome::NoSampleLine);
    };
    for (;;) {
        if (buffer.isFull())
            return reader.atEnd() ? endOfFile() : finish(Outcome::TooManyLines);
        progress();
        const LineReader::Status status
            = std::exchange(sampleInHand, false) ? LineReader::Status::Line : reader.next(line);
        if (status == LineReader::Status::End)
            return endOfFile();
        if (status == LineReader::Status::Error)
            return finish(Outcome::ReadError);
        const std::optional<double> value
            = status == LineReader::Status::Line ? RecordingFile::parseValue(line) : std::nullopt;
        buffer.appendLoaded(value.value_or(-1));
        ++read;
        const int n = buffer.num_mesure();
        lines.setLigne_fichier(
            n, status == LineReader::Status::Line ? Codepage::fromWindows1252(line) : QString());
        if (!value)
            return finish(Outcome::Malformed);
    }
}

RecordingLoader::Result RecordingLoader::load(const QString &path, MeasurementBuffer &buffer,
                                              LoadedLines &lines)
{
    return load(path, buffer, lines, Hooks {});
}
