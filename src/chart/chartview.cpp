#include "chartview.h"

#include "chartgeometry.h"
#include "recording/measurementbuffer.h"
#include "tracepath.h"

#include <QPainter>

namespace {
// The chart looks the same in every state and desktop scheme.
const QColor kBackground(0, 0, 0);
const QColor kTraceColour(0, 255, 0);
const QColor kCentreLines(128, 128, 128);
} // namespace

ChartView::ChartView(const MeasurementBuffer &buffer, QWidget *parent)
    : QFrame(parent)
    , m_buffer(buffer)
{
    setObjectName(QStringLiteral("Ecran1"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ChartView::clear()
{
    m_count = 0;
    update();
}

void ChartView::plot()
{
    m_count = m_buffer.num_mesure();
    update();
}

QRectF ChartView::innerRect() const
{
    return QRectF(contentsRect());
}

void ChartView::paintChart(QPainter &painter, const QRectF &inner, const MeasurementBuffer &buffer,
                           int count)
{
    painter.fillRect(inner, kBackground);
    painter.save();
    painter.setClipRect(inner);
    if (count > 0) {
        painter.setPen(QPen(kTraceColour, 1));
        painter.drawPolyline(TracePath::build(buffer, count, inner));
    }
    // The centre lines stand over the trace.
    painter.setPen(QPen(kCentreLines, 1));
    painter.drawLine(ChartGeometry::horizontalCentreLine(inner));
    painter.drawLine(ChartGeometry::verticalCentreLine(inner));
    painter.restore();
}

void ChartView::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    paintChart(painter, innerRect(), m_buffer, m_count);
}
