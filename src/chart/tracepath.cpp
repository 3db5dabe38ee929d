#include "tracepath.h"

#include "chartgeometry.h"
#include "recording/measurementbuffer.h"

#include <algorithm>
#include <cmath>

namespace TracePath {

QPolygonF build(const MeasurementBuffer &buffer, int count, const QRectF &inner)
{
    QPolygonF points;
    if (count < 1 || inner.width() <= 0)
        return points;
    const double borneBasse = buffer.borne_basse();
    const double scaleWidth = count;
    const auto pointOf = [&](int i) {
        return ChartGeometry::toPixel({double(i), ChartGeometry::valueY(buffer.valeur(i), borneBasse)},
                                      scaleWidth, inner);
    };

    const int columns = std::max(1, int(std::ceil(inner.width())));
    if (count + 1 <= 2 * columns) {
        points.reserve(count + 1);
        for (int i = 0; i <= count; ++i)
            points.append(pointOf(i));
        return points;
    }

    points.reserve(4 * columns + 4);
    int column = -1;
    QPointF first, last;
    double low = 0, high = 0;
    const auto flush = [&] {
        if (column < 0)
            return;
        points.append(first);
        points.append({first.x(), low});
        points.append({first.x(), high});
        points.append(last);
    };
    for (int i = 0; i <= count; ++i) {
        const QPointF p = pointOf(i);
        const int c = std::min(columns - 1, int(double(i) * columns / (count + 1)));
        if (c != column) {
            flush();
            column = c;
            first = last = p;
            low = high = p.y();
        } else {
            last = p;
            low = std::min(low, p.y());
            high = std::max(high, p.y());
        }
    }
    flush();
    return points;
}

} // namespace TracePath
