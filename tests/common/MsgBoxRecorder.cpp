#include "MsgBoxRecorder.h"

MsgBoxRecorder::MsgBoxRecorder()
{
    setMsgBoxPresenter([this](const MsgBoxRequest& request) {
        m_shown.append(request);
        return m_answers.isEmpty() ? firstButton(request.buttons) : m_answers.takeFirst();
    });
    setBeepPlayer([this] { ++m_beeps; });
}

MsgBoxRecorder::~MsgBoxRecorder()
{
    setMsgBoxPresenter({});
    setBeepPlayer({});
}

void MsgBoxRecorder::clear()
{
    m_answers.clear();
    m_shown.clear();
    m_beeps = 0;
}
