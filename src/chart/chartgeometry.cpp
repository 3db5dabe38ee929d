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

double View::positionOf(double index) const
{
    return time ? time->at(int(std::lround(index))) : index;
}

double View::xOf(double index, const QRectF &inner) const
{
    return xAt(positionOf(index), inner);
}

double View::xAt(double position, const QRectF &inner) const
{
    const double x = inner.left() + (position - first) * (inner.width() - 1) / (last - first);
    return std::clamp(x, -kFarAway, kFarAway);
}

double View::positionAt(double x, const QRectF &inner) const
{
    if (inner.width() <= 1)
        return first;
    return first + (x - inner.left()) * (last - first) / (inner.width() - 1);
}

std::pair<int, int> View::samplesIn(int count) const
{
    if (count <= 0)
        return {1, 0};
    if (time)
        return {std::max(1, time->firstFrom(first)), std::min(count, time->lastUpTo(last))};
    return {std::max(1, int(std::ceil(first))), std::min(count, int(std::floor(last)))};
}

QPointF toPixel(double index, double value, const View &view, const QRectF &inner)
{
    const double y = inner.top() + valueY(value, view) * (inner.height() - 1) / ScaleHeight;
    return {view.xOf(index, inner), std::clamp(y, -kFarAway, kFarAway)};
}

int nearestIndex(double x, const View &view, int count, const QRectF &inner)
{
    if (count <= 0)
        return 0;
    const double at = view.positionAt(x, inner);
    if (view.time)
        return std::clamp(view.time->nearest(at), 1, count);
    return int(std::clamp<qint64>(std::llround(at), 0, count));
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
