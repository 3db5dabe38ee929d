#include "spreadsheetfile.h"

#include "samplestore.h"
#include "sampletext.h"

#include <QLocale>
#include <QSaveFile>

namespace SpreadsheetFile {

Format formatFor(const QLocale &locale)
{
    if (locale.decimalPoint() == QStringLiteral(","))
        return {',', ';'};
    return {'.', ','};
}

QByteArray header(Format format)
{
    const char s = format.separator;
    return QByteArray("N\xC2\xB0") + s + "Valeur" + s + "Date et heure\r\n";
}

bool write(const QString &path, const SampleStore &store, int from, int to, Format format,
           QString *error)
{
    QByteArray bytes = header(format);
    bytes.reserve(bytes.size() + 40 * std::max(0, to - from + 1));
    for (int i = from; i <= to; ++i)
        SampleText::appendSpreadsheetLine(bytes, store.at(i), format, store.scaleAt(i));
    QSaveFile file(path);
    const bool ok
        = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

} // namespace SpreadsheetFile
