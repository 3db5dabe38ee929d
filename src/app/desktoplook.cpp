#include "desktoplook.h"

#include "about/programicon.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

namespace DesktopLook {

void apply(QApplication &app)
{
    QFont font;
    font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.0);
    QApplication::setFont(font);
    if (QStyle *fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    app.setWindowIcon(ProgramIcon::icon());
}

} // namespace DesktopLook
