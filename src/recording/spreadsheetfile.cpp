#include "spreadsheetfile.h"

#include "samplestore.h"

#include <QSaveFile>
#include <cmath>
#include <cstdio>

namespace SpreadsheetFile {

QByteArray header()
{
    return QByteArrayLiteral("N\xC2\xB0;Valeur;Date et heure\r\n");
}

namespace {

void appendLine(QByteArray &out, const SampleStore &store, int i)
{
    const double value = store.valeur(i);
    char text[48];
    // Whole values, all a recording holds, the quick way.
    if (value == std::trunc(value) && std::abs(value) < 1e15) {
        out.append(text,
                   std::snprintf(text, sizeof text, "%d;%lld;", i, static_cast<long long>(value)));
    } else {
        out.append(QByteArray::number(i)).append(';');
        out.append(QByteArray::number(value, 'g', 15).replace('.', ',')).append(';');
    }
    if (const auto [date, time] = store.stamp(i); date.isValid()) {
        out.append(text,
                   std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", date.year(),
                                 date.month(), date.day(), time.hour(), time.minute(),
                                 time.second()));
    } else if (store.isLoaded()) {
        out.append(store.ligne_fichier(i).section(u';', 2).toUtf8());
    }
    out.append("\r\n");
}

} // namespace

QByteArray line(const SampleStore &store, int i)
{
    QByteArray out;
    appendLine(out, store, i);
    return out;
}

bool write(const QString &path, const SampleStore &store, int from, int to, QString *error)
{
    QByteArray bytes = header();
    bytes.reserve(bytes.size() + 40 * std::max(0, to - from + 1));
    for (int i = from; i <= to; ++i)
        appendLine(bytes, store, i);
    QSaveFile file(path);
    const bool ok
        = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

} // namespace SpreadsheetFile
