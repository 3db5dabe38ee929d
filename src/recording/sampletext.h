#pragma once

#include "common/sensorscale.h"
#include "sample.h"
#include "spreadsheetfile.h"

#include <QByteArray>
#include <QLocale>
#include <QString>
#include <QStringList>

// A sample as people read it: in the list, in the chart's label, measured from a pinned one,
// and in a spreadsheet; its value on the scale, with the locale's decimal mark.
namespace SampleText {

// The date and time as the recording file and the list write them: "mm-dd-yyyy", "hh:mm:ss";
// empty when unknown.
QString date(QDate date);
QString time(QTime time);

// The list's row: "N ---- #000 --- date --- time" (on another scale than the identity, the value
// in units: "N ---- 19,6 °C --- …"), or "N ---- " and a viewed sample's line.
QString row(const Sample &sample, const SensorScale &scale = {}, const QLocale &locale = {});
// The chart's label: "N° N : value — date time", the value as listed and, for a viewed line,
// the fields after it (nothing when it has none).
QString label(const Sample &sample, const SensorScale &scale = {}, const QLocale &locale = {});
// The differences from a pinned sample: "Δ samples, time, value", the time "—" when either has
// no date and time.
QString delta(const Sample &pinned, const Sample &sample, const SensorScale &scale = {},
              const QLocale &locale = {});
// A viewed line's fields after its value; none for a recorded sample.
QStringList fieldsAfterValue(const Sample &sample);
// A spreadsheet's field, appended in UTF-8, quoted where it holds the separator or a quote.
void appendField(QByteArray &out, const QString &field, char separator);
// The spreadsheet's line, appended: its number, its value on the scale with the format's decimal
// mark and no unit, its recorded value when asked, and its date and time as yyyy-mm-dd hh:mm:ss;
// for a viewed line whose fields after the value are no date and time, those fields as they are.
void appendSpreadsheetLine(QByteArray &out, const Sample &sample, SpreadsheetFile::Format format,
                           const SensorScale &scale = {}, bool recorded = false);

} // namespace SampleText
