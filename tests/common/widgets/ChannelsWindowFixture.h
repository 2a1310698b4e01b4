#pragma once

#include "widgets/SettingsWindowFixture.h"

#include "gui/ChannelsWindow.h"

using namespace tradevane;

// The channels window as the main window makes it.
class ChannelsWindowFixture : public SettingsWindowFixture<ChannelsWindow>
{
protected:
    ChannelsWindowFixture()
        : SettingsWindowFixture(u"Channel"_qs)
    { }

    std::unique_ptr<ChannelsWindow> create() override
    {
        return std::make_unique<ChannelsWindow>(
            m_app.settings, m_app.channels, m_app.log, m_app.keyring, m_app.secrets, 3);
    }
};
