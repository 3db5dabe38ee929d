#include "chartview.h"

#include "recording/samplestore.h"
#include "recording/sampletext.h"
#include "tracepath.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace {
// The chart looks the same in every state and desktop scheme.
constexpr QRgb kBackground = qRgb(0, 0, 0);
constexpr QRgb kTraceColour = qRgb(0, 255, 0);
constexpr QRgb kCentreLines = qRgb(128, 128, 128);
constexpr QRgb kPinColour = qRgb(255, 200, 0);
constexpr QRgb kAlarmShade = qRgb(90, 0, 0); // the time in alarm, under the trace
constexpr QRgb kSilentShade = qRgb(60, 60, 0); // the sensor silent

// A text in a small black box edged in grey, green on black.
void drawLabel(QPainter &painter, const QRectF &box, const QString &text)
{
    painter.fillRect(box, QColor(kBackground));
    painter.setPen(QColor(kCentreLines));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setPen(QColor(kTraceColour));
    painter.drawText(box, Qt::AlignCenter, text);
}
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
    connect(&store, &SampleStore::cleared, this, &ChartView::clear);
    connect(&store, &SampleStore::grew, this, [this] {
        const Sample &sample = m_store.at(m_store.num_mesure());
        m_bottom = ChartGeometry::followValue(m_bottom, sample.value);
        m_time.append(sample.date, sample.time);
        plot();
    });
    connect(&store, &SampleStore::reloaded, this, [this] {
        m_time = timeAxisOf(m_store);
        if (!m_store.entete_fichier()) // a recording taken up again: its window as it was
            m_bottom = ChartGeometry::followValue(m_bottom,
                                                  m_store.extremes(1, m_store.num_mesure()).second);
        plot();
    });
}

TimeAxis ChartView::timeAxisOf(const SampleStore &store)
{
    TimeAxis time;
    for (int i = 1; i <= store.num_mesure(); ++i)
        time.append(store.at(i).date, store.at(i).time);
    return time;
}

void ChartView::changed()
{
    update();
    emit viewChanged();
}

double ChartView::extent() const
{
    return isOnTimeAxis() ? m_time.end() : m_count;
}

void ChartView::clear()
{
    m_count = 0;
    m_time.clear();
    m_span.showWhole(0);
    m_pin.reset();
    changed();
}

void ChartView::plot()
{
    m_count = m_store.num_mesure();
    // Ten usual steps at the deepest zoom on the time axis, as ten samples on the other.
    m_span.setNarrowest(isOnTimeAxis() ? 10 * m_time.period() : SampleSpan::Narrowest);
    if (m_spanOnTime != isOnTimeAxis()) { // samples without a date came, or only dated ones
        m_spanOnTime = isOnTimeAxis();
        m_span.showWhole(extent());
    }
    m_span.setCount(extent());
    changed();
}

void ChartView::showWhole()
{
    m_span.showWhole(extent());
    changed();
}

void ChartView::setFitHeight(bool fit)
{
    m_fit = fit;
    changed();
}

void ChartView::setTimeAxis(bool on)
{
    const ChartGeometry::View before = view();
    const bool whole = m_span.isWhole();
    m_timeAxis = on;
    if (m_spanOnTime == isOnTimeAxis())
        return changed();
    // The same samples in view on the other axis.
    const auto place = [&](double position) {
        return m_spanOnTime ? m_time.indexAt(position) : m_time.at(int(std::lround(position)));
    };
    const double first = place(before.first), last = place(std::min(m_span.last(), before.last));
    m_spanOnTime = isOnTimeAxis();
    m_span.setNarrowest(m_spanOnTime ? 10 * m_time.period() : SampleSpan::Narrowest);
    m_span.showWhole(extent());
    if (!whole)
        m_span.show(first, last);
    changed();
}

void ChartView::setRulersInValues(bool inValues)
{
    if (std::exchange(m_rulersInValues, inValues) != inValues)
        changed();
}

