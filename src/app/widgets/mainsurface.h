#pragma once

#include <QWidget>

class ChartView;
class Ruler;

// The main window's own surface behind its controls, on which the ruler numbers 1 to 9 are
// printed beside the two rulers, or the values, sample numbers and times the chart's rulers
// carry.
class MainSurface : public QWidget
{
    Q_OBJECT

public:
    explicit MainSurface(QWidget *parent = nullptr);
    void setRulers(const Ruler *horizontal, const Ruler *vertical, const ChartView *chart);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The text positions (pixels) of the numbers 1..9 of one ruler.
    QList<QPointF> numberPositions(Qt::Orientation orientation) const;

    const Ruler *m_horizontal = nullptr;
    const Ruler *m_vertical = nullptr;
    const ChartView *m_chart = nullptr;
};
