#include "TestSupport.h"

#include "core/VarDef.h"
#include "notify/UpdateLog.h"

#include <QDir>
#include <QFile>

namespace {

using ActivityLog = ProgramTest;

TEST_F(ActivityLog, AppendsEndEachTextWithCrLf)
{
    strLogString = u"A"_qs;
    AppendLog();
    strLogString = u"B"_qs;
    AppendLog();
    EXPECT_EQ(readFile(u"activlog.dat"_qs), QByteArray("A\r\nB\r\n"));
    EXPECT_TRUE(strLogString.isEmpty());
}

TEST_F(ActivityLog, EmptyAppendLeavesAMissingFileMissing)
{
    AppendLog();
    EXPECT_FALSE(QFile::exists(path(u"activlog.dat"_qs)));
}

TEST_F(ActivityLog, EraseLeavesOneEmptyLineAndConfirmsOnlyWhenAsked)
{
    strLogString = u"old"_qs;
    AppendLog();
    EraseLog(2);
    EXPECT_EQ(readFile(u"activlog.dat"_qs), QByteArray("\r\n"));
    EXPECT_TRUE(boxes.shown().isEmpty());
    EraseLog(1);
    EXPECT_TRUE(OneBox(boxes.shown(), u"Done !"_qs, u"Log file erased !"_qs));
}

TEST_F(ActivityLog, FailedAppendRetriesOnceThenKeepsTheTextPending)
{
    QDir(folder.path()).mkdir(u"activlog.dat"_qs);
    StockID = 4;
    strLogString = u"lost?"_qs;
    AppendLog();
    EXPECT_TRUE(strLogString.startsWith(u"lost?File Write Error # 4 Log File\r\n"_qs));
    EXPECT_TRUE(strLogString.endsWith(QString(36, u'=') + u"\r\n"_qs));

    QDir(folder.path()).rmdir(u"activlog.dat"_qs);
    AppendLog();
    EXPECT_TRUE(strLogString.isEmpty());
    EXPECT_TRUE(readFile(u"activlog.dat"_qs).startsWith("lost?File Write Error # 4"));
}

TEST_F(ActivityLog, FailedEraseIsNotedAndNotConfirmed)
{
    QDir(folder.path()).mkdir(u"activlog.dat"_qs);
    StockID = 11;
    EraseLog(1);
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_TRUE(strLogString.contains(u"File Erase Error # 11 Log File"_qs));
}

} // namespace
