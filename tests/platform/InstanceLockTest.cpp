#include "TestSupport.h"

#include "platform/InstanceLock.h"
#include "platform/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>

using namespace tradevane;

namespace {

TEST(InstanceLock, OneProgramPerDataFolderAndACrashedOneIsTakenOver)
{
    QTemporaryDir folder;
    {
        const InstanceLock first(folder.path());
        ASSERT_TRUE(first.acquired());
        const InstanceLock second(folder.path());
        EXPECT_FALSE(second.acquired());
        const QString text = second.refusalText();
        EXPECT_TRUE(text.contains(u"already running"_qs)) << text.toStdString();
        EXPECT_TRUE(text.contains(folder.path()));
        EXPECT_TRUE(text.contains(QString::number(QCoreApplication::applicationPid())));
        // The file to delete when the lock comes from another computer.
        EXPECT_TRUE(text.contains(
            u"delete the lock file "_qs + QDir(folder.path()).absoluteFilePath(u"tradevane.lock"_qs)))
            << text.toStdString();

        QTemporaryDir other;
        EXPECT_TRUE(InstanceLock(other.path()).acquired());
    }
    EXPECT_TRUE(InstanceLock(folder.path()).acquired());

    // A lock whose holder has gone (its process ended without unlocking).
    const QString lockPath = QDir(folder.path()).filePath(u"tradevane.lock"_qs);
    QByteArray content;
    {
        QLockFile lock(lockPath);
        ASSERT_TRUE(lock.tryLock(0));
        QFile file(lockPath);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        content = file.readAll();
    }
    QProcess ended;
    ended.start(u"true"_qs, {});
    ASSERT_TRUE(ended.waitForFinished());
    const qint64 gone = ended.processId() != 0 ? ended.processId() : 999999;
    content.replace(0, content.indexOf('\n'), QByteArray::number(gone));
    QFile left(lockPath);
    ASSERT_TRUE(left.open(QIODevice::WriteOnly));
    left.write(content);
    left.close();
    EXPECT_TRUE(InstanceLock(folder.path()).acquired());
}

TEST(DataFolder, IsCreatedWhenMissingAndAnUnusableOneIsNamed)
{
    QTemporaryDir base;
    const QString nested = QDir(base.path()).filePath(u"a/b/tradevane"_qs);
    setDataFolder(nested);
    EXPECT_EQ(prepareDataFolder(), QString());
    EXPECT_TRUE(QDir(nested).exists());
    // Its user's alone.
    EXPECT_EQ(QFile::permissions(nested) & QFile::Permissions(0x7077),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QFile blocker(QDir(base.path()).filePath(u"file"_qs));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString impossible = blocker.fileName() + u"/data"_qs;
    setDataFolder(impossible);
    const QString problem = prepareDataFolder();
    EXPECT_TRUE(problem.contains(impossible)) << problem.toStdString();
    EXPECT_TRUE(problem.contains(u"--data"_qs));
    setDataFolder({});
}

} // namespace
