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

    shape1 = new QFrame(this);
    shape1->setObjectName(u"Shape1"_qs);
    shape1->setFrameShape(QFrame::Box);
    shape1->setLineWidth(2);

    label1 = new QLabel(u"ALERT"_qs);
    label1->setObjectName(u"Label1"_qs);
    label1->setAccessibleName(u"ALERT"_qs);
    label1->setAlignment(Qt::AlignCenter);
    QFont big = label1->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.6);
    label1->setFont(big);

    label2 = new QLabel(u"Check the Log File for details"_qs);
    label2->setObjectName(u"Label2"_qs);
    label2->setAccessibleName(u"Check the Log File for details"_qs);
    label2->setAlignment(Qt::AlignCenter);

    auto* inner = new QVBoxLayout(shape1);
    inner->setContentsMargins(10, 4, 10, 6);
    inner->setSpacing(2);
    inner->addWidget(label1);
    inner->addWidget(label2);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(shape1);

    // About 204 by 69 at 96 dots per inch; wider when the system font needs it.
    setMinimumSize(204, 69);
    resize(sizeHint().expandedTo(QSize(204, 69)));

    alertTimer = new QTimer(this);
    alertTimer->setObjectName(u"AlertTimer"_qs);
    alertTimer->setSingleShot(true);
    alertTimer->setTimerType(Qt::PreciseTimer);
    alertTimer->setInterval(kShowMs);
    connect(alertTimer, &QTimer::timeout, this, &AlertNoticeWindow::onAlertTimer);
}

AlertNoticeWindow* AlertNoticeWindow::showNotice(QPointer<AlertNoticeWindow>& notice)
{
    if (!notice) {
        notice = new AlertNoticeWindow;
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            notice->move(screen->availableGeometry().center() - notice->rect().center());
    }
    notice->show();
    notice->raise();
    notice->alertTimer->start(); // a notice shown again stays its full time after the latest alert
    return notice;
}

void AlertNoticeWindow::showEvent(QShowEvent* event)
{
    // The countdown starts when the notice appears, not when it gets the focus: a notice that
    // never became the active window would otherwise stay up for good.
    QWidget::showEvent(event);
    if (!alertTimer->isActive())
        alertTimer->start();
}

void AlertNoticeWindow::onAlertTimer()
{
    alertTimer->stop();
    close();
}

} // namespace tradevane
