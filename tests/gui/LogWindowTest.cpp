#include "TestSupport.h"

#include "engine/log/ActivityLog.h"
#include "gui/LogWindow.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace tradevane;

namespace {

using LogWindowTest = ProgramTest;

TEST_F(LogWindowTest, AMissingOrUnreadableLogShowsAnEmptyBox)
{
    LogWindow log(m_app.log, [] { return 1; });
    log.show();
    EXPECT_TRUE(log.txtLog->toPlainText().isEmpty());

    QDir(m_folder.path()).mkdir(u"activlog.dat"_qs);
    log.updateLogForm();
    EXPECT_TRUE(log.logViewText().isEmpty());
    EXPECT_TRUE(log.txtLog->toPlainText().isEmpty());
}

TEST_F(LogWindowTest, ShowsTheFileExactlyAndReloadsWhenShownAgain)
{
    writeFile(u"activlog.dat"_qs, "10:01:02 Quote set #: 1 downloded\r\n***\r\n\xE9t\xE9\r\n");
    LogWindow log(m_app.log, [] { return 1; });
    log.show();
    EXPECT_EQ(log.logViewText(), u"10:01:02 Quote set #: 1 downloded\r\n***\r\n\u00E9t\u00E9\r\n"_qs);
    EXPECT_EQ(log.txtLog->toPlainText(), u"10:01:02 Quote set #: 1 downloded\n***\n\u00E9t\u00E9\n"_qs);

    log.hide();
    m_app.log.add(u"later"_qs);
    m_app.log.appendLog(1);
    log.show();
    EXPECT_TRUE(log.logViewText().endsWith(u"later\r\n"_qs));
}

TEST_F(LogWindowTest, ClearLogAsksFirstAndLeavesOneEmptyLine)
{
    writeFile(u"activlog.dat"_qs, "entry\r\n");
    LogWindow log(m_app.log, [] { return 1; });
    log.show();

    m_boxes.queueAnswer(MsgResult::Cancel);
    log.cmdEraseLog->click();
    EXPECT_TRUE(oneBox(m_boxes.shown(), u"Confirm"_qs, u"Proceed to clear the activity log file ?"_qs));
    EXPECT_EQ(m_boxes.shown()[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(m_boxes.shown()[0].icon, MsgIcon::Question);
    EXPECT_EQ(readFile(u"activlog.dat"_qs), QByteArray("entry\r\n"));
    EXPECT_EQ(log.txtLog->toPlainText(), u"entry\n"_qs);

    m_boxes.clear();
    log.cmdEraseLog->click(); // answered OK
    ASSERT_EQ(m_boxes.shown().size(), 2);
    EXPECT_EQ(m_boxes.shown()[1].title, u"Done !"_qs);
    EXPECT_TRUE(log.txtLog->toPlainText().isEmpty());
    EXPECT_EQ(readFile(u"activlog.dat"_qs), QByteArray("\r\n"));

    log.updateLogForm(); // shown again: one empty line
    EXPECT_EQ(log.logViewText(), u"\r\n"_qs);
    EXPECT_EQ(log.txtLog->document()->blockCount(), 2);
}

} // namespace
