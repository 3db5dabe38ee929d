#pragma once

#include "settings.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The one-line configuration file "ondaris.cfg": five comma-separated fields, Windows-1252,
// CR LF. Written atomically; read leniently, a bad field falling back to its default.
class ConfigFile
{
public:
    static constexpr const char *FileName = "ondaris.cfg";

    struct Decoded
    {
        Settings settings;
        bool clean = true; // false: some field was missing or bad and took its default
    };

    explicit ConfigFile(QString path);

    // The file beside the executable when the program runs from a writable folder of its own; in
    // the user's folder when that folder is not writable or is a system folder (an installed
    // program, whoever runs it).
    static QString locate(const QString &executableDir, const QString &userConfigDir);

    // The exact bytes of the record for these settings.
    static QByteArray encode(const Settings &settings);
    // Reads records as written by encode() or edited by hand; the last record wins.
    static Decoded decode(QByteArrayView bytes);

    const QString &path() const { return m_path; }
    bool exists() const;
    // The decoded file, or nothing when it cannot be opened.
    std::optional<Decoded> read();
    // Replaces the file in one step; on failure the old file stays whole.
    bool write(const Settings &settings);
    QString errorString() const { return m_error; }

private:
    QString m_path;
    QString m_error;
};
