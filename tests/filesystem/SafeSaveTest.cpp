// Saving settings and logging on a file system that fills up or turns read-only: the user hears
// why, and nothing already saved is lost or cut short.
#include "PrivateMount.h"

#include "engine/log/ActivityLog.h"
#include "engine/settings/ServerSettings.h"
#include "engine/settings/TimeSettingsFile.h"
#include "platform/ProgramFolder.h"
#include "platform/RecordFile.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace tradevane;

extern QString g_smallFileSystem;

namespace {

class SafeSave : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(g_smallFileSystem).mkpath(u"data"_qs));
        SetProgramFolder(data());
        saved.startHour = 9;
        saved.startMinute = 30;
        saved.quoteInterval = 5;
        ASSERT_TRUE(WriteTimeSettings(saved).ok());
        log.add(u"first record"_qs);
        log.AppendLog(1);
    }
    void TearDown() override
    {
        PrivateMount::SetReadOnly(g_smallFileSystem, false);
        QDir(data()).removeRecursively();
        QFile::remove(filler());
        SetProgramFolder({});
    }

    static QString data() { return g_smallFileSystem + u"/data"_qs; }
    static QString filler() { return g_smallFileSystem + u"/filler"_qs; }
    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }
    // Takes every free byte of the file system.
    static void fillUp()
    {
        QFile file(filler());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'f');
        while (file.write(block) == block.size() && file.flush()) { }
        const QByteArray byte(1, 'f');
        while (file.write(byte) == 1 && file.flush()) { }
    }
    static QStringList filesLeft() { return QDir(data()).entryList(QDir::Files | QDir::Hidden); }

    TimeSettings saved;
    ActivityLog log;
    const QByteArray logBefore = "first record\r\n";
};

TEST_F(SafeSave, AFullDiskKeepsThePreviousSettingsAndTheLogWaitsForSpace)
{
    const QStringList before = filesLeft();
    fillUp();

    TimeSettings changed = saved;
    changed.startHour = 10;
    const FileError error = WriteTimeSettings(changed);
    EXPECT_EQ(error.number, 61);
    EXPECT_TRUE(FileErrorMessage(error, {}).startsWith(u"FILE ERROR:61 :No space left on device"_qs))
        << error.description.toStdString();
    TimeSettings read;
    ASSERT_TRUE(ReadTimeSettings(read).ok());
    EXPECT_EQ(read.startHour, 9);
    EXPECT_EQ(read.startMinute, 30);
    EXPECT_EQ(filesLeft(), before); // no half-written file beside it

    // The log takes nothing cut short; the record and the note about it wait.
    log.add(QString(8000, u'x'));
    log.AppendLog(3);
    EXPECT_EQ(contents(LogFilePath()), logBefore);
    EXPECT_TRUE(log.pending().contains(u"File Write Error # 3 Log File"_qs)) << log.pending().toStdString();

    ASSERT_TRUE(QFile::remove(filler()));
    log.AppendLog(3);
    EXPECT_TRUE(log.pending().isEmpty());
    const QByteArray after = contents(LogFilePath());
    EXPECT_TRUE(after.startsWith(QByteArray(logBefore + QByteArray(8000, 'x'))));
    EXPECT_EQ(after.count(QByteArray(8000, 'x')), 1);
    EXPECT_TRUE(WriteTimeSettings(changed).ok());
}

TEST_F(SafeSave, AReadOnlyFolderIsNamedAndNothingChanges)
{
    ASSERT_TRUE(PrivateMount::SetReadOnly(g_smallFileSystem, true));
    const QByteArray settingsBefore = contents(TimeSettingsPath());

    TimeSettings changed = saved;
    changed.quoteInterval = 15;
    const FileError error = WriteTimeSettings(changed);
    EXPECT_FALSE(error.ok());
    EXPECT_TRUE(error.description.contains(u"Read-only"_qs)) << error.description.toStdString();
    EXPECT_EQ(contents(TimeSettingsPath()), settingsBefore);

    log.add(u"second record"_qs);
    log.AppendLog(2);
    EXPECT_EQ(contents(LogFilePath()), logBefore);
    EXPECT_TRUE(log.pending().startsWith(u"second record"_qs));

    // A missing servers.ini cannot be written: the defaults stay in use and the log says why.
    ServerSettings servers;
    LoadServerSettings(servers, log);
    EXPECT_EQ(servers.QuoteServer, DefaultServerSettings().QuoteServer);

    // Started on such a folder, the program refuses with the folder's name.
    const QString problem = PrepareDataFolder();
    EXPECT_TRUE(problem.contains(data())) << problem.toStdString();

    ASSERT_TRUE(PrivateMount::SetReadOnly(g_smallFileSystem, false));
    log.AppendLog(2);
    EXPECT_TRUE(contents(LogFilePath()).startsWith(QByteArray(logBefore + "second record")));
    EXPECT_TRUE(PrepareDataFolder().isEmpty());
}

} // namespace
