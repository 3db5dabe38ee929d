#pragma once

#include <QImage>
#include <QRect>

// How many pixels of the area (the whole image by default) the predicate holds for.
template<typename Predicate> int pixelsOf(const QImage &image, Predicate wanted, QRect area = {})
{
    area = area.isNull() ? image.rect() : area & image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += wanted(image.pixel(x, y));
    return n;
}

inline auto is(QRgb colour)
{
    return [colour](QRgb p) {
        return p == colour;
    };
}
