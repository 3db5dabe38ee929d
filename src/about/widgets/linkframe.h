#pragma once

#include <QFrame>

// A borderless area that behaves as one hyperlink: a pointing hand over it and its children,
// a signal when the pointer moves over its own background, and a click anywhere on it (a double
// click is one click).
class LinkFrame : public QFrame
{
    Q_OBJECT

public:
    explicit LinkFrame(QWidget *parent = nullptr);
    // Gives a child the hand pointer and lets its clicks reach this frame.
    void adopt(QWidget *child);

signals:
    void hovered();
    void clicked();

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // The second press of a double click opens nothing more.
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};
