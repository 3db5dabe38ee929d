#pragma once

#include <QPolygonF>
#include <QRectF>

class SampleStore;

// The trace through samples 0..count in pixels of the chart's inner area. Past two points per
// pixel column it keeps, for each column, the first, lowest, highest and last sample, so the
// work and the drawing follow the chart's width and every spike stays visible.
namespace TracePath {
QPolygonF build(const SampleStore &store, int count, const QRectF &inner);
}
