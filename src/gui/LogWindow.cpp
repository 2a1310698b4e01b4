#include "gui/LogWindow.h"

#include "engine/log/ActivityLog.h"
#include "gui/FormControls.h"
#include "platform/MessageBox.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tradevane {

LogWindow::LogWindow(ActivityLog& log, std::function<int()> logNumber, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_log(log)
    , m_logNumber(std::move(logNumber))
{
    setObjectName(u"frmLog"_qs);
    setWindowTitle(u"Activity Log"_qs);

    txtLog = new QPlainTextEdit(this);
    txtLog->setObjectName(u"txtLog"_qs);
    txtLog->setAccessibleName(u"Activity log"_qs);
    txtLog->setReadOnly(true);
    txtLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtLog->setFont(QFont(u"Monospace"_qs));

    cmdEraseLog = new QPushButton(this);
    cmdEraseLog->setObjectName(u"cmdEraseLog"_qs);
    cmdEraseLog->setAccessibleName(u"Clear Log"_qs);
    cmdEraseLog->setFixedSize(28, 24);
    lblEraseLog = named<QLabel>(u"Clear Log"_qs, u"lblEraseLog"_qs, this);
    lblEraseLog->setBuddy(cmdEraseLog);

    cmdClose = named<QPushButton>(u"Close"_qs, u"cmdClose"_qs, this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdEraseLog);
    buttons->addWidget(lblEraseLog);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtLog);
    layout->addLayout(buttons);
    resize(640, 420);

    connect(cmdEraseLog, &QPushButton::clicked, this, &LogWindow::onEraseLogClicked);
    connect(cmdClose, &QPushButton::clicked, this, &LogWindow::onCloseClicked);
}

void LogWindow::updateLogForm()
{
    txtLog->clear();
    m_logViewText = readLogFile();
    // The box shows the file's lines as they are; CR LF is one line break on screen.
    txtLog->setPlainText(QString(m_logViewText).replace(u"\r\n"_qs, u"\n"_qs));
    txtLog->moveCursor(QTextCursor::End);
}

void LogWindow::onEraseLogClicked()
{
    if (msgBox(u"Proceed to clear the activity log file ?"_qs, MsgButtons::OkCancel, u"Confirm"_qs,
            MsgIcon::Question)
        != MsgResult::Ok)
        return;
    txtLog->clear();
    m_logViewText.clear();
    m_log.eraseLog(m_logNumber(), true);
}

void LogWindow::onCloseClicked()
{
    emit closedByButton();
    close();
}

bool LogWindow::event(QEvent* event)
{
    // Every activation reloads the file. Showing counts as well: without a window manager a new
    // window is not always activated.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)
        updateLogForm();
    return QWidget::event(event);
}

} // namespace tradevane
