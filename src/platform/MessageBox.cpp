#include "platform/MessageBox.h"

#include <QTextStream>

namespace tradevane {

MsgResult FirstButton(MsgButtons buttons)
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
    return FirstButton(request.buttons);
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

MsgResult MsgBox(const QString& text, MsgButtons buttons, const QString& title, MsgIcon icon)
{
    return presenter()(MsgBoxRequest {text, buttons, icon, title});
}

QString JoinLines(const QStringList& lines)
{
    return lines.join(u"\r\n");
}

void Beep()
{
    beepPlayer()();
}

void SetMsgBoxPresenter(MsgBoxPresenter p)
{
    presenter() = p ? std::move(p) : MsgBoxPresenter(consolePresenter);
}

void SetBeepPlayer(BeepPlayer player)
{
    beepPlayer() = player ? std::move(player) : BeepPlayer([] {});
}

} // namespace tradevane
