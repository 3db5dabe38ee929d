#pragma once

#include "recording/recordingfile.h"

#include <QFile>
#include <functional>

// Whole-file reads and writes for tests, and recordings as the program writes them.
namespace TestFiles {

inline QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Sample lines first..last as the recorder writes them, sample i holding value(i).
inline QByteArray samples(int first, int last, const std::function<int(int)> &value)
{
    QByteArray bytes;
    for (int i = first; i <= last; ++i)
        bytes += RecordingFile::line({i, double(value(i)), QDate(2026, 12, 6), QTime(4, 38, 58)});
    return bytes;
}

// A recording file made by "Nouvel Enregistrement" and n samples.
inline QByteArray recording(int n, const std::function<int(int)> &value)
{
    return RecordingFile::header() + samples(1, n, value);
}

} // namespace TestFiles
