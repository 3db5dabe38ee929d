#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// Where the main window's controls sit, in pixels of the inside below the menu bar. At the
// smallest size, the wide window's, everything is where the design puts it; a larger window
// gives its extra height to the list, the chart and the vertical ruler, and its extra width to
// the chart and the horizontal ruler, while the clock, the live value, the record button and the
// LED keep their place and size at the bottom left.
struct WindowLayout
{
    QRect heading; // Label1
    QRect list; // Text1
    QRect chart; // Ecran1
    QRect xRuler; // Picture1, under the chart
    QRect yRuler; // Picture2, right of the chart
    QRect clock; // Label2
    QRect value; // Label3
    QRect frame; // Frame1, the record button and the LED

    // The inside of the wide window at its design size, and of the narrow one.
    static QSize smallest();
    static int narrowWidth();
    // The layout for an inside of this size; a width or height below the smallest lays out as
    // the smallest (the chart then lies beyond a narrow window's edge). rightRoom: the pixels
    // the numbers right of the vertical ruler need beyond the design's margin.
    static WindowLayout forInside(QSize inside, int rightRoom = 0);
    // The controls, in the order above.
    QList<QRect> all() const { return {heading, list, chart, xRuler, yRuler, clock, value, frame}; }

    // The window size to open at: the stored one, or the smallest for a stored size that is
    // below it or larger than the screen (nonsense, or a screen changed since).
    static QSize restoredSize(QSize stored, QSize smallest, QSize screen);
};
