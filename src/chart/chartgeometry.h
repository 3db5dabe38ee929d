#pragma once

#include <QLineF>
#include <QPointF>
#include <QRectF>

// Where things sit on the chart and its rulers. Layout quantities are in twips;
// the chart's own scale is 0..num_mesure across and 0..255 downward.
namespace ChartGeometry {

constexpr double ScaleHeight = 255.0; // hauteur_ecran

// y of a value in the chart's scale: 255 on the bottom edge for borne_basse, 0 for +255.
double valueY(double value, double borneBasse);

// A point of the chart's scale (x in 0..scaleWidth, y in 0..255) in the pixels of inner: 0 and
// scaleWidth on its first and last columns, 0 and 255 on its first and last rows.
QPointF toPixel(QPointF user, double scaleWidth, const QRectF &inner);

// The index 0..count whose point toPixel() puts nearest to the pixel column x (the inverse of
// the trace's mapping).
int nearestIndex(double x, int count, const QRectF &inner);

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
