#include "windowlayout.h"

#include "common/twips.h"

#include <algorithm>

namespace {
constexpr int kWideTwips = 7890; // the window's width with the chart shown
constexpr int kNarrowTwips = 3600; // with the chart hidden
constexpr int kInsideTwips = 3735; // the inside's height below the menu bar
} // namespace

QSize WindowLayout::smallest()
{
    return {Twips::px(kWideTwips), Twips::px(kInsideTwips)};
}

int WindowLayout::narrowWidth()
{
    return Twips::px(kNarrowTwips);
}

WindowLayout WindowLayout::forInside(QSize inside, int rightRoom)
{
    const int dw = std::max(0, inside.width() - smallest().width());
    const int dh = std::max(0, inside.height() - smallest().height());
    const int shrink = std::clamp(rightRoom, 0, Twips::px(3495) / 2);
    WindowLayout layout;
    layout.heading = Twips::rect(120, 120, 3015, 255);
    layout.list = Twips::rect(120, 360, 3255, 2415).adjusted(0, 0, 0, dh);
    layout.chart = Twips::rect(3600, 120, 3495, 2655).adjusted(0, 0, dw - shrink, dh);
    layout.xRuler = Twips::rect(3600, 2880, 3495, 255).adjusted(0, dh, dw - shrink, dh);
    layout.yRuler = Twips::rect(7200, 120, 255, 2655).adjusted(dw - shrink, 0, dw - shrink, dh);
    layout.clock = Twips::rect(240, 2880, 855, 295).translated(0, dh);
    layout.value = Twips::rect(240, 3240, 855, 375).translated(0, dh);
    layout.frame = Twips::rect(1200, 2760, 2055, 855).translated(0, dh);
    return layout;
}

QSize WindowLayout::restoredSize(QSize stored, QSize smallest, QSize screen)
{
    const auto fits = [](int value, int low, int high) {
        return value >= low && value <= high ? value : low;
    };
    return {fits(stored.width(), smallest.width(), screen.width()),
            fits(stored.height(), smallest.height(), screen.height())};
}
