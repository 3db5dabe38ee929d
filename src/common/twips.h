#pragma once

#include <QRect>

// Window layouts are given in twips, 15 to a pixel at 96 dots per inch.
namespace Twips {

constexpr double PerPixel = 15.0;

constexpr double toPixels(double twips)
{
    return twips / PerPixel;
}

constexpr double fromPixels(double pixels)
{
    return pixels * PerPixel;
}

inline int px(int twips)
{
    return qRound(toPixels(twips));
}

// A rectangle given as left, top, width and height in twips; edges are rounded, not sizes, so
// that neighbours still meet.
inline QRect rect(int left, int top, int width, int height)
{
    return QRect(px(left), px(top), px(left + width) - px(left), px(top + height) - px(top));
}

} // namespace Twips
