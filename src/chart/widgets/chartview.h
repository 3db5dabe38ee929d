#pragma once

#include "chart/chartgeometry.h"
#include "chart/rulerscale.h"
#include "chart/samplespan.h"
#include "chart/timeaxis.h"

#include <QFrame>
#include <optional>

class SampleStore;

// The chart box Ecran1: the trace of the samples in green on black, under the two grey centre
// lines. It follows the sample store and paints from it whenever it is exposed, so it keeps its
// picture. Its own view is the whole recording in a vertical window of 255 that a recording's
// values move up; the user may zoom with the wheel around the pointer, pan by dragging, fit the
// height to the samples in view, and pin a sample to measure from it.
class ChartView : public QFrame
{
    Q_OBJECT

public:
    explicit ChartView(const SampleStore &store, QWidget *parent = nullptr);

    // The number of the last sample drawn; 0 with no trace.
    int drawnCount() const { return m_count; }
    // The area the chart's scale covers, inside the border.
    QRectF innerRect() const;

    // "Vue d'ensemble": the whole recording, as the chart shows it by default.
    void showWhole();
    // "Ajuster la hauteur": the height fitted to the samples in view, or the vertical window.
    void setFitHeight(bool fit);
    // "Retirer le repère".
    void removePin();
    std::optional<int> pinnedSample() const { return m_pin; }
    bool isWhole() const { return m_span.isWhole(); }
    // The samples in view, sample 0 aside: first..last, empty when last < first.
    std::pair<int, int> samplesInView() const;
    // The samples across and the values up the height, as they are drawn now.
    ChartGeometry::View view() const;

    // "Axe du temps": the samples placed by their date and time, when they all have one.
    void setTimeAxis(bool on);
    bool isTimeAxisChosen() const { return m_timeAxis; }
    // The samples are placed by their time: the time axis chosen, and every sample dated.
    bool isOnTimeAxis() const { return m_timeAxis && m_time.holds(); }

    // The rulers carry the values, sample numbers and times in view instead of 1 to 9.
    void setRulersInValues(bool inValues);
    bool rulersInValues() const { return m_rulersInValues; }
    // The marks of a ruler in values: at is the pixel column (horizontal) or row (vertical) in
    // the chart; the labels, in the chart's font, do not overlap.
    QList<RulerScale::Tick> rulerTicks(Qt::Orientation orientation) const;

    // Draws a chart of the store as the view shows it into any painter (the screen, or an image
    // for a benchmark): the trace under the centre lines, or over them.
    static void paintChart(QPainter &painter, const QRectF &inner, const SampleStore &store,
                           int count, const ChartGeometry::View &view, bool traceOnTop = false);
    // The time axis of a store's samples, for a chart drawn outside a ChartView.
    static TimeAxis timeAxisOf(const SampleStore &store);

    // The sample under the pointer, when the marker and its label are shown.
    std::optional<int> pointedSample() const;
    // The marker's column and the label's text and place, for a pointer at x, y: the sample as
    // people read it and, when one is pinned, its differences from it.
    struct Marker
    {
        double x;
        QString text;
        QRectF label;
    };
    std::optional<Marker> markerAt(QPointF pointer) const;
    // The picture is taken without the marker and its label.
    void setMarkerShown(bool shown);

signals:
    // The context menu was asked for at this global position.
    void contextMenuAsked(const QPoint &globalPosition);
    // What the chart shows across or up its height changed: the rulers follow.
    void viewChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // No trace; the whole view again, no pin.
    void clear();
    // The trace through samples 0..num_mesure as they are now; a view that shows the newest
    // sample follows it.
    void plot();
    void dropPointer();
    // Repaints after a change of what is in view.
    void changed();
    // The extent across: the samples, or their seconds on the time axis.
    double extent() const;

    const SampleStore &m_store;
    int m_count = 0;
    double m_bottom = 0; // of the vertical window
    SampleSpan m_span;
    bool m_fit = false;
    std::optional<int> m_pin;
    std::optional<int> m_pinBefore; // before the click that a double click follows
    std::optional<QPointF> m_press; // the left button went down here and has not dragged yet
    double m_dragX = 0; // where the drag was last drawn
    bool m_dragging = false;
    int m_wheelRest = 0; // eighths of a degree the wheel turned short of a notch
    std::optional<QPointF> m_pointer; // over the chart, in its coordinates
    bool m_markerShown = true;
    TimeAxis m_time; // of samples 1..m_count
    bool m_timeAxis = false;
    bool m_spanOnTime = false; // the span counts seconds
    bool m_rulersInValues = false;
};
