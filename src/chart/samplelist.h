#pragma once

#include <QString>

class LoadedLines;
class MeasurementBuffer;

// The text of the sample list, newest first, one line per index down to 0.
class SampleList
{
public:
    // A whole number with at least three digits, zero-padded after the sign: 7 → "007", -7 → "-007".
    static QString pattern000(double value);
    // "i ---- vvv --- date --- time", a recorded sample.
    static QString recordingLine(int i, const MeasurementBuffer &buffer);
    // "i ---- raw line", a sample of a viewed file.
    static QString fileLine(int i, const LoadedLines &lines);

    // The list while recording: lines num_mesure down to 0, each ended by a line break.
    static QString recordingText(const MeasurementBuffer &buffer);
    // The list of a viewed file: its first line, then lines num_mesure down to 0.
    static QString loadedText(const MeasurementBuffer &buffer, const LoadedLines &lines);
};
