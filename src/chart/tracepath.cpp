#include "tracepath.h"

#include "chartgeometry.h"
#include "recording/samplestore.h"

#include <algorithm>
#include <cmath>

namespace TracePath {

QPolygonF build(const SampleStore &store, int count, const QRectF &inner)
{
    QPolygonF points;
    if (count < 1 || inner.width() <= 0)
        return points;
    const double borneBasse = store.borne_basse();
    const double scaleWidth = count;
    const auto pointOf = [&](int i) {
        return ChartGeometry::toPixel(
            {double(i), ChartGeometry::valueY(store.valeur(i), borneBasse)}, scaleWidth, inner);
    };

    const int columns = std::max(1, int(std::ceil(inner.width())));
    if (count + 1 <= 2 * columns) {
        points.reserve(count + 1);
        for (int i = 0; i <= count; ++i)
            points.append(pointOf(i));
        return points;
    }

    // Per column the extremes are found on the values; only four points a column are mapped.
    points.reserve(4 * columns + 4);
    const double columnsPerSample = double(columns) / (count + 1);
    int i = 0;
    for (int column = 0; column < columns && i <= count; ++column) {
        const int first = i;
        int low = i, high = i;
        double lowValue = store.valeur(i), highValue = lowValue;
        for (++i; i <= count && int(i * columnsPerSample) == column; ++i) {
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
