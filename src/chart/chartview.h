#pragma once

#include <QFrame>

class MeasurementBuffer;

// The chart box Ecran1: the trace of samples 0..n in green on the window-frame colour, under
// the two centre lines. It paints from the buffer whenever it is exposed, so it keeps its picture.
class ChartView : public QFrame
{
    Q_OBJECT

public:
    explicit ChartView(const MeasurementBuffer &buffer, QWidget *parent = nullptr);

    // raz: no trace.
    void clear();
    // affich: the trace through samples 0..num_mesure as they are now.
    void plot();
    // The number of the last sample drawn; 0 with no trace.
    int drawnCount() const { return m_count; }
    // The area the chart's scale covers, inside the border.
    QRectF innerRect() const;

    // Draws the chart as it is into any painter (the screen, or an image for a benchmark).
    static void paintChart(QPainter &painter, const QRectF &inner, const MeasurementBuffer &buffer,
                           int count);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const MeasurementBuffer &m_buffer;
    int m_count = 0;
};
