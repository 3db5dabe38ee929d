#include "mainsurface.h"

#include "chart/chartgeometry.h"
#include "chart/widgets/ruler.h"
#include "common/twips.h"

#include <QPainter>

using Twips::PerPixel;

namespace {

QRectF twipsRect(const QRect &pixels)
{
    return {pixels.x() * PerPixel, pixels.y() * PerPixel, pixels.width() * PerPixel,
            pixels.height() * PerPixel};
}

} // namespace

MainSurface::MainSurface(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Enregistreur_surface"));
}

void MainSurface::setRulers(const Ruler *horizontal, const Ruler *vertical)
{
    m_horizontal = horizontal;
    m_vertical = vertical;
    update();
}

QList<QPointF> MainSurface::numberPositions(Qt::Orientation orientation) const
{
    QList<QPointF> positions;
    const Ruler *ruler = orientation == Qt::Horizontal ? m_horizontal : m_vertical;
    if (!ruler)
        return positions;
    const QRectF outer = twipsRect(ruler->geometry());
    const double inner = ruler->innerExtentTwips();
    for (int n = 1; n <= ChartGeometry::RulerTicks; ++n) {
        const QPointF at = orientation == Qt::Horizontal
            ? ChartGeometry::horizontalNumberPosition(n, outer, inner)
            : ChartGeometry::verticalNumberPosition(n, outer, inner);
        positions.append(at / PerPixel);
    }
    return positions;
}

void MainSurface::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics = fontMetrics();
    for (Qt::Orientation orientation : {Qt::Horizontal, Qt::Vertical}) {
        const QList<QPointF> positions = numberPositions(orientation);
        for (int i = 0; i < positions.size(); ++i) {
            // A number prints with a blank where a sign would stand, and one after it.
            const QString text = QStringLiteral(" %1 ").arg(i + 1);
            painter.drawText(positions[i] + QPointF(0, metrics.ascent()), text);
        }
    }
}
