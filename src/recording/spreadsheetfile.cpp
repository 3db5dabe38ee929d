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

Columns columnsFor(const SampleStore &store, int from, int to)
{
    Columns columns;
    QStringList units;
    for (int i = from; i <= to; ++i) {
        const SensorScale &scale = store.scaleAt(i);
        columns.recorded = columns.recorded || !scale.isIdentity();
        if (!scale.unit().isEmpty() && !units.contains(scale.unit()))
            units.append(scale.unit());
    }
    columns.unit = units.join(QStringLiteral(", "));
    return columns;
}

QStringList titles(const Columns &columns)
{
    QStringList titles {QStringLiteral("N°"),
                        columns.unit.isEmpty() ? QStringLiteral("Valeur")
                                               : QStringLiteral("Valeur (%1)").arg(columns.unit)};
    if (columns.recorded)
        titles.append(QStringLiteral("Valeur enregistrée"));
    titles.append(QStringLiteral("Date et heure"));
    return titles;
}

QByteArray header(Format format, const Columns &columns)
{
    QByteArray bytes;
    for (const QString &title : titles(columns)) {
        if (!bytes.isEmpty())
            bytes.append(format.separator);
        SampleText::appendField(bytes, title, format.separator);
    }
    return bytes + "\r\n";
}

bool write(const QString &path, const SampleStore &store, int from, int to, Format format,
           QString *error)
{
    const Columns columns = columnsFor(store, from, to);
    QByteArray bytes = header(format, columns);
    bytes.reserve(bytes.size() + 48 * std::max(0, to - from + 1));
    for (int i = from; i <= to; ++i)
        SampleText::appendSpreadsheetLine(bytes, store.at(i), format, store.scaleAt(i),
                                          columns.recorded);
    QSaveFile file(path);
    const bool ok
        = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

} // namespace SpreadsheetFile
