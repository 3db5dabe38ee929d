#pragma once

#include "settings.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The one-line configuration file "ondaris.cfg": five comma-separated fields, Windows-1252,
// CR LF. Written atomically; read leniently: the last complete record wins, and a record with
// a bad field gives the defaults.
class ConfigFile
{
public:
    static constexpr const char *FileName = "ondaris.cfg";
    static constexpr std::size_t FieldCount = 5;

    struct Decoded
    {
        Settings settings;
        bool clean = true; // false: the file should be mended (a bad record, a stray tail)
    };

    // path: where the file is read and written; fallback: read instead while path is missing
    // (the file beside the executable, for a program whose settings go to the user's folder).
    explicit ConfigFile(QString path, QString fallback = {});

    // The file beside the executable when the program runs from a writable folder of its own; in
    // the user's folder when that folder is not writable or is a system folder (an installed
    // program, whoever runs it).
    static QString locate(const QString &executableDir, const QString &userConfigDir);

    // Why the file cannot keep this recording file's name, in French, empty when it can: a quote
    // would end its field, a line break its record.
    static QString refusal(const QString &path);
    // The exact bytes of the record for these settings.
    static QByteArray encode(const Settings &settings);
    // Reads records as written by encode() or edited by hand; the last complete record wins.
    static Decoded decode(QByteArrayView bytes);

    const QString &path() const { return m_path; }
    // The file or its fallback exists.
    bool exists() const;
    // The file is missing and read() takes the fallback.
    bool readsFallback() const;
    // The decoded file (or its fallback), or nothing when it cannot be opened.
    std::optional<Decoded> read();
    // Replaces the file in one step; on failure the old file stays whole.
    bool write(const Settings &settings);
    QString errorString() const { return m_error; }

private:
    QString m_path;
    QString m_fallback;
    QString m_error;
};
