#pragma once

#include "widgets/SettingsWindowFixture.h"

#include "gui/ChannelsWindow.h"

using namespace tradevane;

// The channels window as the main window makes it. Its save waits for the desktop keyring (or
// for finding there is none) before it writes channels.ini; save() waits with it.
class ChannelsWindowFixture : public SettingsWindowFixture<ChannelsWindow>
{
protected:
    ChannelsWindowFixture()
        : SettingsWindowFixture(u"Channel"_qs)
    { }

    std::unique_ptr<ChannelsWindow> create() override
    {
        return std::make_unique<ChannelsWindow>(
            m_app.settings, m_app.channels, m_app.log, m_app.keyring, m_app.channelTokens, 3);
    }

    // Save, with the save question answered `answer`; the boxes shown after the question.
    QList<MsgBoxRequest> save(MsgResult answer = MsgResult::Yes)
    {
        QList<MsgBoxRequest> shown = SettingsWindowFixture::save(answer);
        if (m_window->saving()) {
            EXPECT_TRUE(runUntil([this] { return !m_window->saving(); }, 20000));
            shown = m_boxes.shown().mid(1);
        }
        return shown;
    }
};
