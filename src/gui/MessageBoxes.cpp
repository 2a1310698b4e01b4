#include "gui/MessageBoxes.h"

#include "platform/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace tradevane {

namespace {

QMessageBox::Icon toIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

MsgResult showBox(const MsgBoxRequest& request)
{
    QMessageBox box(toIcon(request.icon), request.title, QString(request.text).replace(u"\r\n"_qs, u"\n"_qs));
    // A box may quote a server or a file: its text is never markup.
    box.setTextFormat(Qt::PlainText);
    switch (request.buttons) {
    case MsgButtons::OkOnly:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgButtons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MsgButtons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok:
        return MsgResult::Ok;
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    default:
        // Escape on a box without Cancel.
        return request.buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
    }
}

} // namespace

void installWidgetMessageBoxes()
{
    setMsgBoxPresenter(showBox);
    setBeepPlayer([] { QApplication::beep(); });
}

} // namespace tradevane
