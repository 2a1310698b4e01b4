#include "TestSupport.h"
#include "widgets/WebOpenerRecorder.h"

#include "gui/AboutWindow.h"
#include "gui/HelpMarker.h"
#include "platform/Version.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <memory>

using namespace tradevane;

namespace {

class AboutWindowTest : public ProgramTest
{
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        m_window = std::make_unique<AboutWindow>();
    }
    void clickLink() const { m_window->findChild<ClickLabel*>(u"lblHyperlink"_qs)->click(); }

    WebOpenerRecorder m_browser;
    std::unique_ptr<AboutWindow> m_window;
};

} // namespace

TEST_F(AboutWindowTest, ShowsTheWebAddress)
{
    const QString link = m_window->findChild<ClickLabel*>(u"lblHyperlink"_qs)->text();
    EXPECT_TRUE(kWebSite.endsWith(link)) << link.toStdString();
}

TEST_F(AboutWindowTest, TheLinkAsksFirstAndOpensTheHomePageOnlyOnOk)
{
    m_boxes.queueAnswer(MsgResult::Cancel);
    clickLink();
    EXPECT_TRUE(oneBox(m_boxes.shown(), u"Confirm active connection"_qs,
        u"About to hyperlink to the Tradevane web site.\r\nIs your network or modem now online and active ?"_qs));
    EXPECT_EQ(m_boxes.shown()[0].buttons, MsgButtons::OkCancel);
    EXPECT_TRUE(m_browser.opened().isEmpty()) << "Cancel opens nothing";

    m_boxes.queueAnswer(MsgResult::Ok);
    clickLink();
    EXPECT_EQ(m_boxes.shown().size(), 2);
    ASSERT_EQ(m_browser.opened().size(), 1);
    EXPECT_EQ(m_browser.opened().first(), QUrl(kWebSite));
}

TEST_F(AboutWindowTest, ABrowserThatCannotBeStartedIsReported)
{
    m_browser.setResult(false);
    m_boxes.queueAnswer(MsgResult::Ok);
    clickLink();
    ASSERT_EQ(m_boxes.shown().size(), 2);
    EXPECT_TRUE(m_boxes.shown().last().text.contains(kWebSite)) << "the user can type the address instead";
    EXPECT_EQ(m_boxes.shown().last().buttons, MsgButtons::OkOnly);
}

TEST_F(AboutWindowTest, OkHidesTheModalWindowWhichStaysLoaded)
{
    QWidget owner;
    owner.show();
    QPointer<AboutWindow> kept;
    AboutWindow* first = showAboutWindow(kept, &owner);
    EXPECT_EQ(QApplication::activeModalWidget(), first) << "modal, and shown without waiting for it";
    first->findChild<QPushButton*>(u"cmdOk"_qs)->click();
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(showAboutWindow(kept, &owner), first) << "hidden, not unloaded";
    EXPECT_TRUE(first->isVisible());
}
