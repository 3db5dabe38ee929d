#pragma once

#include "chart/chartgeometry.h"

#include <QPolygonF>
#include <QRectF>

class SampleStore;

// The trace through the samples in view, and one beyond each side, in pixels of the chart's
// inner area. Past two points per pixel column it keeps, for each column, the first, lowest,
// highest and last sample, so the work and the drawing follow the chart's width and every spike
// stays visible at every zoom. On the time axis the trace breaks at each gap in the recording:
// one line for each run of samples without a gap.
namespace TracePath {
QList<QPolygonF> build(const SampleStore &store, const ChartGeometry::View &view,
                       const QRectF &inner);
}
