#include "mainsurface.h"

#include "chart/chartgeometry.h"
#include "chart/widgets/chartview.h"
#include "chart/widgets/ruler.h"
#include "common/twips.h"

#include <QPainter>
#include <algorithm>

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

void MainSurface::setRulers(const Ruler *horizontal, const Ruler *vertical, const ChartView *chart)
{
    m_horizontal = horizontal;
    m_vertical = vertical;
    m_chart = chart;
    // Only the numbers beside the rulers change with the view.
    connect(chart, &ChartView::viewChanged, this, [this] {
        update(QRect(m_horizontal->geometry().bottomLeft(), size()));
        update(QRect(m_vertical->geometry().topRight() + QPoint(1, 0), size()));
    });
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
    if (m_chart && m_chart->rulersInValues()) {
        // Under the horizontal ruler centred on their ticks, right of the vertical one level
        // with theirs, where the numbers 1 to 9 stand otherwise.
        const QPointF chart = m_chart->pos();
        const double below = m_horizontal->y() + ChartGeometry::NumberGapTwips / PerPixel;
        // Kept within the ruler's span, so that none stands over the controls at the left or
        // shows in the narrow window; one that would then touch the one before is left out.
        const QRect span = m_horizontal->geometry();
        double free = span.left();
        for (const auto &tick : m_chart->rulerTicks(Qt::Horizontal)) {
            const double width = metrics.horizontalAdvance(tick.text);
            const double x = std::min(std::max(chart.x() + tick.at - width / 2, free),
                                      span.right() + 1.0 - width);
            if (x < free)
                continue;
            painter.drawText(QPointF(x, below + metrics.ascent()), tick.text);
            free = x + width + 2;
        }
        const double right = m_vertical->x() + ChartGeometry::NumberGapTwips / PerPixel;
        for (const auto &tick : m_chart->rulerTicks(Qt::Vertical)) {
            const double top = std::clamp(chart.y() + tick.at - metrics.height() / 2.0, 0.0,
                                          double(height() - metrics.height()));
            painter.drawText(QPointF(right, top + metrics.ascent()), tick.text);
        }
        return;
    }
    for (Qt::Orientation orientation : {Qt::Horizontal, Qt::Vertical}) {
        const QList<QPointF> positions = numberPositions(orientation);
        for (int i = 0; i < positions.size(); ++i) {
            // A number prints with a blank where a sign would stand, and one after it.
            const QString text = QStringLiteral(" %1 ").arg(i + 1);
            painter.drawText(positions[i] + QPointF(0, metrics.ascent()), text);
        }
    }
}
