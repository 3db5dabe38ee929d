#pragma once

#include <QFrame>

// A ruler beside the chart (Picture1 under it, Picture2 right of it): nine ticks that cut its
// inner extent into tenths.
class Ruler : public QFrame
{
    Q_OBJECT

public:
    Ruler(Qt::Orientation orientation, QWidget *parent = nullptr);

    // The ruler's inner extent along its length, in twips (its own scale).
    double innerExtentTwips() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    Qt::Orientation m_orientation;
};
