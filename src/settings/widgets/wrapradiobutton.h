#pragma once

#include <QRadioButton>

// A radio button whose caption wraps onto several lines when its width is short.
class WrapRadioButton : public QRadioButton
{
    Q_OBJECT

public:
    using QRadioButton::QRadioButton;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;
};
