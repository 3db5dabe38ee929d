#include "recordingnote.h"

#include "recordingfile.h"
#include "samplestore.h"

#include <QFile>
#include <QSaveFile>

namespace {

constexpr QByteArrayView kFirstLine = "Ondaris : enregistrement en cours";
constexpr qint64 kMaxNoteSize = 64 * 1024;
// Longer than any line the recorder writes, a 20-digit value included.
constexpr qint64 kLongestLine = 64;

} // namespace

bool RecordingNote::write(const Note &note, QString *error) const
{
    QSaveFile file(m_path);
    QByteArray bytes = kFirstLine.toByteArray() + '\n' + QByteArray::number(note.from) + '\n'
        + note.file.toUtf8() + '\n';
    if (!note.first.isEmpty())
        bytes += note.first + '\n';
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

std::optional<RecordingNote::Note> RecordingNote::read() const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxNoteSize)
        return std::nullopt;
    const QList<QByteArray> lines = file.readAll().split('\n');
    bool number = false;
    Note note {QString::fromUtf8(lines.value(2)), lines.value(1).toLongLong(&number),
               lines.size() == 5 ? lines[3] : QByteArray()};
    if ((lines.size() != 4 && (lines.size() != 5 || note.first.isEmpty())) || lines[0] != kFirstLine
        || !number || note.from < 0 || note.file.isEmpty() || !lines.last().isEmpty()
        || note.file.toUtf8() != lines[2])
        return std::nullopt;
    return note;
}

void RecordingNote::remove() const
{
    QFile::remove(m_path);
}

RecordingNote::Recovered RecordingNote::recover(const Note &note)
{
    using State = Recovered::State;
    Recovered recovered;
    QFile file(note.file);
    if (!file.open(QIODevice::ReadOnly)) {
        // Started on a file not made yet, and stopped before its first sample: nothing is lost.
        if (note.from == 0 && note.first.isEmpty() && !file.exists())
            recovered.state = State::Resumable;
        return recovered;
    }
    recovered.state = State::Changed;
    // More than a recording's lines and a half line after them is not this recording: it is not
    // read into memory, and nothing of it is cut off.
    const qint64 left = file.size() - note.from;
    if (left < 0 || left > (SampleStore::Capacity + 1) * kLongestLine || !file.seek(note.from))
        return recovered;
    const QByteArray bytes = file.readAll();
    // Another recording in its place, or lines where none was written, are not this one.
    if (note.first.isEmpty() ? !bytes.isEmpty()
                             : !bytes.startsWith(QByteArray(note.first + "\r\n")))
        return recovered;
    recovered.end = note.from;
    qsizetype at = 0;
    for (qsizetype lf; (lf = bytes.indexOf('\n', at)) >= 0; at = lf + 1) {
        // Each line as the recorder wrote it: its number next, CR LF, a date and a time.
        const QByteArrayView line = QByteArrayView(bytes).sliced(at, lf - at);
        const int number = int(recovered.samples.size()) + 1;
        const auto sample
            = line.endsWith('\r') ? RecordingFile::read(line.chopped(1), number) : std::nullopt;
        if (!sample || number > SampleStore::Capacity || !sample->date.isValid()
            || !sample->time.isValid() || !sample->line->startsWith(QString::number(number) + u';'))
            return recovered;
        recovered.samples.append({number, sample->value, sample->date, sample->time});
        recovered.end = note.from + lf + 1;
    }
    if (bytes.size() - at >= kLongestLine) // more after the last line than a half line of it
        return recovered;
    recovered.state = State::Resumable;
    return recovered;
}
