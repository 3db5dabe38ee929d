#include "recordingloader.h"

#include "recording/linereader.h"
#include "recording/loadedlines.h"
#include "recording/measurementbuffer.h"
#include "recording/recordingfile.h"
#include "settings/codepage.h"

#include <QElapsedTimer>
#include <QFile>

RecordingLoader::Result RecordingLoader::load(const QString &path, MeasurementBuffer &buffer,
                                              LoadedLines &lines, const Hooks &hooks)
{
    Result result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = file.errorString();
        return result;
    }
    result.size = file.size();
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
    case LineReader::Status::Line: break;
    case LineReader::Status::TooLong: return finish(Outcome::Malformed);
    case LineReader::Status::End: return finish(Outcome::NoSampleLine);
    case LineReader::Status::Error: return finish(Outcome::ReadError);
    }
    lines.setEntete(Codepage::fromWindows1252(line));

    for (;;) {
        if (buffer.isFull())
            return finish(reader.atEnd() ? Outcome::Loaded : Outcome::TooManyLines);
        progress();
        const LineReader::Status status = reader.next(line);
        if (status == LineReader::Status::End)
            return finish(buffer.num_mesure() > 0 ? Outcome::Loaded : Outcome::NoSampleLine);
        if (status == LineReader::Status::Error)
            return finish(Outcome::ReadError);
        const std::optional<double> value = status == LineReader::Status::Line
            ? RecordingFile::parseValue(line)
            : std::nullopt;
        buffer.appendLoaded(value.value_or(-1));
        const int n = buffer.num_mesure();
        lines.setLigne(n, status == LineReader::Status::Line ? Codepage::fromWindows1252(line)
                                                             : QString());
        if (!value)
            return finish(Outcome::Malformed);
    }
}

RecordingLoader::Result RecordingLoader::load(const QString &path, MeasurementBuffer &buffer,
                                              LoadedLines &lines)
{
    return load(path, buffer, lines, Hooks{});
}
