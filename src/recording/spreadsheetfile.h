#pragma once

#include <QByteArray>
#include <QString>

class SampleStore;

// Samples as a spreadsheet reads them in every locale: UTF-8, a header line
// "N°;Valeur;Date et heure", the date and time as yyyy-mm-dd hh:mm:ss, ";" between the fields,
// a decimal comma, CR LF line ends.
namespace SpreadsheetFile {

QByteArray header();
// The line of sample i: its number, its value, and its date and time; for a loaded line whose
// fields after the value do not read as a date and time, those fields as they are.
QByteArray line(const SampleStore &store, int i);
// Writes samples from..to under the header, in one step: the file is whole or left as it was.
// False with the reason, in French, when it cannot be written.
bool write(const QString &path, const SampleStore &store, int from, int to, QString *error);

} // namespace SpreadsheetFile
