#include "recordingscales.h"

#include <QFile>
#include <QSaveFile>

namespace {

constexpr qint64 kLargestFile = 1 << 20; // far more recordings than a file holds

} // namespace

namespace RecordingScales {

QString pathFor(const QString &recordingFile)
{
    return recordingFile + QStringLiteral(".echelle");
}

QHash<QByteArray, SensorScale> read(const QString &recordingFile)
{
    QHash<QByteArray, SensorScale> scales;
    QFile file(pathFor(recordingFile));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestFile)
        return scales;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() != 4 || fields[0].isEmpty())
            continue;
        if (const auto scale
            = SensorScale::parse(QString::fromLatin1(fields[1]), QString::fromLatin1(fields[2]),
                                 QString::fromUtf8(fields[3]), nullptr))
            scales.insert(fields[0], *scale);
    }
    return scales;
}

bool keep(const QString &recordingFile, const QByteArray &first, const SensorScale &scale,
          QString *error)
{
    QHash<QByteArray, SensorScale> scales = read(recordingFile);
    scales.insert(first, scale);
    QByteArray bytes;
    for (auto it = scales.cbegin(); it != scales.cend(); ++it)
        bytes += it.key() + '\t' + QByteArray::number(it->min(), 'g', 17) + '\t'
            + QByteArray::number(it->max(), 'g', 17) + '\t' + it->unit().toUtf8() + '\n';
    QSaveFile file(pathFor(recordingFile));
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

} // namespace RecordingScales
