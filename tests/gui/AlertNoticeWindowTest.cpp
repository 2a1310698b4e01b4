#include "TestSupport.h"

#include "gui/AlertNoticeWindow.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

using namespace tradevane;

namespace {

bool closedWithin(const QPointer<AlertNoticeWindow>& notice, int ms)
{
    return QTest::qWaitFor(
        [&notice] {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return notice.isNull();
        },
        ms);
}

TEST(AlertNotice, ShowsOneOrangeNoticeThatClosesItself)
{
    QPointer<AlertNoticeWindow> kept;
    AlertNoticeWindow* notice = AlertNoticeWindow::showNotice(kept);
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->palette().color(QPalette::Window), QColor(255, 128, 0));
    EXPECT_EQ(notice->findChild<QLabel*>(u"Label1"_qs)->text(), u"ALERT"_qs);
    EXPECT_EQ(notice->findChild<QLabel*>(u"Label2"_qs)->text(), u"Check the Log File for details"_qs);

    // The countdown runs from the moment the notice is up, six seconds long.
    EXPECT_TRUE(notice->alertTimer->isActive());
    EXPECT_EQ(notice->alertTimer->interval(), 6000);

    // A second alert while it is up: the same window, nothing more.
    EXPECT_EQ(AlertNoticeWindow::showNotice(kept), notice);
    int notices = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        notices += qobject_cast<AlertNoticeWindow*>(w) != nullptr && w->isVisible();
    EXPECT_EQ(notices, 1);

    notice->alertTimer->setInterval(50); // restarts the countdown with a short interval
    EXPECT_TRUE(closedWithin(kept, 3000));

    // The next alert opens a fresh notice.
    AlertNoticeWindow* next = AlertNoticeWindow::showNotice(kept);
    ASSERT_NE(next, nullptr);
    next->alertTimer->setInterval(10);
    EXPECT_TRUE(closedWithin(kept, 3000));
}

} // namespace
