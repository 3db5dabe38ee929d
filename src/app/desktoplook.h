#pragma once

class QApplication;

// The look shared by every window: the application font (a sans face of the metrics of the
// classic 8-point dialog font), the Fusion style and the program's icon.
namespace DesktopLook {
void apply(QApplication &app);
}
