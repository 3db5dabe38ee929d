#include "systemerror.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstring>

namespace SystemError {

QString describe(int errnum)
{
    const auto tr = [](const char *text) {
        return QCoreApplication::translate("SystemError", text);
    };
    switch (errnum) {
    case ENOSPC:
        return tr("le disque est plein");
    case EDQUOT:
        return tr("le quota disque est dépassé");
    case EACCES:
    case EPERM:
        return tr("accès refusé (fichier ou dossier protégé en écriture)");
    case EROFS:
        return tr("le support est en lecture seule");
    case ENOENT:
        return tr("le dossier n'existe pas ou plus");
    case ENOTDIR:
        return tr("un élément du chemin n'est pas un dossier");
    case EISDIR:
        return tr("le chemin désigne un dossier");
    case EIO:
        return tr("erreur d'entrée-sortie du support");
    case EFBIG:
        return tr("le fichier est trop gros");
    case ENAMETOOLONG:
        return tr("le nom est trop long");
    default:
        return QString::fromLocal8Bit(std::strerror(errnum));
    }
}

} // namespace SystemError
