#pragma once

#include <QColor>
#include <QWidget>

// A circle drawn in the largest square that fits its rectangle, centred: a back that may be
// opaque, an optional solid fill over it, and a border that may be hidden. The LED is three.
class CircleShape : public QWidget
{
    Q_OBJECT

public:
    explicit CircleShape(QWidget *parent = nullptr);

    void setBackColor(const QColor &c)
    {
        m_backColor = c;
        update();
    }
    void setBackOpaque(bool opaque)
    {
        m_backOpaque = opaque;
        update();
    }
    void setFillColor(const QColor &c)
    {
        m_fillColor = c;
        update();
    }
    void setFillSolid(bool solid)
    {
        m_fillSolid = solid;
        update();
    }
    void setBorderColor(const QColor &c)
    {
        m_borderColor = c;
        update();
    }
    void setBorderVisible(bool visible)
    {
        m_borderVisible = visible;
        update();
    }
    void setBorderWidth(int width)
    {
        m_borderWidth = width;
        update();
    }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The circle's rectangle inside a widget of this size.
    static QRectF circleRect(const QSizeF &size);

    QColor m_backColor = Qt::white;
    QColor m_fillColor = Qt::black;
    QColor m_borderColor = Qt::black;
    int m_borderWidth = 1;
    bool m_backOpaque = false;
    bool m_fillSolid = false;
    bool m_borderVisible = true;
};
