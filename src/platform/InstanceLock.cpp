#include "platform/InstanceLock.h"

#include <QDir>

namespace tradevane {

InstanceLock::InstanceLock(const QString& dataFolder)
    : m_folder(QDir::toNativeSeparators(dataFolder))
    , m_lockFile(QDir(dataFolder).absoluteFilePath(u"tradevane.lock"_qs))
    , m_lock(m_lockFile)
{
    // A program that runs for weeks must not lose its lock to age: only a holder that is gone
    // makes the lock stale.
    m_lock.setStaleLockTime(0);
    m_acquired = m_lock.tryLock(0);
}

QString InstanceLock::lockFile() const
{
    return QDir::toNativeSeparators(m_lockFile);
}

QString InstanceLock::refusalText() const
{
    QString holder;
    qint64 pid = 0;
    QString host;
    QString application;
    if (m_lock.error() == QLockFile::LockFailedError && m_lock.getLockInfo(&pid, &host, &application))
        holder = u" (process %1 on %2)"_qs.arg(pid).arg(host);
    // A lock taken on another computer that shares the folder is never found stale here: the user
    // is told which file to delete.
    if (m_lock.error() == QLockFile::LockFailedError)
        return u"Tradevane is already running on the data folder %1%2. Only one Tradevane may work on a "
               "data folder; switch to the running one, or start this one with --data and another folder. "
               "If no Tradevane is running on it (a lock left by another computer that shares the folder), "
               "delete the lock file %3."_qs.arg(m_folder, holder, lockFile());
    return u"Tradevane cannot lock its data folder %1 with the lock file %2. Make the folder writable, or "
           "start Tradevane with --data and a folder of your own."_qs.arg(m_folder, lockFile());
}

} // namespace tradevane
