#include "circleshape.h"

#include <QPainter>

CircleShape::CircleShape(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

QRectF CircleShape::circleRect(const QSizeF &size)
{
    const double d = std::min(size.width(), size.height());
    return {(size.width() - d) / 2, (size.height() - d) / 2, d, d};
}

void CircleShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double inset = m_borderVisible ? m_borderWidth / 2.0 : 0.0;
    const QRectF circle = circleRect(size()).adjusted(inset, inset, -inset, -inset);
    painter.setPen(Qt::NoPen);
    if (m_backOpaque) {
        painter.setBrush(m_backColor);
        painter.drawEllipse(circle);
    }
    if (m_fillSolid) {
        painter.setBrush(m_fillColor);
        painter.drawEllipse(circle);
    }
    if (m_borderVisible) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(m_borderColor, m_borderWidth));
        painter.drawEllipse(circle);
    }
}
