#pragma once

#include <QString>

class SampleStore;

// Samples as a workbook (.xlsx) holds them, whatever the locale that opens it: a sheet
// "Mesures" whose columns are the spreadsheet export's, numbers as numbers, the recorded value
// always beside the value in units, dates as dates shown yyyy-mm-dd hh:mm:ss; a viewed line's
// fields after its value that are no date and time as text. Its properties name the recording's
// file (the title) and its scales (the comments, and custom properties Min, Max and Unité when
// the samples have one scale).
namespace WorkbookFile {

// A path with the ".xlsx" suffix, in any case: an export written as a workbook.
bool isWorkbook(const QString &path);
// Writes samples from..to in one step: the file is whole or left as it was. False with the
// reason, in French, when it cannot be written.
bool write(const QString &path, const SampleStore &store, int from, int to,
           const QString &recordingName, QString *error);

} // namespace WorkbookFile
