#include "desktoplook.h"

#include "common/widgets/programicon.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QStyleFactory>
#include <QTranslator>

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
    // The program speaks French: so do Qt's own buttons and file dialogs ("Oui", "Non", "Annuler").
    auto *qtFrench = new QTranslator(&app);
    if (qtFrench->load(QStringLiteral("qtbase_fr"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtFrench);
}

} // namespace DesktopLook