QList<RulerScale::Tick> ChartView::rulerTicks(Qt::Orientation orientation) const
{
    const QFontMetricsF metrics(font());
    const RulerScale::Width width = [&](const QString &text) {
        return orientation == Qt::Vertical ? metrics.height() : metrics.horizontalAdvance(text);
    };
    const QRectF inner = innerRect();
    const ChartGeometry::View view = this->view();
    QList<RulerScale::Tick> ticks;
    if (orientation == Qt::Vertical) {
        const SensorScale &scale = m_store.scaleAt(m_count);
        const double atBottom = scale.toUnits(view.bottom), atTop = scale.toUnits(view.top);
        ticks = RulerScale::valueTicks(std::min(atBottom, atTop), std::max(atBottom, atTop),
                                       inner.height(), width, locale());
        for (RulerScale::Tick &tick : ticks) {
            const double value = view.bottom
                + (tick.at - atBottom) / (atTop - atBottom) * (view.top - view.bottom);
            tick.at = ChartGeometry::toPixel(0, value, view, inner).y();
        }
        if (!ticks.isEmpty())
            ticks.last().text += scale.unitSuffix();
        return ticks;
    }
    if (m_count <= 0)
        return ticks;
    if (view.time) {
        const double origin = m_time.origin();
        ticks
            = RulerScale::timeTicks(origin + view.first, origin + view.last, inner.width(), width);
        for (RulerScale::Tick &tick : ticks)
            tick.at = view.xAt(tick.at - origin, inner);
    } else {
        ticks = RulerScale::valueTicks(view.first, view.last, inner.width(), width, locale(), 1);
        for (RulerScale::Tick &tick : ticks)
            tick.at = view.xAt(tick.at, inner);
    }
    return ticks;
}

void ChartView::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    emit viewChanged();
}

void ChartView::removePin()
{
    m_pin.reset();
    update();
}

std::pair<int, int> ChartView::samplesInView() const
{
    return view().samplesIn(m_count);
}

QRectF ChartView::innerRect() const
{
    return QRectF(contentsRect());
}

ChartGeometry::View ChartView::view() const
{
    ChartGeometry::View view;
    view.first = m_span.first();
    view.last = std::max(m_span.last(), m_span.first() + 1);
    view.bottom = m_bottom;
    view.top = view.bottom + ChartGeometry::ScaleHeight;
    view.time = m_spanOnTime ? &m_time : nullptr;
    if (!m_fit || m_count <= 0)
        return view;
    // Sample 0 starts the trace but is no measure: it plays no part in the fit.
    const auto [first, last] = view.samplesIn(m_count);
    if (last < first)
        return view;
    const auto [low, high] = m_store.extremes(first, last);
    return ChartGeometry::fitHeight(view, low, high);
}

void ChartView::paintChart(QPainter &painter, const QRectF &inner, const SampleStore &store,
                           int count, const ChartGeometry::View &view, bool traceOnTop)
{
    painter.fillRect(inner, QColor(kBackground));
    painter.save();
    painter.setClipRect(inner);
    // The time in alarm, shaded under the trace: from half a sample before a band to half after.
    const std::vector<SampleStore::AlarmBand> &bands = store.alarmBands();
    auto band = std::lower_bound(
        bands.begin(), bands.end(), view.first - 0.5,
        [](const SampleStore::AlarmBand &b, double first) { return b.last + 0.5 < first; });
    for (; band != bands.end() && band->first - 0.5 <= view.last; ++band) {
        const double left = ChartGeometry::toPixel(band->first - 0.5, 0, view, inner).x();
        const double right = ChartGeometry::toPixel(band->last + 0.5, 0, view, inner).x();
        painter.fillRect(QRectF(left, inner.top(), std::max(1.0, right - left), inner.height()),
                         band->type == AlarmEvent::Type::Silent ? QColor(kSilentShade)
                                                                : QColor(kAlarmShade));
    }
    const auto trace = [&] {
        if (count <= 0)
            return;
        painter.setPen(QPen(QColor(kTraceColour), 1));
        for (const QPolygonF &line : TracePath::build(store, view, inner)) {
            if (line.size() == 1) // a sample alone between two gaps
                painter.drawPoint(line.first());
            else
                painter.drawPolyline(line);
        }
    };
    if (!traceOnTop)
        trace();
    painter.setPen(QPen(QColor(kCentreLines), 1));
    painter.drawLine(ChartGeometry::horizontalCentreLine(inner));
    painter.drawLine(ChartGeometry::verticalCentreLine(inner));
    if (traceOnTop)
        trace();
    painter.restore();
}

void ChartView::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRectF inner = innerRect();
    const ChartGeometry::View view = this->view();
    // The centre lines stand over the trace, but for a fitted trace, which they would hide
    // where it is flat.
    paintChart(painter, inner, m_store, m_count, view, m_fit);
    painter.setClipRect(inner);
    const QFontMetricsF metrics(font());
    if (m_fit && m_count > 0) {
        // The values of the top and bottom edges, at the left.
        for (const auto &[value, atTop] : {std::pair(view.top, true), {view.bottom, false}}) {
            const QString text = m_store.scaleAt(m_count).text(value, locale());
            const QSizeF size(metrics.horizontalAdvance(text) + 6, metrics.height() + 2);
            const double y = atTop ? inner.top() : inner.bottom() + 1 - size.height();
            drawLabel(painter, QRectF(QPointF(inner.left(), y), size), text);
        }
    }
    if (m_pin) {
        painter.setPen(QPen(QColor(kPinColour), 1, Qt::DashLine));
        const double x = view.xOf(*m_pin, inner);
        painter.drawLine(QLineF(x, inner.top(), x, inner.top() + inner.height() - 1));
    }
    // The marker is painted over the trace from the pointer's place, never kept in it.
    if (!m_pointer || !m_markerShown || m_dragging)
        return;
    const auto marker = markerAt(*m_pointer);
    if (!marker)
        return;
    painter.setPen(QPen(QColor(kCentreLines), 1));
    painter.drawLine(QLineF(marker->x, inner.top(), marker->x, inner.top() + inner.height() - 1));
    drawLabel(painter, marker->label, marker->text);
}

