#pragma once

#include <QList>
#include <QString>

#include <functional>

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

MsgResult MsgBox(const QString& text, MsgButtons buttons, const QString& title, MsgIcon icon = MsgIcon::None);

// Joins lines with CR LF, the line break of every message text.
QString JoinLines(const QStringList& lines);

// The system's short warning sound (the settings windows beep on a refused save).
void Beep();

using MsgBoxPresenter = std::function<MsgResult(const MsgBoxRequest&)>;
using BeepPlayer = std::function<void()>;

// The GUI installs presenters that show real boxes; without one a box is written to standard
// error and answered with its first button.
void SetMsgBoxPresenter(MsgBoxPresenter presenter);
void SetBeepPlayer(BeepPlayer player);

// Test seam: answers queued ahead, boxes recorded as shown. A box with no queued answer gets
// its first button (OK or Yes), so no test ever waits on a modal box.
class MsgBoxRecorder
{
public:
    MsgBoxRecorder(); // installs itself
    ~MsgBoxRecorder(); // restores the previous presenter

    void queueAnswer(MsgResult answer) { m_answers.append(answer); }
    const QList<MsgBoxRequest>& shown() const { return m_shown; }
    int beeps() const { return m_beeps; }
    void clear();

private:
    MsgBoxPresenter m_previous;
    BeepPlayer m_previousBeep;
    QList<MsgResult> m_answers;
    QList<MsgBoxRequest> m_shown;
    int m_beeps = 0;
};
