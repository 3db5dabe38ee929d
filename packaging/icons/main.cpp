// Writes the program's icon as PNG files of the hicolor sizes, from the same drawing the windows
// use, so that the desktop menu and the program show one picture.
#include "common/widgets/programicon.h"

#include <QDir>
#include <QGuiApplication>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const QString path = out.filePath(QStringLiteral("ondaris-%1.png").arg(size));
        if (!ProgramIcon::pixmap(size).save(path))
            return 1;
    }
    return 0;
}
