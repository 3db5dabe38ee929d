#pragma once

#include <QFrame>

class ChartView;

// A ruler beside the chart (Picture1 under it, Picture2 right of it): nine ticks that cut its
// inner extent into tenths, or, when the chart's rulers carry values, a tick at each of them.
class Ruler : public QFrame
{
    Q_OBJECT

public:
    Ruler(Qt::Orientation orientation, QWidget *parent = nullptr);

    // The ruler's inner extent along its length, in twips (its own scale).
    double innerExtentTwips() const;
    // The chart it measures; it repaints as the chart's view changes.
    void setChart(const ChartView *chart);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Qt::Orientation m_orientation;
    const ChartView *m_chart = nullptr;
};
