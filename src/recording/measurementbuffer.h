#pragma once

#include <QString>
#include <vector>

// The samples on screen: values, dates and times at indices 0..32000, the index of the last
// sample, and the chart's vertical window. Index 0 never holds a sample; every access is checked.
class MeasurementBuffer
{
public:
    static constexpr int Capacity = 32000; // the last usable index
    static constexpr int WindowSpan = 255; // borne_haute - borne_basse

    MeasurementBuffer();

    int num_mesure() const { return m_num; }
    bool isFull() const { return m_num >= Capacity; }
    static bool isIndex(int i) { return i >= 0 && i <= Capacity; }

    // Element i, or 0 / an empty text outside 0..32000 (a programming error, logged).
    double valeur(int i) const
    {
        if (isIndex(i)) [[likely]]
            return m_valeur[std::size_t(i)];
        return outOfRange(i);
    }
    QString date_mesure(int i) const;
    QString heure_mesure(int i) const;

    // Forgets the samples (num_mesure = 0); the elements keep their contents.
    void restart() { m_num = 0; }
    // Stores a recorded sample at num_mesure + 1; false, nothing stored, when full.
    bool append(double value, const QString &date, const QString &time);
    // Stores a loaded value at num_mesure + 1, dates and times untouched; false when full.
    bool appendLoaded(double value);

    qint16 borne_basse() const { return m_borneBasse; }
    qint16 borne_haute() const { return m_borneHaute; }
    // Moves the vertical window up so that a value above it sits on its top edge; never down.
    void followValue(double value);
    void setWindow(qint16 borneBasse);

private:
    static double outOfRange(int i);

    std::vector<double> m_valeur;
    std::vector<QString> m_date;
    std::vector<QString> m_heure;
    int m_num = 0;
    qint16 m_borneBasse = 0;
    qint16 m_borneHaute = WindowSpan;
};
