#pragma once


#include <QByteArray>
#include <QString>

class QLocale;
class SampleStore;

// Samples as a spreadsheet reads them in the locale it runs in: UTF-8, a header line
// "N°;Valeur;Date et heure", the date and time as yyyy-mm-dd hh:mm:ss (every locale reads it),
// the locale's decimal mark, CR LF line ends.
namespace SpreadsheetFile {

// The decimal mark, and the field separator that goes with it: ";" beside a decimal comma,
// "," beside a decimal point, as spreadsheets expect them in that locale.
struct Format
{
    char decimal = ',';
    char separator = ';';
};
Format formatFor(const QLocale &locale);

QByteArray header(Format format = {});
// Writes samples from..to under the header, a line each as SampleText makes it on its scale, in
// one step: the file is whole or left as it was. False with the reason, in French, when it
// cannot be written.
bool write(const QString &path, const SampleStore &store, int from, int to, Format format,
           QString *error);

} // namespace SpreadsheetFile
