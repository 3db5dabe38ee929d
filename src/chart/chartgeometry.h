#pragma once

#include "timeaxis.h"

#include <QLineF>
#include <QPointF>
#include <QRectF>

// Where things sit on the chart and its rulers. Layout quantities are in twips; the chart's own
// scale runs over the samples in view across and 0..255 downward.
namespace ChartGeometry {

constexpr double ScaleHeight = 255.0;

// What the chart shows: first..last across (last > first), in samples or, on the time axis, in
// seconds from sample 1; values bottom..top up its height (top > bottom). The chart's own view
// is 0..num_mesure and its vertical window bottom..bottom + 255.
struct View
{
    double first = 0;
    double last = 1;
    double bottom = 0;
    double top = ScaleHeight;
    const TimeAxis *time = nullptr; // the samples placed by their time; none: by their number

    // Where sample index lies across: its number, or its seconds on the time axis.
    double positionOf(double index) const;
    // The pixel column of sample index in inner, on either axis: the one mapping across for the
    // trace, the marker, the pin and all that is drawn at a sample.
    double xOf(double index, const QRectF &inner) const;
    // The pixel column of a place across (a sample number, or seconds on the time axis).
    double xAt(double position, const QRectF &inner) const;
    // The place across (a sample number or seconds) at the pixel column x.
    double positionAt(double x, const QRectF &inner) const;
    // The samples in view out of 0..count, sample 0 aside: first..last, empty when last < first.
    std::pair<int, int> samplesIn(int count) const;
};

// The bottom of the vertical window once a recorded value comes: a value above the window moves
// it up so that the value sits on its top edge; it never moves down.
double followValue(double bottom, double value);

// The view with its height fitted to the lowest and highest values in it; a flat trace sits at
// mid-height, one unit from either edge.
View fitHeight(View view, double lowest, double highest);

// y of a value in the chart's scale: 255 on the bottom edge for bottom, 0 on the top edge for top.
double valueY(double value, const View &view);

// A sample's point in the pixels of inner: first and last on its first and last columns, top
// and bottom on its first and last rows.
QPointF toPixel(double index, double value, const View &view, const QRectF &inner);

// The sample 0..count whose point is nearest to the pixel column x.
int nearestIndex(double x, const View &view, int count, const QRectF &inner);

// The two centre lines across the inner area: horizontal at mid-height, vertical at mid-width.
QLineF horizontalCentreLine(const QRectF &inner);
QLineF verticalCentreLine(const QRectF &inner);

// Each ruler is cut into tenths by nine ticks, numbered 1..9 on the window beside it.
constexpr int RulerTicks = 9;
// The numbers stand this far from the ruler's outer edge: below the horizontal ruler and right of
// the vertical one, both 255 twips across.
constexpr double NumberGapTwips = 300;
// A number's text is set back from its tick, in ruler units: left of a horizontal tick so that
// the digit, after its leading blank, stands under it; above a vertical tick so that the digit
// stands level with it.
constexpr double HorizontalNumberBack = 96;
constexpr double VerticalNumberBack = 95;

// Distance between two ruler ticks, in ruler units: a tenth of (inner extent - 3).
double rulerStep(double innerExtent);

// Text position (twips, main window) of number n under the horizontal ruler.
QPointF horizontalNumberPosition(int n, const QRectF &rulerOuterTwips, double innerWidth);
// Text position (twips, main window) of number n right of the vertical ruler.
QPointF verticalNumberPosition(int n, const QRectF &rulerOuterTwips, double innerHeight);

} // namespace ChartGeometry
