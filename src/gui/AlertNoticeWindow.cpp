#include "gui/AlertNoticeWindow.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace tradevane {

namespace {

QPointer<AlertNoticeWindow>& openNotice()
{
    static QPointer<AlertNoticeWindow> notice;
    return notice;
}

const QColor kOrange(255, 128, 0);

} // namespace

AlertNoticeWindow::AlertNoticeWindow()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(u"frmAlertNotice"_qs);
    setAccessibleName(u"ALERT"_qs);
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    QPalette orange = palette();
    orange.setColor(QPalette::Window, kOrange);
    orange.setColor(QPalette::WindowText, Qt::black);
    setPalette(orange);

    Shape1 = new QFrame(this);
    Shape1->setObjectName(u"Shape1"_qs);
    Shape1->setFrameShape(QFrame::Box);
    Shape1->setLineWidth(2);

    Label1 = new QLabel(u"ALERT"_qs);
    Label1->setObjectName(u"Label1"_qs);
    Label1->setAccessibleName(u"ALERT"_qs);
    Label1->setAlignment(Qt::AlignCenter);
    QFont big = Label1->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.6);
    Label1->setFont(big);

    Label2 = new QLabel(u"Check the Log File for details"_qs);
    Label2->setObjectName(u"Label2"_qs);
    Label2->setAccessibleName(u"Check the Log File for details"_qs);
    Label2->setAlignment(Qt::AlignCenter);

    auto* inner = new QVBoxLayout(Shape1);
    inner->setContentsMargins(10, 4, 10, 6);
    inner->setSpacing(2);
    inner->addWidget(Label1);
    inner->addWidget(Label2);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(Shape1);

    // About 204 by 69 at 96 dots per inch; wider when the system font needs it.
    setMinimumSize(204, 69);
    resize(sizeHint().expandedTo(QSize(204, 69)));

    AlertTimer = new QTimer(this);
    AlertTimer->setObjectName(u"AlertTimer"_qs);
    AlertTimer->setSingleShot(true);
    AlertTimer->setTimerType(Qt::PreciseTimer);
    AlertTimer->setInterval(kShowMs);
    connect(AlertTimer, &QTimer::timeout, this, &AlertNoticeWindow::onAlertTimer);
}

AlertNoticeWindow* AlertNoticeWindow::ShowNotice()
{
    QPointer<AlertNoticeWindow>& notice = openNotice();
    if (!notice) {
        notice = new AlertNoticeWindow;
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            notice->move(screen->availableGeometry().center() - notice->rect().center());
    }
    notice->show();
    notice->raise();
    notice->AlertTimer->start(); // a notice shown again stays its full time after the latest alert
    return notice;
}

AlertNoticeWindow* AlertNoticeWindow::Current()
{
    return openNotice();
}

void AlertNoticeWindow::showEvent(QShowEvent* event)
{
    // The countdown starts when the notice appears, not when it gets the focus: a notice that
    // never became the active window would otherwise stay up for good.
    QWidget::showEvent(event);
    if (!AlertTimer->isActive())
        AlertTimer->start();
}

void AlertNoticeWindow::onAlertTimer()
{
    AlertTimer->stop();
    close();
}

} // namespace tradevane
