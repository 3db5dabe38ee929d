#pragma once

#include <QString>
#include <functional>

class QIODevice;
class SampleStore;

// Reads a recording file into the sample store: the first line as entete_fichier (unless it is a
// sample line: a file without a header), each further line as a sample read by the recording
// file's parser, at most 32000 sample lines.
class RecordingLoader
{
public:
    enum class Outcome {
        Loaded, // every sample line read; n >= 1
        TooManyLines, // the first 32000 sample lines read, more followed
        Malformed, // stopped at a line the parser refused (counted in num_mesure)
        OpenFailed, // missing or unreadable file: nothing read
        NoSampleLine, // empty file, or a header alone
        ReadError, // the system failed while reading
    };

    struct Hooks
    {
        // Called before each line: position of the next byte and the file's length.
        std::function<void(qint64 position, qint64 size)> progress;
        // Lets pending events through; called every few milliseconds, not per line.
        std::function<void()> yield;
        int yieldIntervalMs = 15;
    };

    struct Result
    {
        Outcome outcome = Outcome::OpenFailed;
        qint64 size = 0;
        QString error;
    };

    // The store starts reading at the file's first line; it is not told that the file is
    // complete.
    static Result load(const QString &path, SampleStore &store, const Hooks &hooks);
    // The same from an open device of the given length.
    static Result load(QIODevice &device, qint64 size, SampleStore &store, const Hooks &hooks);
};
