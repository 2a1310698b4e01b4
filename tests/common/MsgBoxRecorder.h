#pragma once

#include "platform/MessageBox.h"

#include <QList>

using namespace tradevane;

// Answers the program's message boxes from a queue and records every box shown. A box with no
// queued answer gets its first button (OK or Yes), so no test ever waits on a modal box.
class MsgBoxRecorder
{
public:
    MsgBoxRecorder(); // installs itself
    ~MsgBoxRecorder(); // puts the console boxes back
    MsgBoxRecorder(const MsgBoxRecorder&) = delete;
    MsgBoxRecorder& operator=(const MsgBoxRecorder&) = delete;

    void queueAnswer(MsgResult answer) { m_answers.append(answer); }
    const QList<MsgBoxRequest>& shown() const { return m_shown; }
    int beeps() const { return m_beeps; }
    void clear();

private:
    QList<MsgResult> m_answers;
    QList<MsgBoxRequest> m_shown;
    int m_beeps = 0;
};
