#include "ruler.h"

#include "chart/chartgeometry.h"
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

void Ruler::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QRectF inner = contentsRect();
    const double step = ChartGeometry::rulerStep(innerExtentTwips());
    using Twips::toPixels;
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
