#pragma once

#include <QFrame>
#include <functional>
#include <optional>

class SampleStore;

// The chart box Ecran1: the trace of samples 0..n in green on black, under the two grey centre
// lines. It paints from the sample store whenever it is exposed, so it keeps its picture.
class ChartView : public QFrame
{
    Q_OBJECT

public:
    explicit ChartView(const SampleStore &store, QWidget *parent = nullptr);

    // raz: no trace.
    void clear();
    // affich: the trace through samples 0..num_mesure as they are now.
    void plot();
    // The number of the last sample drawn; 0 with no trace.
    int drawnCount() const { return m_count; }
    // The area the chart's scale covers, inside the border.
    QRectF innerRect() const;

    // Draws the chart as it is into any painter (the screen, or an image for a benchmark).
    static void paintChart(QPainter &painter, const QRectF &inner, const SampleStore &store,
                           int count);

    // The text of the label shown for sample i while the pointer is over the chart.
    void setReadout(std::function<QString(int)> readout) { m_readout = std::move(readout); }
    // The sample under the pointer, when the marker and its label are shown.
    std::optional<int> pointedSample() const;
    // The marker's column and the label's text and place, for a pointer at x, y.
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

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void dropPointer();

    const SampleStore &m_store;
    int m_count = 0;
    std::function<QString(int)> m_readout;
    std::optional<QPointF> m_pointer; // over the chart, in its coordinates
    bool m_markerShown = true;
};
