#include "chartview.h"

#include "chartgeometry.h"
#include "recording/samplestore.h"
#include "tracepath.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
// The chart looks the same in every state and desktop scheme.
constexpr QRgb kBackground = qRgb(0, 0, 0);
constexpr QRgb kTraceColour = qRgb(0, 255, 0);
constexpr QRgb kCentreLines = qRgb(128, 128, 128);
} // namespace

ChartView::ChartView(const SampleStore &store, QWidget *parent)
    : QFrame(parent)
    , m_store(store)
{
    setObjectName(QStringLiteral("Ecran1"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void ChartView::clear()
{
    m_count = 0;
    update();
}

void ChartView::plot()
{
    m_count = m_store.num_mesure();
    update();
}

QRectF ChartView::innerRect() const
{
    return QRectF(contentsRect());
}

void ChartView::paintChart(QPainter &painter, const QRectF &inner, const SampleStore &store,
                           int count)
{
    painter.fillRect(inner, QColor(kBackground));
    painter.save();
    painter.setClipRect(inner);
    if (count > 0) {
        painter.setPen(QPen(QColor(kTraceColour), 1));
        painter.drawPolyline(TracePath::build(store, count, inner));
    }
    // The centre lines stand over the trace.
    painter.setPen(QPen(QColor(kCentreLines), 1));
    painter.drawLine(ChartGeometry::horizontalCentreLine(inner));
    painter.drawLine(ChartGeometry::verticalCentreLine(inner));
    painter.restore();
}

void ChartView::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    paintChart(painter, innerRect(), m_store, m_count);
    // The marker is painted over the trace from the pointer's place, never kept in it.
    if (!m_pointer || !m_markerShown)
        return;
    const auto marker = markerAt(*m_pointer);
    if (!marker)
        return;
    const QRectF inner = innerRect();
    painter.setClipRect(inner);
    painter.setPen(QPen(QColor(kCentreLines), 1));
    painter.drawLine(QLineF(marker->x, inner.top(), marker->x, inner.top() + inner.height() - 1));
    painter.fillRect(marker->label, QColor(kBackground));
    painter.setPen(QColor(kCentreLines));
    painter.drawRect(marker->label.adjusted(0, 0, -1, -1));
    painter.setPen(QColor(kTraceColour));
    painter.drawText(marker->label, Qt::AlignCenter, marker->text);
}

std::optional<ChartView::Marker> ChartView::markerAt(QPointF pointer) const
{
    if (m_count <= 0 || !isEnabled() || !isVisible())
        return std::nullopt;
    const QRectF inner = innerRect();
    const int i = ChartGeometry::nearestIndex(pointer.x(), m_count, inner);
    Marker marker;
    marker.x = ChartGeometry::toPixel({double(i), 0}, m_count, inner).x();
    marker.text = m_readout ? m_readout(i) : QString::number(i);
    // Beside the pointer, inside the chart: to its right and above it where there is room.
    const QSizeF size(fontMetrics().horizontalAdvance(marker.text) + 8, fontMetrics().height() + 4);
    double left = pointer.x() + 8;
    if (left + size.width() > inner.right())
        left = pointer.x() - 8 - size.width();
    double top = pointer.y() - 8 - size.height();
    if (top < inner.top())
        top = pointer.y() + 12;
    left = std::clamp(left, inner.left(), std::max(inner.left(), inner.right() - size.width()));
    top = std::clamp(top, inner.top(), std::max(inner.top(), inner.bottom() - size.height()));
    marker.label = QRectF(QPointF(left, top), size);
    return marker;
}

std::optional<int> ChartView::pointedSample() const
{
    if (!m_pointer || !markerAt(*m_pointer))
        return std::nullopt;
    return ChartGeometry::nearestIndex(m_pointer->x(), m_count, innerRect());
}

void ChartView::setMarkerShown(bool shown)
{
    m_markerShown = shown;
    update();
}

void ChartView::mouseMoveEvent(QMouseEvent *event)
{
    m_pointer = event->position();
    update();
    QFrame::mouseMoveEvent(event);
}

void ChartView::dropPointer()
{
    if (!m_pointer)
        return;
    m_pointer.reset();
    update();
}

void ChartView::leaveEvent(QEvent *event)
{
    dropPointer();
    QFrame::leaveEvent(event);
}

void ChartView::hideEvent(QHideEvent *event)
{
    dropPointer();
    QFrame::hideEvent(event);
}

void ChartView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        dropPointer();
    QFrame::changeEvent(event);
}

void ChartView::contextMenuEvent(QContextMenuEvent *event)
{
    emit contextMenuAsked(event->globalPos());
    event->accept();
}
