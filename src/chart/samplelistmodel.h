#pragma once

#include <QString>

class LoadedLines;
class MeasurementBuffer;

// The sample list, newest first: one row per index from the last sample shown down to 0, under
// the file's first line when a recording file is viewed. Rows are made when asked for, so
// showing one more sample or a whole file costs the same.
class SampleList
{
public:
    enum class Mode { Empty, Recording, File };

    SampleList(const MeasurementBuffer &buffer, const LoadedLines &lines);

    // raz: no rows.
    void clear()
    {
        m_mode = Mode::Empty;
        m_count = -1;
    }
    // The samples 0..count of a recording, in the recording format. Returns the rows added on
    // top of those shown: 1 when the list showed this recording up to count - 1, else 0 (the
    // list starts over).
    int showRecording(int count)
    {
        const bool oneMore = m_mode == Mode::Recording && m_count == count - 1;
        m_mode = Mode::Recording;
        m_count = count;
        return oneMore ? 1 : 0;
    }
    // The samples 0..count of a viewed file, as raw lines under the file's first line.
    void showFile(int count)
    {
        m_mode = Mode::File;
        m_count = count;
    }

    Mode mode() const { return m_mode; }
    int count() const { return m_count; }
    int rowCount() const;
    QString row(int r) const;
    // Every row, each ended by a line break.
    QString text() const;
    // The chart's label for sample i: "N° i : value — date time", the value as listed and, for
    // a viewed file, the fields after it in its line (nothing when it has none).
    QString readout(int i) const;

    // A whole number with at least three digits, zero-padded after the sign: 7 → "007", -7 →
    // "-007".
    static QString pattern000(double value);
    // "i ---- vvv --- date --- time", a recorded sample.
    static QString recordingLine(int i, const MeasurementBuffer &buffer);
    // "i ---- raw line", a sample of a viewed file.
    static QString fileLine(int i, const LoadedLines &lines);

private:
    const MeasurementBuffer &m_buffer;
    const LoadedLines &m_lines;
    Mode m_mode = Mode::Empty;
    int m_count = -1;
};
