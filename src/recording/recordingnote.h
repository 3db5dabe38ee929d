#pragma once

#include "sample.h"

#include <QList>
#include <QString>
#include <optional>

// The note of a running recording, kept in a small file beside the settings file from its start
// until it stops: the recording file, where that recording's lines begin in it and, once
// written, its first line. A note left behind tells of a recording that was interrupted (a
// crash, a power cut, a kill), which can be taken up again from its file while the file still
// holds that recording.
class RecordingNote
{
public:
    struct Note
    {
        QString file; // the recording file
        qint64 from = 0; // where the recording's first line begins in it
        QByteArray first; // that line as written, without its line end; empty until written
    };

    // What the recording file still holds of the noted recording.
    struct Recovered
    {
        enum class State { Resumable, Gone, Changed } state = State::Gone;
        QList<Sample> samples; // numbered 1..n, each with its date and time
        qint64 end = 0; // where its last whole line ends: a half line after it is cut off
    };

    explicit RecordingNote(QString path)
        : m_path(std::move(path))
    { }

    const QString &path() const { return m_path; }
    // The note, written in one step; false, with the reason in French, when it cannot be.
    bool write(const Note &note, QString *error) const;
    // The note left behind; none when there is none or it is not one.
    std::optional<Note> read() const;
    void remove() const;

    // The samples of the noted recording, read back from its file.
    static Recovered recover(const Note &note);

private:
    QString m_path;
};
