#include "singleinstance.h"

#include <QDir>
#include <QStandardPaths>

QString SingleInstance::defaultLockPath()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("ondaris.lock"));
}

SingleInstance::SingleInstance(const QString &lockPath)
    : m_lock(std::make_unique<QLockFile>(lockPath))
{
    m_lock->setStaleLockTime(0); // a lock is stale only when its process is gone
}

bool SingleInstance::acquire()
{
    return m_lock->tryLock(0);
}
