#pragma once

#include "widgets/SettingsWindowFixture.h"

#include "gui/ChannelsWindow.h"

// The channels window as the main window makes it. Its save waits for the desktop keyring (or
// for finding there is none) before it writes channels.ini; save() waits with it.
class ChannelsWindowTest : public SettingsWindowTest<frmChannels>
{
protected:
    ChannelsWindowTest()
        : SettingsWindowTest(u"Channel"_qs)
    { }

    std::unique_ptr<frmChannels> create() override
    {
        return std::make_unique<frmChannels>(
            app.settings, app.channels, app.log, app.keyring, app.channelTokens, 3);
    }

    // Save, with the save question answered `answer`; the boxes shown after the question.
    QList<MsgBoxRequest> save(MsgResult answer = MsgResult::Yes)
    {
        QList<MsgBoxRequest> shown = SettingsWindowTest::save(answer);
        if (window->saving()) {
            EXPECT_TRUE(RunUntil([this] { return !window->saving(); }, 20000));
            shown = boxes.shown().mid(1);
        }
        return shown;
    }
};
