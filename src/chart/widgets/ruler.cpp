#include "ruler.h"

#include "chart/chartgeometry.h"
#include "chartview.h"
#include "common/twips.h"

#include <QPainter>

Ruler::Ruler(Qt::Orientation orientation, QWidget *parent)
    : QFrame(parent)
    , m_orientation(orientation)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setFocusPolicy(Qt::StrongFocus);
}

double Ruler::innerExtentTwips() const
{
    const QRect inner = contentsRect();
    const int pixels = m_orientation == Qt::Horizontal ? inner.width() : inner.height();
    return Twips::fromPixels(pixels);
}

void Ruler::setChart(const ChartView *chart)
{
    m_chart = chart;
    connect(chart, &ChartView::viewChanged, this, qOverload<>(&QWidget::update));
}

void Ruler::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRectF inner = contentsRect();
    using Twips::toPixels;
    if (m_chart && m_chart->rulersInValues()) {
        const QPoint offset = m_chart->pos() - pos();
        for (const auto &tick : m_chart->rulerTicks(m_orientation)) {
            if (m_orientation == Qt::Horizontal) {
                const double x = tick.at + offset.x();
                painter.drawLine(QPointF(x, inner.top() + toPixels(5)),
                                 QPointF(x, inner.top() + toPixels(100)));
            } else {
                const double y = tick.at + offset.y();
                painter.drawLine(QPointF(inner.left() + toPixels(50), y),
                                 QPointF(inner.left() + toPixels(100), y));
            }
        }
        return;
    }
    const double step = ChartGeometry::rulerStep(innerExtentTwips());
    for (int n = 1; n <= ChartGeometry::RulerTicks; ++n) {
        const double at = toPixels(n * step);
        if (m_orientation == Qt::Horizontal) {
            const double x = inner.left() + at;
            painter.drawLine(QPointF(x, inner.top() + toPixels(5)),
                             QPointF(x, inner.top() + toPixels(100)));
        } else {
            const double y = inner.top() + at;
            painter.drawLine(QPointF(inner.left() + toPixels(50), y),
                             QPointF(inner.left() + toPixels(100), y));
        }
    }
}
