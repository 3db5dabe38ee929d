#include "acquisition/hidapitransport.h"
#include "acquisition/seriallink.h"
#include "app/instrument.h"
#include "app/widgets/desktoplook.h"
#include "app/widgets/enregistreur.h"
#include "app/widgets/qtdialogs.h"
#include "app/widgets/singleinstance.h"
#include "settings/configfile.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QStandardPaths>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ondaris"));
    QApplication::setApplicationVersion(QStringLiteral(ONDARIS_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("ondaris"));

    SingleInstance instance(SingleInstance::defaultLockPath());
    if (!instance.acquire())
        return 0;

    DesktopLook::apply(app);
    QtDialogs dialogs;
    Instrument::Services services;
    const QString executableDir = QCoreApplication::applicationDirPath();
    services.configPath = ConfigFile::locate(
        executableDir, QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    services.configFallback
        = QDir(executableDir).filePath(QString::fromLatin1(ConfigFile::FileName));
    services.hidTransport = std::make_unique<HidapiTransport>();
    services.bell = &QApplication::beep; // when the desktop has no sound player
    Instrument instrument(std::move(services));

    Enregistreur window(instrument, dialogs);
    QObject::connect(&window, &Enregistreur::quitConfirmed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    window.Form_Load();
    if (const QScreen *screen = window.screen())
        window.move(screen->availableGeometry().center() - window.rect().center());
    window.show();
    return app.exec();
}
