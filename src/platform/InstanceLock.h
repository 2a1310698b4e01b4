#pragma once

#include <QLockFile>
#include <QString>

namespace tradevane {

// One Tradevane per data folder: two engines must never append to one activity log. The lock is a
// file "tradevane.lock" in the data folder, held while the program runs; one left behind by a
// program that crashed is taken over.
class InstanceLock
{
public:
    explicit InstanceLock(const QString& dataFolder);

    bool acquired() const { return m_acquired; }
    // Why it was not: the folder, the process that holds it when known, and the lock file's full
    // path, to delete when the lock was left by another computer.
    QString refusalText() const;
    QString lockFile() const;

private:
    QString m_folder;
    QString m_lockFile;
    QLockFile m_lock;
    bool m_acquired = false;
};

} // namespace tradevane
