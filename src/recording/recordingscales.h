#pragma once

#include "common/sensorscale.h"

#include <QByteArray>
#include <QHash>
#include <QString>

// The scale each recording of a recording file was made on, in "<file>.echelle" beside it: a
// line a recording, "first line<TAB>min<TAB>max<TAB>unit" in UTF-8, the recording known by its
// first line as written. Written in one step; only recordings made on another scale than the
// identity have a line. A missing or junk file, or a junk line, gives nothing: the recording is
// then read as its recorded values.
namespace RecordingScales {

QString pathFor(const QString &recordingFile);
// Keeps the scale of the recording whose first line is first, in place of any kept for it;
// false, with the reason in French, when it could not be written.
bool keep(const QString &recordingFile, const QByteArray &first, const SensorScale &scale,
          QString *error);
// The scales kept for the recordings of that file, by first line.
QHash<QByteArray, SensorScale> read(const QString &recordingFile);

} // namespace RecordingScales
