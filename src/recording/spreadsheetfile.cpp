#include "spreadsheetfile.h"

#include "samplestore.h"

#include <QLocale>
#include <QSaveFile>
#include <cmath>
#include <cstdio>

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

namespace {

// A field of a loaded line, quoted where it holds the separator or a quote.
void appendField(QByteArray &out, const QString &field, char separator)
{
    const QByteArray text = field.toUtf8();
    if (!text.contains(separator) && !text.contains('"')) {
        out.append(text);
        return;
    }
    out.append('"').append(QByteArray(text).replace("\"", "\"\"")).append('"');
}

void appendLine(QByteArray &out, const SampleStore &store, int i, Format format)
{
    const char s = format.separator;
    const double value = store.valeur(i);
    char text[48];
    // Whole values, all a recording holds, the quick way.
    if (value == std::trunc(value) && std::abs(value) < 1e15) {
        out.append(
            text,
            std::snprintf(text, sizeof text, "%d%c%lld%c", i, s, static_cast<long long>(value), s));
    } else {
        out.append(QByteArray::number(i)).append(s);
        out.append(QByteArray::number(value, 'g', 15).replace('.', format.decimal)).append(s);
    }
    if (const auto [date, time] = store.stamp(i); date.isValid()) {
        out.append(text,
                   std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", date.year(),
                                 date.month(), date.day(), time.hour(), time.minute(),
                                 time.second()));
    } else if (store.isLoaded()) {
        const QStringList fields = store.ligne_fichier(i).section(u';', 2).split(u';');
        for (qsizetype f = 0; f < fields.size(); ++f) {
            if (f > 0)
                out.append(s);
            appendField(out, fields[f], s);
        }
    }
    out.append("\r\n");
}

} // namespace

QByteArray line(const SampleStore &store, int i, Format format)
{
    QByteArray out;
    appendLine(out, store, i, format);
    return out;
}

bool write(const QString &path, const SampleStore &store, int from, int to, Format format,
           QString *error)
{
    QByteArray bytes = header(format);
    bytes.reserve(bytes.size() + 40 * std::max(0, to - from + 1));
    for (int i = from; i <= to; ++i)
        appendLine(bytes, store, i, format);
    QSaveFile file(path);
    const bool ok
        = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

} // namespace SpreadsheetFile
