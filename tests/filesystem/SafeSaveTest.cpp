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

extern QString gSmallFileSystem;

namespace {

class SafeSave : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir(gSmallFileSystem).mkpath(u"data"_qs));
        setProgramFolder(data());
        m_saved.startHour = 9;
        m_saved.startMinute = 30;
        m_saved.quoteInterval = 5;
        ASSERT_TRUE(writeTimeSettings(m_saved).ok());
        m_log.add(u"first record"_qs);
        m_log.appendLog(1);
    }
    void TearDown() override
    {
        PrivateMount::setReadOnly(gSmallFileSystem, false);
        QDir(data()).removeRecursively();
        QFile::remove(filler());
        setProgramFolder({});
    }

    static QString data() { return gSmallFileSystem + u"/data"_qs; }
    static QString filler() { return gSmallFileSystem + u"/filler"_qs; }
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

    TimeSettings m_saved;
    ActivityLog m_log;
    const QByteArray m_logBefore = "first record\r\n";
};

TEST_F(SafeSave, AFullDiskKeepsThePreviousSettingsAndTheLogWaitsForSpace)
{
    const QStringList before = filesLeft();
    fillUp();

    TimeSettings changed = m_saved;
    changed.startHour = 10;
    const FileError error = writeTimeSettings(changed);
    EXPECT_EQ(error.number, 61);
    EXPECT_TRUE(fileErrorMessage(error, {}).startsWith(u"FILE ERROR:61 :No space left on device"_qs))
        << error.description.toStdString();
    TimeSettings read;
    ASSERT_TRUE(readTimeSettings(read).ok());
    EXPECT_EQ(read.startHour, 9);
    EXPECT_EQ(read.startMinute, 30);
    EXPECT_EQ(filesLeft(), before); // no half-written file beside it

    // The log takes nothing cut short; the record and the note about it wait.
    m_log.add(QString(8000, u'x'));
    m_log.appendLog(3);
    EXPECT_EQ(contents(logFilePath()), m_logBefore);
    EXPECT_TRUE(m_log.pending().contains(u"File Write Error # 3 Log File"_qs))
        << m_log.pending().toStdString();

    ASSERT_TRUE(QFile::remove(filler()));
    m_log.appendLog(3);
    EXPECT_TRUE(m_log.pending().isEmpty());
    const QByteArray after = contents(logFilePath());
    EXPECT_TRUE(after.startsWith(QByteArray(m_logBefore + QByteArray(8000, 'x'))));
    EXPECT_EQ(after.count(QByteArray(8000, 'x')), 1);
    EXPECT_TRUE(writeTimeSettings(changed).ok());
}

TEST_F(SafeSave, AReadOnlyFolderIsNamedAndNothingChanges)
{
    ASSERT_TRUE(PrivateMount::setReadOnly(gSmallFileSystem, true));
    const QByteArray settingsBefore = contents(timeSettingsPath());

    TimeSettings changed = m_saved;
    changed.quoteInterval = 15;
    const FileError error = writeTimeSettings(changed);
    EXPECT_FALSE(error.ok());
    EXPECT_TRUE(error.description.contains(u"Read-only"_qs)) << error.description.toStdString();
    EXPECT_EQ(contents(timeSettingsPath()), settingsBefore);

    m_log.add(u"second record"_qs);
    m_log.appendLog(2);
    EXPECT_EQ(contents(logFilePath()), m_logBefore);
    EXPECT_TRUE(m_log.pending().startsWith(u"second record"_qs));

    // A missing servers.ini cannot be written: the defaults stay in use and the log says why.
    ServerSettings servers;
    loadServerSettings(servers, m_log);
    EXPECT_EQ(servers.quoteServer, defaultServerSettings().quoteServer);

    // Started on such a folder, the program refuses with the folder's name.
    const QString problem = prepareDataFolder();
    EXPECT_TRUE(problem.contains(data())) << problem.toStdString();

    ASSERT_TRUE(PrivateMount::setReadOnly(gSmallFileSystem, false));
    m_log.appendLog(2);
    EXPECT_TRUE(contents(logFilePath()).startsWith(QByteArray(m_logBefore + "second record")));
    EXPECT_TRUE(prepareDataFolder().isEmpty());
}

} // namespace
