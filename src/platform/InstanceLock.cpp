#include "platform/InstanceLock.h"

#include <QDir>

namespace tradevane {

InstanceLock::InstanceLock(const QString& dataFolder)
    : m_folder(QDir::toNativeSeparators(dataFolder))
    , m_lock(QDir(dataFolder).filePath(u"tradevane.lock"_qs))
{
    // A program that runs for weeks must not lose its lock to age: only a holder that is gone
    // makes the lock stale.
    m_lock.setStaleLockTime(0);
    m_acquired = m_lock.tryLock(0);
}

QString InstanceLock::refusalText() const
{
    QString holder;
    qint64 pid = 0;
    QString host;
    QString application;
    if (m_lock.error() == QLockFile::LockFailedError && m_lock.getLockInfo(&pid, &host, &application))
        holder = u" (process %1 on %2)"_qs.arg(pid).arg(host);
    if (m_lock.error() == QLockFile::LockFailedError)
        return u"Tradevane is already running on the data folder %1%2. Only one Tradevane may work on a "
               "data folder; switch to the running one, or start this one with --data and another folder."_qs
                   .arg(m_folder, holder);
    return u"Tradevane cannot lock its data folder %1. Make the folder writable, or start Tradevane with "
           "--data and a folder of your own."_qs.arg(m_folder);
}

} // namespace tradevane
