#include "MsgBoxRecorder.h"

MsgBoxRecorder::MsgBoxRecorder()
{
    SetMsgBoxPresenter([this](const MsgBoxRequest& request) {
        m_shown.append(request);
        return m_answers.isEmpty() ? FirstButton(request.buttons) : m_answers.takeFirst();
    });
    SetBeepPlayer([this] { ++m_beeps; });
}

MsgBoxRecorder::~MsgBoxRecorder()
{
    SetMsgBoxPresenter({});
    SetBeepPlayer({});
}

void MsgBoxRecorder::clear()
{
    m_answers.clear();
    m_shown.clear();
    m_beeps = 0;
}
