#include "TestSupport.h"

#include "notify/frmAlertNotice.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

namespace {

void waitUntilClosed(int ms)
{
    QElapsedTimer waited;
    waited.start();
    while (frmAlertNotice::Current() && waited.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST(AlertNotice, ShowsOneOrangeNoticeThatClosesItself)
{
    frmAlertNotice* notice = frmAlertNotice::ShowNotice();
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_TRUE(notice->windowTitle().isEmpty());
    EXPECT_EQ(notice->palette().color(QPalette::Window), QColor(255, 128, 0));
    EXPECT_EQ(notice->findChild<QLabel*>(u"Label1"_qs)->text(), u"ALERT"_qs);
    EXPECT_EQ(notice->findChild<QLabel*>(u"Label2"_qs)->text(), u"Check the Log File for details"_qs);
    EXPECT_GE(notice->width(), 204);
    EXPECT_GE(notice->height(), 69);

    // The countdown runs from the moment the notice is up, six seconds long.
    QTimer* timer = notice->findChild<QTimer*>(u"AlertTimer"_qs);
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 6000);

    // A second alert while it is up: the same window, nothing more.
    EXPECT_EQ(frmAlertNotice::ShowNotice(), notice);
    EXPECT_EQ(QApplication::topLevelWidgets().count(notice), 1);
    int notices = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        notices += qobject_cast<frmAlertNotice*>(w) != nullptr && w->isVisible();
    EXPECT_EQ(notices, 1);

    timer->setInterval(50); // restarts the countdown with a short interval
    waitUntilClosed(3000);
    EXPECT_EQ(frmAlertNotice::Current(), nullptr);

    // The next alert opens a fresh notice.
    frmAlertNotice* next = frmAlertNotice::ShowNotice();
    ASSERT_NE(next, nullptr);
    next->AlertTimer->setInterval(10);
    waitUntilClosed(3000);
    EXPECT_EQ(frmAlertNotice::Current(), nullptr);
}

} // namespace
