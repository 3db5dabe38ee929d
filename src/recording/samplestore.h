#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <utility>
#include <vector>

// The samples on screen, 0..num_mesure: each one its value, and the date and time it was recorded
// or the raw line it was loaded from; a loaded file's first line; the chart's vertical window.
// Sample 0 is no measure (value 0) and starts the trace. The store tells those who show it
// when it is cleared, when a recorded sample is added and when a loaded file is complete.
class SampleStore : public QObject
{
    Q_OBJECT

public:
    static constexpr int Capacity = 32000; // samples 1..32000
    static constexpr int WindowSpan = 255; // borne_haute - borne_basse

    explicit SampleStore(QObject *parent = nullptr);

    // The number of the last sample, 0 for none.
    int num_mesure() const { return int(m_samples.size()) - 1; }
    bool isFull() const { return num_mesure() >= Capacity; }
    // The samples came from a file, not from a recording.
    bool isLoaded() const { return m_loaded; }

    // Sample i (0..num_mesure), or 0 and empty texts outside.
    double valeur(int i) const { return at(i).value; }
    const QString &date_mesure(int i) const { return at(i).date; }
    const QString &heure_mesure(int i) const { return at(i).time; }
    const QString &ligne_fichier(int i) const { return at(i).line; }
    // The first line of the file the samples were loaded from.
    const QString &entete_fichier() const { return m_header; }
    // When sample i was taken: its recorded date and time, or the fields that follow the value
    // in its loaded line when they read as a date and time (mm-dd-yyyy, hh:mm:ss); invalid
    // otherwise.
    std::pair<QDate, QTime> stamp(int i) const;
    // The same in local time, to count the time between two samples.
    QDateTime dateTime(int i) const;
    // The lowest and highest values of samples from..to (within 0..num_mesure, from <= to).
    std::pair<double, double> extremes(int from, int to) const;

    // The value on the chart's bottom edge; borne_basse + 255 is on its top edge.
    qint16 borne_basse() const { return m_borneBasse; }

    // No samples (raz): a recording or a load starts.
    void clear();
    // A recorded sample as num_mesure + 1; the vertical window moves up so that a value above it
    // sits on its top edge. False, nothing stored, when full.
    bool record(double value, const QString &date, const QString &time);
    // A loaded sample as num_mesure + 1, told only once the file is complete; false when full.
    bool load(double value, const QString &line);
    void setEntete_fichier(const QString &header) { m_header = header; }
    // The loaded file is complete and is shown.
    void loaded() { emit reloaded(); }

signals:
    void cleared();
    void grew(); // one more recorded sample
    void reloaded(); // a loaded file, whole

private:
    struct Sample
    {
        double value = 0;
        QString date;
        QString time;
        QString line;
    };

    const Sample &at(int i) const
    {
        static const Sample none;
        return i >= 0 && i <= num_mesure() ? m_samples[std::size_t(i)] : none;
    }

    std::vector<Sample> m_samples;
    QString m_header;
    bool m_loaded = false;
    qint16 m_borneBasse = 0;
};
