#include "chartgeometry.h"

#include <algorithm>
#include <cmath>

namespace ChartGeometry {

namespace {
// Far enough outside any chart to be cut off, near enough for the painter's fixed-point math.
constexpr double kFarAway = 1.0e6;
} // namespace

double valueY(double value, double borneBasse)
{
    return ScaleHeight - (value - borneBasse);
}

QPointF toPixel(QPointF user, double scaleWidth, const QRectF &inner)
{
    const double x = inner.left() + user.x() * (inner.width() - 1) / scaleWidth;
    const double y = inner.top() + user.y() * (inner.height() - 1) / ScaleHeight;
    return {std::clamp(x, -kFarAway, kFarAway), std::clamp(y, -kFarAway, kFarAway)};
}

int nearestIndex(double x, int count, const QRectF &inner)
{
    if (count <= 0 || inner.width() <= 1)
        return 0;
    const double index = (x - inner.left()) * count / (inner.width() - 1);
    return int(std::clamp<qint64>(std::llround(index), 0, count));
}

QLineF horizontalCentreLine(const QRectF &inner)
{
    const double y = toPixel({0, ScaleHeight / 2}, 1, inner).y();
    return {inner.left(), y, inner.left() + inner.width() - 1, y};
}

QLineF verticalCentreLine(const QRectF &inner)
{
    const double x = toPixel({0.5, 0}, 1, inner).x();
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
