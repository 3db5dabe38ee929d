#pragma once

#include <QLockFile>
#include <QString>
#include <memory>

// One running program per user: a lock file in the user's runtime folder (or the temporary
// folder). A lock left by a crashed run is taken over.
class SingleInstance
{
public:
    // The lock file of the user's session.
    static QString defaultLockPath();

    explicit SingleInstance(const QString &lockPath);
    // True when no other running program holds the lock; it is then held until destruction.
    bool acquire();

private:
    std::unique_ptr<QLockFile> m_lock;
};
