#include "samplelist.h"

#include "recording/loadedlines.h"
#include "recording/measurementbuffer.h"

#include <QStringList>
#include <cmath>

namespace {
const QString kNumberSeparator = QStringLiteral(" ---- ");
const QString kFieldSeparator = QStringLiteral(" --- ");
} // namespace

SampleList::SampleList(const MeasurementBuffer &buffer, const LoadedLines &lines)
    : m_buffer(buffer)
    , m_lines(lines)
{ }

int SampleList::rowCount() const
{
    // A recording's rows run from the newest sample down to sample 0; a file's have its header
    // line on top.
    if (m_mode == Mode::Empty)
        return 0;
    return m_count + (m_mode == Mode::File ? 2 : 1);
}

QString SampleList::row(int r) const
{
    if (r < 0 || r >= rowCount())
        return {};
    if (m_mode == Mode::Recording)
        return recordingLine(m_count - r, m_buffer);
    return r == 0 ? m_lines.entete_fichier() : fileLine(m_count - (r - 1), m_lines);
}

QString SampleList::text() const
{
    QString text;
    const int rows = rowCount();
    text.reserve(rows * 40);
    for (int r = 0; r < rows; ++r)
        text.append(row(r)).append(u'\n');
    return text;
}

QString SampleList::readout(int i) const
{
    if (m_mode == Mode::Empty || i < 0 || i > m_count)
        return {};
    QString value;
    QString when;
    if (m_mode == Mode::Recording) {
        value = pattern000(m_buffer.valeur(i));
        when = QString(m_buffer.date_mesure(i) + u' ' + m_buffer.heure_mesure(i)).trimmed();
    } else {
        const QStringList fields = m_lines.ligne_fichier(i).split(u';');
        value = fields.value(1).trimmed();
        if (value.isEmpty())
            value = pattern000(m_buffer.valeur(i));
        when = fields.mid(2).join(u' ').trimmed();
    }
    QString text = QStringLiteral("N° %1 : %2").arg(i).arg(value);
    if (!when.isEmpty())
        text += QStringLiteral(" — ") + when;
    return text;
}

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
