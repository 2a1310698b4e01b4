#include "platform/MessageBox.h"

#include <QTextStream>

namespace tradevane {

MsgResult firstButton(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::YesNoCancel:
    case MsgButtons::YesNo:
        return MsgResult::Yes;
    case MsgButtons::OkOnly:
    case MsgButtons::OkCancel:
        break;
    }
    return MsgResult::Ok;
}

namespace {

MsgResult consolePresenter(const MsgBoxRequest& request)
{
    QTextStream err(stderr);
    err << request.title << u": " << request.text << Qt::endl;
    return firstButton(request.buttons);
}

MsgBoxPresenter& presenter()
{
    static MsgBoxPresenter current = consolePresenter;
    return current;
}

BeepPlayer& beepPlayer()
{
    static BeepPlayer current = [] {};
    return current;
}

} // namespace

MsgResult msgBox(const QString& text, MsgButtons buttons, const QString& title, MsgIcon icon)
{
    return presenter()(MsgBoxRequest {text, buttons, icon, title});
}

QString joinLines(const QStringList& lines)
{
    return lines.join(u"\r\n");
}

void beep()
{
    beepPlayer()();
}

void setMsgBoxPresenter(MsgBoxPresenter p)
{
    presenter() = p ? std::move(p) : MsgBoxPresenter(consolePresenter);
}

void setBeepPlayer(BeepPlayer player)
{
    beepPlayer() = player ? std::move(player) : BeepPlayer([] {});
}

} // namespace tradevane