std::optional<ChartView::Marker> ChartView::markerAt(QPointF pointer) const
{
    if (m_count <= 0 || !isEnabled() || !isVisible())
        return std::nullopt;
    const QRectF inner = innerRect();
    const ChartGeometry::View view = this->view();
    const int i = ChartGeometry::nearestIndex(pointer.x(), view, m_count, inner);
    Marker marker;
    marker.x = view.xOf(i, inner);
    const SensorScale &scale = m_store.scaleAt(i);
    marker.text = SampleText::label(m_store.at(i), scale, locale());
    if (m_pin)
        marker.text
            += u'\n' + SampleText::delta(m_store.at(*m_pin), m_store.at(i), scale, locale());
    if (const auto alarm = m_store.alarmAt(i))
        marker.text += *alarm == AlarmEvent::Type::High ? tr("\nen alarme haute")
            : *alarm == AlarmEvent::Type::Low           ? tr("\nen alarme basse")
                                                        : tr("\nen alarme : capteur muet");
    // Beside the pointer, inside the chart: to its right and above it where there is room.
    const QSizeF size
        = QSizeF(fontMetrics().boundingRect(QRect(), 0, marker.text).size()) + QSizeF(8, 4);
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
    return ChartGeometry::nearestIndex(m_pointer->x(), view(), m_count, innerRect());
}

void ChartView::setMarkerShown(bool shown)
{
    m_markerShown = shown;
    update();
}

void ChartView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_count > 0) {
        m_press = event->position();
        m_dragX = event->position().x();
    }
    QFrame::mousePressEvent(event);
}

void ChartView::mouseMoveEvent(QMouseEvent *event)
{
    m_pointer = event->position();
    const double x = event->position().x();
    if (m_press && !m_dragging && std::abs(x - m_press->x()) >= QApplication::startDragDistance())
        m_dragging = true;
    if (m_dragging) {
        // The samples follow the pointer.
        const ChartGeometry::View view = this->view();
        const QRectF inner = innerRect();
        m_span.pan(view.positionAt(m_dragX, inner) - view.positionAt(x, inner));
        m_dragX = x;
        emit viewChanged();
    }
    update();
    QFrame::mouseMoveEvent(event);
}

void ChartView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_press && !m_dragging) {
        // A click pins the sample nearest to it.
        m_pinBefore = m_pin;
        m_pin = ChartGeometry::nearestIndex(m_press->x(), view(), m_count, innerRect());
    }
    if (event->button() == Qt::LeftButton) {
        m_press.reset();
        m_dragging = false;
    }
    update();
    QFrame::mouseReleaseEvent(event);
}

void ChartView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QFrame::mouseDoubleClickEvent(event);
    // The double click's first click pinned nothing.
    m_pin = std::exchange(m_pinBefore, std::nullopt);
    showWhole();
}

void ChartView::wheelEvent(QWheelEvent *event)
{
    if (m_count <= 0)
        return QFrame::wheelEvent(event);
    // One notch is 120 eighths of a degree; finer wheels add up to whole notches.
    m_wheelRest += event->angleDelta().y();
    const int notches = m_wheelRest / 120;
    m_wheelRest -= notches * 120;
    m_pointer = event->position();
    m_span.zoom(view().positionAt(event->position().x(), innerRect()), notches);
    changed();
    event->accept();
}

void ChartView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && m_pin)
        removePin();
    else
        QFrame::keyPressEvent(event);
}

void ChartView::dropPointer()
{
    m_press.reset();
    m_dragging = false;
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
    // A window that loses the focus to a dialog no longer hears where the pointer goes.
    if ((event->type() == QEvent::EnabledChange && !isEnabled())
        || (event->type() == QEvent::ActivationChange && !isActiveWindow()))
        dropPointer();
    QFrame::changeEvent(event);
}

void ChartView::contextMenuEvent(QContextMenuEvent *event)
{
    // The popup takes the pointer: the chart hears of it again at its next move over the chart,
    // not when it leaves while the popup is open.
    dropPointer();
    emit contextMenuAsked(event->globalPos());
    event->accept();
}
