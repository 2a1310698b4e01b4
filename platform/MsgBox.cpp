#include "platform/MsgBox.h"

#include <QTextStream>

namespace {

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

MsgBoxRecorder::MsgBoxRecorder()
    : m_previous(presenter())
    , m_previousBeep(beepPlayer())
{
    presenter() = [this](const MsgBoxRequest& request) {
        m_shown.append(request);
        return m_answers.isEmpty() ? firstButton(request.buttons) : m_answers.takeFirst();
    };
    beepPlayer() = [this] { ++m_beeps; };
}

MsgBoxRecorder::~MsgBoxRecorder()
{
    presenter() = m_previous;
    beepPlayer() = m_previousBeep;
}

void MsgBoxRecorder::clear()
{
    m_answers.clear();
    m_shown.clear();
    m_beeps = 0;
}
