#include "wrapradiobutton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

void WrapRadioButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    const QRect indicator = style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, this);
    QStyleOptionButton indicatorOption = option;
    indicatorOption.rect = indicator;
    indicatorOption.rect.moveTop((height() - indicator.height()) / 2);
    painter.drawPrimitive(QStyle::PE_IndicatorRadioButton, indicatorOption);
    const int left = indicator.right() + style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    const QRect textArea(left, 0, width() - left, height());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(textArea, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap, caption);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = textArea.adjusted(-1, 0, 0, 0);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool WrapRadioButton::hitButton(const QPoint &pos) const
{
    return rect().contains(pos);
}
