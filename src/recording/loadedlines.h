#pragma once

#include "measurementbuffer.h"

#include <QString>
#include <vector>

// The raw lines of a viewed recording file: its first line and the sample lines 1..32000.
class LoadedLines
{
public:
    static constexpr int Capacity = MeasurementBuffer::Capacity;

    LoadedLines()
        : m_lines(Capacity + 1)
    { }

    const QString &entete_fichier() const { return m_header; }
    void setEntete_fichier(const QString &header) { m_header = header; }

    // Line i, or an empty text outside 0..32000.
    QString ligne_fichier(int i) const
    {
        return i >= 0 && i <= Capacity ? m_lines[std::size_t(i)] : QString();
    }
    // Stores line i; false outside 1..32000.
    bool setLigne_fichier(int i, const QString &line)
    {
        if (i < 1 || i > Capacity)
            return false;
        m_lines[std::size_t(i)] = line;
        return true;
    }

private:
    QString m_header;
    std::vector<QString> m_lines;
};
