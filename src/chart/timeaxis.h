#pragma once

#include <QDate>
#include <QTime>
#include <map>
#include <vector>

// The samples placed by the date and time they were taken, in seconds from the first one, for
// the chart's time axis. It holds while every sample 1..count has a date and a time and none is
// earlier than the one before; a sample 0 sits on sample 1. Two samples further apart than one
// and a half usual periods and one second (the times are kept to the second) have a gap
// between them: the trace breaks there. The usual period is the median of the steps.
class TimeAxis
{
public:
    // No samples.
    void clear();
    // Sample count + 1 taken at date and time (either invalid when unknown).
    void append(QDate date, QTime time);

    int count() const { return int(m_seconds.size()); }
    // Every sample dated and in order: the samples can be placed by their time.
    bool holds() const { return m_holds; }
    // Seconds since sample 1 of sample index (0..count; 0 and 1 both at 0).
    double at(int index) const;
    // The seconds from sample 1 to the last one.
    double end() const { return m_seconds.empty() ? 0 : m_seconds.back(); }
    // The usual step between two samples, in seconds; 1 with fewer than two samples.
    double period() const;
    // A gap lies between sample index - 1 and sample index.
    bool gapBefore(int index) const;
    // The samples a gap lies before, rising.
    const std::vector<int> &gaps() const;
    // The sample, fractional, at seconds (linear between two samples, clamped to 1..count).
    double indexAt(double seconds) const;
    // The first sample at or after seconds, and the last at or before (count + 1 and 0 past the
    // ends).
    int firstFrom(double seconds) const;
    int lastUpTo(double seconds) const;
    // The sample nearest to seconds (1..count; 0 with none).
    int nearest(double seconds) const;
    // The date and time at seconds from sample 1, as a day number (Julian) and seconds in it.
    double origin() const { return m_origin; }

private:
    double m_origin = 0; // of sample 1: Julian day × 86400 + seconds in the day
    std::vector<double> m_seconds; // of samples 1..count
    std::map<qint64, int> m_steps; // milliseconds between neighbours, how many times
    bool m_holds = true;
    mutable double m_gap = -1; // the step past which two samples have a gap; -1: to find
    // The gaps found with the step m_gapsFor, among samples up to m_gapsUpTo.
    mutable std::vector<int> m_gaps;
    mutable double m_gapsFor = -1;
    mutable int m_gapsUpTo = 1;
};
