#include "PrivateMount.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeProcFile(const char* path, const QByteArray& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, text.constData(), static_cast<size_t>(text.size())) == text.size();
    ::close(fd);
    return written;
}

QString systemError(const char* what)
{
    return QString::fromLatin1(what) + u": "_qs + QString::fromLocal8Bit(std::strerror(errno));
}

QByteArray options(qint64 sizeBytes)
{
    return "size=" + QByteArray::number(sizeBytes) + ",mode=0755";
}

} // namespace

namespace PrivateMount {

QString enter(qint64 sizeBytes, QString& error)
{
    const uid_t uid = ::getuid();
    const gid_t gid = ::getgid();
    if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
        error = systemError("unshare(CLONE_NEWUSER | CLONE_NEWNS)");
        return {};
    }
    // Root inside the namespace, the user outside it.
    if (!writeProcFile("/proc/self/setgroups", "deny")
        || !writeProcFile("/proc/self/uid_map", "0 " + QByteArray::number(uid) + " 1")
        || !writeProcFile("/proc/self/gid_map", "0 " + QByteArray::number(gid) + " 1")) {
        error = systemError("writing the namespace's id maps");
        return {};
    }
    if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        error = systemError("making the mounts private");
        return {};
    }
    // A /tmp of its own first, so that nothing is left in the real one.
    if (::mount("tmpfs", "/tmp", "tmpfs", 0, "size=4m,mode=01777") != 0) {
        error = systemError("mounting a tmpfs on /tmp");
        return {};
    }
    const char* folder = "/tmp/small";
    if (::mkdir(folder, 0755) != 0
        || ::mount("tmpfs", folder, "tmpfs", 0, options(sizeBytes).constData()) != 0) {
        error = systemError("mounting the small tmpfs");
        return {};
    }
    return QString::fromLocal8Bit(folder);
}

bool setReadOnly(const QString& folder, bool readOnly)
{
    const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
    return ::mount("tmpfs", folder.toLocal8Bit().constData(), "tmpfs", flags, nullptr) == 0;
}

} // namespace PrivateMount
