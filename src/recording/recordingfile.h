#pragma once

#include "sample.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The recording file: a header line and one "number;value;date;time" line per sample, 8-bit
// text with CR LF line ends. Each sample line is appended whole and on disk when append returns.
class RecordingFile
{
public:
    // "N°Record;Valeur;Date;Time" CR LF, the degree sign as the single byte B0: 27 bytes.
    static QByteArray header();
    // The line of one sample, CR LF included: its number, its whole recorded value (never in the
    // scale's units), its date and time.
    static QByteArray line(const Sample &sample);
    // A line of the file, without its end, read as sample number: its value, its
    // date and time when the fields after the value read as such, and the line itself (8-bit
    // text); nothing when the line is malformed (no ";" within its first six characters, or a
    // second field that is not a number).
    static std::optional<Sample> read(QByteArrayView line, int number);

    // Appends the bytes to the file (created when missing), flushed to the disk when sync is
    // set. On failure the file is left as it was and error holds the reason, in French.
    static bool append(const QString &path, QByteArrayView bytes, QString *error, bool sync = true);
    // Creates or empties the file and writes the header.
    static bool create(const QString &path, QString *error);
};
