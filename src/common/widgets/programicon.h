#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn rather than shipped: the icon (a green trace on a dark screen
// with the red recording LED) and the 522 × 130 banner of the About box.
class ProgramIcon
{
public:
    static QPixmap pixmap(int size);
    static QIcon icon();
    static QPixmap banner();
};
