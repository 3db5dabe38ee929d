#pragma once

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
    // The line of one sample, CR LF included.
    static QByteArray sampleLine(int number, double value, const QString &date,
                                 const QString &time);

    // lit_fichier: the value of a sample line, or nothing when the line is malformed (no ";"
    // within its first six characters, or a second field that is not a number).
    static std::optional<double> parseValue(QByteArrayView line);

    // Appends the bytes to the file (created when missing), flushed to the disk when sync is
    // set. On failure the file is left as it was and error holds the reason, in French.
    static bool append(const QString &path, QByteArrayView bytes, QString *error, bool sync = true);
    // Creates or empties the file and writes the header.
    static bool create(const QString &path, QString *error);
};
