#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace tradevane {

namespace {

struct Chosen
{
    QString data;
    QString resources;
};

// Set once at start-up from the command line (and by tests); read everywhere.
Chosen& chosen()
{
    static Chosen folders;
    return folders;
}

QString executableFolder()
{
    return QCoreApplication::applicationDirPath();
}

} // namespace

bool isPortableProgram()
{
    return QFileInfo::exists(QDir(executableFolder()).filePath(u"tradevane.portable"_qs));
}

QString programFolder()
{
    if (!chosen().data.isEmpty())
        return chosen().data;
    if (isPortableProgram())
        return executableFolder();
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString programFile(const QString& name)
{
    return QDir(programFolder()).filePath(name);
}

QString resourceFile(const QString& name)
{
    QString folder = chosen().resources;
    if (folder.isEmpty())
        folder = isPortableProgram()
            ? executableFolder()
            : QDir::cleanPath(
                QDir(executableFolder()).filePath(QStringLiteral(TRADEVANE_RESOURCES_FROM_BIN)));
    return QDir(folder).filePath(name);
}

QString prepareDataFolder()
{
    const QString folder = programFolder();
    const auto problem = [&folder](const QString& reason) {
        return u"Tradevane cannot keep its settings and activity log in %1: %2. Make the folder writable, "
               "or start Tradevane with --data and a folder of your own."_qs.arg(
                   QDir::toNativeSeparators(folder), reason);
    };
    if (folder.isEmpty())
        return problem(u"the system names no data folder for this user"_qs);
    // A new data folder is its user's alone; the folders above it are made as the system makes any.
    const QDir dir(folder);
    if (!dir.exists()
        && (!QDir().mkpath(QFileInfo(dir.absolutePath()).absolutePath())
            || !QDir().mkdir(dir.absolutePath(),
                QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner)))
        return problem(u"the folder cannot be created"_qs);
    QTemporaryFile probe(QDir(folder).filePath(u".tradevane-XXXXXX"_qs));
    if (!probe.open())
        return problem(probe.errorString());
    return {};
}

void setDataFolder(const QString& folder)
{
    chosen().data = folder.isEmpty() ? QString() : QDir(folder).absolutePath();
}

void setProgramFolder(const QString& folder)
{
    setDataFolder(folder);
    chosen().resources = chosen().data;
}

} // namespace tradevane
