#pragma once

// What the chart shows across: from first to last, fractional, within 0..count, in samples or,
// on the time axis, in seconds. The whole view, the chart's own, shows 0..count and stays whole
// as samples come. Zooming keeps what is under the pointer where it is; a zoomed view that shows
// the newest sample follows the next ones, one moved back stays put.
class SampleSpan
{
public:
    static constexpr double ZoomStep = 1.25; // one notch of the wheel
    static constexpr double Narrowest = 10; // samples across at the deepest zoom, by default

    double first() const { return m_first; }
    double last() const { return m_last; }
    double width() const { return m_last - m_first; }
    bool isWhole() const { return m_whole; }

    // The whole view over 0..count.
    void showWhole(double count);
    // The samples are now 0..count: a whole view grows with them, a view showing the newest
    // sample follows it, any other stays put.
    void setCount(double count);
    // The deepest zoom shows this much across (Narrowest samples unless told).
    void setNarrowest(double narrowest) { m_narrowest = narrowest; }
    // notches of the wheel around the sample at anchor: > 0 closer, < 0 further, from the whole
    // view down to the narrowest.
    void zoom(double anchor, int notches);
    // Shows first..last (within 0..count, at least the narrowest).
    void show(double first, double last);
    // Moves the view by this many samples, never past either end.
    void pan(double samples);

private:
    // Puts the view at first, width wide, inside 0..count.
    void place(double first, double width);

    double m_count = 0;
    double m_narrowest = Narrowest;
    double m_first = 0;
    double m_last = 0;
    bool m_whole = true;
};
