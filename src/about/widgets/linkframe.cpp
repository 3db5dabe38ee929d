#include "linkframe.h"

#include <QMouseEvent>

LinkFrame::LinkFrame(QWidget *parent)
    : QFrame(parent)
{
    setFrameStyle(QFrame::NoFrame);
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

void LinkFrame::adopt(QWidget *child)
{
    child->setCursor(Qt::PointingHandCursor);
    child->setMouseTracking(false);
    child->setAttribute(Qt::WA_TransparentForMouseEvents, false);
}

void LinkFrame::mouseMoveEvent(QMouseEvent *event)
{
    // Moves over a child reach here too; only the frame's own area underlines.
    if (childAt(event->position().toPoint()) == nullptr)
        emit hovered();
    event->accept();
}

void LinkFrame::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void LinkFrame::mouseReleaseEvent(QMouseEvent *event)
{
    const bool inside = rect().contains(event->position().toPoint());
    if (m_pressed && event->button() == Qt::LeftButton && inside)
        emit clicked();
    m_pressed = false;
    event->accept();
}

void LinkFrame::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_pressed = false;
    event->accept();
}
