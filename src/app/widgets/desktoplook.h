#pragma once

class QApplication;

// The look shared by every window: the application font (a sans face of the metrics of the
// classic 8-point dialog font), the Fusion style, the program's icon and Qt's French texts.
namespace DesktopLook {
void apply(QApplication &app);
}
