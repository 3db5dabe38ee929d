#include "chartgeometry.h"

#include <algorithm>
#include <cmath>

namespace ChartGeometry {

namespace {
// Far enough outside any chart to be cut off, near enough for the painter's fixed-point math.
constexpr double kFarAway = 1.0e6;
} // namespace

double followValue(double bottom, double value)
{
    return value > bottom + ScaleHeight ? std::trunc(value - ScaleHeight) : bottom;
}

View fitHeight(View view, double lowest, double highest)
{
    view.bottom = lowest < highest ? lowest : lowest - 1;
    view.top = lowest < highest ? highest : highest + 1;
    return view;
}

double valueY(double value, const View &view)
{
    return (view.top - value) * (ScaleHeight / (view.top - view.bottom));
}

QPointF toPixel(double index, double value, const View &view, const QRectF &inner)
{
    const double x
        = inner.left() + (index - view.first) * (inner.width() - 1) / (view.last - view.first);
    const double y = inner.top() + valueY(value, view) * (inner.height() - 1) / ScaleHeight;
    return {std::clamp(x, -kFarAway, kFarAway), std::clamp(y, -kFarAway, kFarAway)};
}

double indexAt(double x, const View &view, const QRectF &inner)
{
    if (inner.width() <= 1)
        return view.first;
    return view.first + (x - inner.left()) * (view.last - view.first) / (inner.width() - 1);
}

int nearestIndex(double x, const View &view, int count, const QRectF &inner)
{
    if (count <= 0)
        return 0;
    return int(std::clamp<qint64>(std::llround(indexAt(x, view, inner)), 0, count));
}

QLineF horizontalCentreLine(const QRectF &inner)
{
    const double y = inner.top() + (inner.height() - 1) / 2;
    return {inner.left(), y, inner.left() + inner.width() - 1, y};
}

QLineF verticalCentreLine(const QRectF &inner)
{
    const double x = inner.left() + (inner.width() - 1) / 2;
    return {x, inner.top(), x, inner.top() + inner.height() - 1};
}

double rulerStep(double innerExtent)
{
    return (innerExtent - 3) / 10;
}

QPointF horizontalNumberPosition(int n, const QRectF &rulerOuterTwips, double innerWidth)
{
    const double twipsPerUnit = rulerOuterTwips.width() / innerWidth;
    const double step = rulerStep(innerWidth);
    return {rulerOuterTwips.left() + twipsPerUnit * n * step - twipsPerUnit * HorizontalNumberBack,
            rulerOuterTwips.top() + NumberGapTwips};
}

QPointF verticalNumberPosition(int n, const QRectF &rulerOuterTwips, double innerHeight)
{
    const double twipsPerUnit = rulerOuterTwips.height() / innerHeight;
    const double step = rulerStep(innerHeight);
    return {rulerOuterTwips.left() + NumberGapTwips,
            rulerOuterTwips.top() + twipsPerUnit * n * step - twipsPerUnit * VerticalNumberBack};
}

} // namespace ChartGeometry
