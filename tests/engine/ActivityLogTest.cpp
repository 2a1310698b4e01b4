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
    QSignalSpy records(&app.log, &ActivityLog::appended);
    app.log.add(u"A"_qs);
    app.log.AppendLog(1);
    app.log.add(u"B"_qs);
    app.log.add(u"C"_qs);
    app.log.AppendLog(1);
    EXPECT_EQ(readFile(u"activlog.dat"_qs), QByteArray("A\r\nBC\r\n"));
    EXPECT_TRUE(app.log.pending().isEmpty());
    ASSERT_EQ(records.size(), 2);
    EXPECT_EQ(records[1][0].toString(), u"BC"_qs);

    app.log.AppendLog(1); // nothing pending: nothing written
    EXPECT_EQ(records.size(), 2);
}

TEST_F(Log, EmptyAppendLeavesAMissingFileMissing)
{
    app.log.AppendLog(1);
    EXPECT_FALSE(QFile::exists(path(u"activlog.dat"_qs)));
}

TEST_F(Log, EraseLeavesOneEmptyLineAndConfirmsOnlyWhenAsked)
{
    app.log.add(u"old"_qs);
    app.log.AppendLog(1);
    app.log.add(u"pending"_qs);
    app.log.EraseLog(1);
    EXPECT_EQ(readFile(u"activlog.dat"_qs), QByteArray("\r\n"));
    EXPECT_TRUE(app.log.pending().isEmpty());
    EXPECT_TRUE(boxes.shown().isEmpty());
    app.log.EraseLog(1, true);
    EXPECT_TRUE(OneBox(boxes.shown(), u"Done !"_qs, u"Log file erased !"_qs));
}

TEST_F(Log, FailedAppendRetriesOnceThenKeepsTheTextPending)
{
    QDir(folder.path()).mkdir(u"activlog.dat"_qs);
    app.log.add(u"lost?"_qs);
    app.log.AppendLog(4);
    EXPECT_TRUE(app.log.pending().startsWith(u"lost?File Write Error # 4 Log File\r\n"_qs));
    EXPECT_TRUE(app.log.pending().endsWith(QString(36, u'=') + u"\r\n"_qs));

    QDir(folder.path()).rmdir(u"activlog.dat"_qs);
    app.log.AppendLog(4);
    EXPECT_TRUE(app.log.pending().isEmpty());
    EXPECT_TRUE(readFile(u"activlog.dat"_qs).startsWith("lost?File Write Error # 4"));
}

TEST_F(Log, FailedEraseIsNotedAndNotConfirmed)
{
    QDir(folder.path()).mkdir(u"activlog.dat"_qs);
    app.log.EraseLog(11, true);
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_TRUE(app.log.pending().contains(u"File Erase Error # 11 Log File"_qs));
}

} // namespace
