#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace tradevane {

// The message boxes the program shows: one function for all of them, so that tests can answer
// them ahead and read back every box that was shown.
enum class MsgButtons { OkOnly, OkCancel, YesNoCancel, YesNo };
enum class MsgIcon { None, Question, Exclamation, Information, Critical };
enum class MsgResult { Ok, Cancel, Yes, No };

struct MsgBoxRequest
{
    QString text; // lines joined by CR LF
    MsgButtons buttons = MsgButtons::OkOnly;
    MsgIcon icon = MsgIcon::None;
    QString title;
};

MsgResult msgBox(const QString& text, MsgButtons buttons, const QString& title, MsgIcon icon = MsgIcon::None);

// Joins lines with CR LF, the line break of every message text.
QString joinLines(const QStringList& lines);

// The system's short warning sound (the settings windows beep on a refused save).
void beep();

using MsgBoxPresenter = std::function<MsgResult(const MsgBoxRequest&)>;
using BeepPlayer = std::function<void()>;

// The GUI installs presenters that show real boxes; without one a box is written to standard
// error and answered with its first button.
void setMsgBoxPresenter(MsgBoxPresenter presenter);
void setBeepPlayer(BeepPlayer player);

// The answer a box gets when nobody answers it: its first button (OK or Yes).
MsgResult firstButton(MsgButtons buttons);

} // namespace tradevane
