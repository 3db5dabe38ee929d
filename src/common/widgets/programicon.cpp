#include "programicon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

// The trace of the icon and the banner, in a unit square.
QPainterPath tracePath(const QRectF &area)
{
    static constexpr double kPoints[][2]
        = {{0.00, 0.70}, {0.15, 0.62}, {0.28, 0.66}, {0.40, 0.35}, {0.52, 0.48},
           {0.64, 0.22}, {0.78, 0.40}, {0.90, 0.30}, {1.00, 0.34}};
    const auto at = [&](const double(&p)[2]) {
        return QPointF(area.left() + p[0] * area.width(), area.top() + p[1] * area.height());
    };
    QPainterPath path(at(kPoints[0]));
    for (std::size_t i = 1; i < std::size(kPoints); ++i)
        path.lineTo(at(kPoints[i]));
    return path;
}

} // namespace

QPixmap ProgramIcon::pixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const QRectF screen(s * 0.06, s * 0.06, s * 0.88, s * 0.88);
    QLinearGradient bezel(screen.topLeft(), screen.bottomRight());
    bezel.setColorAt(0, QColor(70, 78, 86));
    bezel.setColorAt(1, QColor(30, 34, 38));
    p.setPen(Qt::NoPen);
    p.setBrush(bezel);
    p.drawRoundedRect(screen, s * 0.14, s * 0.14);
    const QRectF glass = screen.adjusted(s * 0.07, s * 0.07, -s * 0.07, -s * 0.07);
    p.setBrush(QColor(8, 20, 10));
    p.drawRoundedRect(glass, s * 0.06, s * 0.06);
    p.setPen(QPen(QColor(60, 90, 64), std::max(1.0, s / 64)));
    p.drawLine(QPointF(glass.left(), glass.center().y()),
               QPointF(glass.right(), glass.center().y()));
    p.drawLine(QPointF(glass.center().x(), glass.top()),
               QPointF(glass.center().x(), glass.bottom()));
    p.setPen(
        QPen(QColor(0, 255, 0), std::max(1.5, s / 16), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(tracePath(glass.adjusted(s * 0.04, s * 0.1, -s * 0.04, -s * 0.1)));
    const double led = s * 0.2;
    const QRectF ledRect(screen.right() - led * 1.05, screen.top() + led * 0.05, led, led);
    p.setPen(QPen(QColor(255, 192, 192), std::max(1.0, s / 48)));
    p.setBrush(QColor(255, 0, 0));
    p.drawEllipse(ledRect);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(
        QRectF(ledRect.left() + led * 0.25, ledRect.top() + led * 0.2, led * 0.22, led * 0.22));
    return pixmap;
}

QIcon ProgramIcon::icon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(pixmap(size));
    return icon;
}

QPixmap ProgramIcon::banner()
{
    constexpr int width = 522;
    constexpr int height = 130;
    QPixmap pixmap(width, height);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, width, height);
    sky.setColorAt(0, QColor(10, 40, 18));
    sky.setColorAt(1, QColor(4, 12, 6));
    p.fillRect(pixmap.rect(), sky);
    p.setPen(QPen(QColor(40, 80, 46), 1));
    for (int x = 0; x < width; x += 26)
        p.drawLine(x, 0, x, height);
    for (int y = 0; y < height; y += 26)
        p.drawLine(0, y, width, y);
    p.setPen(QPen(QColor(0, 255, 0), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tracePath(QRectF(12, 14, width - 24, height - 28)));
    QFont font;
    font.setPixelSize(64);
    font.setBold(true);
    p.setFont(font);
    p.setPen(QColor(230, 255, 230));
    p.drawText(QRect(0, 0, width, height), Qt::AlignCenter, QStringLiteral("Ondaris"));
    return pixmap;
}
