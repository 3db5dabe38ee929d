#include "tracepath.h"

#include "recording/samplestore.h"

#include <algorithm>
#include <cmath>

namespace TracePath {

namespace {

// The time axis: the samples by column of their time, found by search, their extremes on the
// values as on the sample axis; a new line after each gap.
QList<QPolygonF> byTime(const SampleStore &store, const ChartGeometry::View &view,
                        const QRectF &inner)
{
    const TimeAxis &time = *view.time;
    const int from = std::max(1, time.firstFrom(view.first) - 1);
    const int to = std::min(store.num_mesure(), time.lastUpTo(view.last) + 1);
    QList<QPolygonF> lines;
    if (to < from || inner.width() <= 0)
        return lines;
    const auto yOf = [&](double value) {
        return ChartGeometry::toPixel(0, value, view, inner).y();
    };
    const std::vector<int> &gaps = time.gaps();
    auto gap = std::upper_bound(gaps.begin(), gaps.end(), from);
    QPolygonF line;
    for (int i = from; i <= to;) {
        // The samples of the column of sample i, up to the next gap.
        const double column = std::floor(view.xOf(i, inner));
        int last = std::clamp(time.firstFrom(view.positionAt(column + 1, inner)) - 1, i, to);
        while (gap != gaps.end() && *gap <= i)
            ++gap;
        if (gap != gaps.end() && *gap <= last)
            last = *gap - 1;
        int low = i, high = i;
        for (int j = i + 1; j <= last; ++j) {
            const double v = store.valeur(j);
            low = v < store.valeur(low) ? j : low;
            high = v > store.valeur(high) ? j : high;
        }
        const double x = view.xOf(i, inner);
        line.append({x, yOf(store.valeur(i))});
        if (last != i) {
            line.append({x, yOf(store.valeur(high))});
            line.append({x, yOf(store.valeur(low))});
            line.append({view.xOf(last, inner), yOf(store.valeur(last))});
        }
        if (gap != gaps.end() && *gap == last + 1 && last < to)
            lines.append(std::exchange(line, {}));
        i = last + 1;
    }
    lines.append(line);
    return lines;
}

} // namespace

QList<QPolygonF> build(const SampleStore &store, const ChartGeometry::View &view,
                       const QRectF &inner)
{
    if (view.time)
        return byTime(store, view, inner);
    QPolygonF points;
    const int from = std::max(0, int(std::floor(view.first)));
    const int to = std::min(store.num_mesure(), int(std::ceil(view.last)));
    if (to <= from || inner.width() <= 0)
        return {};
    const auto pointOf = [&](int i) {
        return ChartGeometry::toPixel(i, store.valeur(i), view, inner);
    };

    const int n = to - from;
    const int columns = std::max(1, int(std::ceil(inner.width())));
    if (n + 1 <= 2 * columns) {
        points.reserve(n + 1);
        for (int i = from; i <= to; ++i)
            points.append(pointOf(i));
        return {points};
    }

    // Per column the extremes are found on the values; only four points a column are mapped.
    points.reserve(4 * columns + 4);
    const double columnsPerSample = double(columns) / (n + 1);
    int i = from;
    for (int column = 0; column < columns && i <= to; ++column) {
        const int first = i;
        int low = i, high = i;
        double lowValue = store.valeur(i), highValue = lowValue;
        for (++i; i <= to && int((i - from) * columnsPerSample) == column; ++i) {
            const double v = store.valeur(i);
            if (v < lowValue) {
                lowValue = v;
                low = i;
            } else if (v > highValue) {
                highValue = v;
                high = i;
            }
        }
        const int last = i - 1;
        const QPointF start = pointOf(first);
        points.append(start);
        // Screen y grows downward: the highest value is the topmost point.
        points.append({start.x(), pointOf(high).y()});
        points.append({start.x(), pointOf(low).y()});
        points.append(pointOf(last));
    }
    return {points};
}

} // namespace TracePath
