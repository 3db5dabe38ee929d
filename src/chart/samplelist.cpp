#include "samplelist.h"

#include "recording/loadedlines.h"
#include "recording/measurementbuffer.h"

#include <cmath>

namespace {
const QString kNumberSeparator = QStringLiteral(" ---- ");
const QString kFieldSeparator = QStringLiteral(" --- ");
} // namespace

QString SampleList::pattern000(double value)
{
    const auto whole = static_cast<qint64>(std::llround(value));
    const QString digits = QString::number(whole < 0 ? -whole : whole).rightJustified(3, u'0');
    return whole < 0 ? u'-' + digits : digits;
}

QString SampleList::recordingLine(int i, const MeasurementBuffer &buffer)
{
    return QString::number(i) + kNumberSeparator + pattern000(buffer.valeur(i)) + kFieldSeparator
        + buffer.date_mesure(i) + kFieldSeparator + buffer.heure_mesure(i);
}

QString SampleList::fileLine(int i, const LoadedLines &lines)
{
    return QString::number(i) + kNumberSeparator + lines.ligne_fichier(i);
}

QString SampleList::recordingText(const MeasurementBuffer &buffer)
{
    QString text;
    const int n = buffer.num_mesure();
    text.reserve((n + 1) * 40);
    for (int i = n; i >= 0; --i)
        text.append(recordingLine(i, buffer)).append(u'\n');
    return text;
}

QString SampleList::loadedText(const MeasurementBuffer &buffer, const LoadedLines &lines)
{
    QString text;
    const int n = buffer.num_mesure();
    text.reserve((n + 2) * 40);
    text.append(lines.entete_fichier()).append(u'\n');
    for (int i = n; i >= 0; --i)
        text.append(fileLine(i, lines)).append(u'\n');
    return text;
}
