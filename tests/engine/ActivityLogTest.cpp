#include "TestSupport.h"

#include "engine/log/ActivityLog.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

using namespace tradevane;

namespace {

using Log = ProgramTest;

TEST_F(Log, AppendsEndEachRecordWithCrLfAndTellWhatWasWritten)
{
    QSignalSpy records(&m_app.log, &ActivityLog::appended);
    m_app.log.add(u"A"_qs);
    m_app.log.appendLog(1);
    m_app.log.add(u"B"_qs);
    m_app.log.add(u"C"_qs);
    m_app.log.appendLog(1);
    EXPECT_EQ(readFile(u"activlog.dat"_qs), QByteArray("A\r\nBC\r\n"));
    EXPECT_TRUE(m_app.log.pending().isEmpty());
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[1][0].toString(), u"BC"_qs);

    m_app.log.appendLog(1); // nothing pending: nothing written
    EXPECT_EQ(records.size(), 2);
}

TEST_F(Log, TheLogIsReadableByItsOwnerOnlyNewOrOld)
{
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    m_app.log.add(u"A"_qs);
    m_app.log.appendLog(1);
    EXPECT_EQ(QFile::permissions(path(u"activlog.dat"_qs)) & QFile::Permissions(0x7077), ownerOnly);
    ASSERT_TRUE(
        QFile::setPermissions(path(u"activlog.dat"_qs), ownerOnly | QFile::ReadGroup | QFile::ReadOther));
    m_app.log.add(u"B"_qs);
    m_app.log.appendLog(1);
    EXPECT_EQ(QFile::permissions(path(u"activlog.dat"_qs)) & QFile::Permissions(0x7077), ownerOnly);
}

TEST_F(Log, EmptyAppendLeavesAMissingFileMissing)
{
    m_app.log.appendLog(1);
    EXPECT_FALSE(QFile::exists(path(u"activlog.dat"_qs)));
}

TEST_F(Log, EraseLeavesOneEmptyLineAndConfirmsOnlyWhenAsked)
{
    m_app.log.add(u"old"_qs);
    m_app.log.appendLog(1);
    m_app.log.add(u"pending"_qs);
    m_app.log.eraseLog(1);
    EXPECT_EQ(readFile(u"activlog.dat"_qs), QByteArray("\r\n"));
    EXPECT_TRUE(m_app.log.pending().isEmpty());
    EXPECT_TRUE(m_boxes.shown().isEmpty());
    m_app.log.eraseLog(1, true);
    EXPECT_TRUE(oneBox(m_boxes.shown(), u"Done !"_qs, u"Log file erased !"_qs));
}

TEST_F(Log, FailedAppendRetriesOnceThenKeepsTheTextPending)
{
    QDir(m_folder.path()).mkdir(u"activlog.dat"_qs);
    m_app.log.add(u"lost?"_qs);
    m_app.log.appendLog(4);
    EXPECT_TRUE(m_app.log.pending().startsWith(u"lost?File Write Error # 4 Log File\r\n"_qs));
    EXPECT_TRUE(m_app.log.pending().endsWith(QString(36, u'=') + u"\r\n"_qs));

    QDir(m_folder.path()).rmdir(u"activlog.dat"_qs);
    m_app.log.appendLog(4);
    EXPECT_TRUE(m_app.log.pending().isEmpty());
    EXPECT_TRUE(readFile(u"activlog.dat"_qs).startsWith("lost?File Write Error # 4"));
}

TEST_F(Log, FailedEraseIsNotedAndNotConfirmed)
{
    QDir(m_folder.path()).mkdir(u"activlog.dat"_qs);
    m_app.log.eraseLog(11, true);
    EXPECT_TRUE(m_boxes.shown().isEmpty());
    EXPECT_TRUE(m_app.log.pending().contains(u"File Erase Error # 11 Log File"_qs));
}

} // namespace
