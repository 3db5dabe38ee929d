#include "tracepath.h"

#include "recording/samplestore.h"

#include <algorithm>
#include <cmath>

namespace TracePath {

QPolygonF build(const SampleStore &store, const ChartGeometry::View &view, const QRectF &inner)
{
    QPolygonF points;
    const int from = std::max(0, int(std::floor(view.first)));
    const int to = std::min(store.num_mesure(), int(std::ceil(view.last)));
    if (to <= from || inner.width() <= 0)
        return points;
    const auto pointOf = [&](int i) {
        return ChartGeometry::toPixel(i, store.valeur(i), view, inner);
    };

    const int n = to - from;
    const int columns = std::max(1, int(std::ceil(inner.width())));
    if (n + 1 <= 2 * columns) {
        points.reserve(n + 1);
        for (int i = from; i <= to; ++i)
            points.append(pointOf(i));
        return points;
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
    return points;
}

} // namespace TracePath
