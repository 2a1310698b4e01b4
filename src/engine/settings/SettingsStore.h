#pragma once

#include "engine/model/Settings.h"
#include "engine/model/StockState.h"
#include "engine/settings/CalendarSettings.h"
#include "engine/settings/ChannelSettings.h"
#include "engine/settings/Preferences.h"
#include "engine/settings/ServerSettings.h"
#include "engine/settings/SourceSettings.h"

#include <array>
#include <functional>

namespace tradevane {

// Every setting of the program as it was loaded at start-up and saved since: the ten alert
// records, the time, mail and sound records, the server addresses, the phone channels, the
// calendar choice and the window preferences. The windows that edit a record store it here and
// write its file; the monitoring engine takes its copy at START.
class SettingsStore
{
public:
    std::array<AlertSettings, kStockCount> alerts {};
    TimeSettings time;
    MailSettings mail;
    SoundSettings sound;
    ServerSettings servers = defaultServerSettings();
    SourceSettings source;
    // Whether the user is still to choose the source (a fresh data folder, a damaged source.ini).
    bool askForSource = false;
    Preferences preferences;
    ChannelSettings channels;
    // Why channels.ini could not be used at start-up (every channel is then off); empty when it
    // could, and again once the channels window has saved.
    QString channelsProblem;
    CalendarSettings calendar;

    AlertSettings& alert(StockIndex stock) { return alerts[static_cast<std::size_t>(stock.index())]; }
    const AlertSettings& alert(StockIndex stock) const
    {
        return alerts[static_cast<std::size_t>(stock.index())];
    }

    // Whether alert mail is withheld: while the mail settings window is open, its Disable Email
    // box as currently shown, saved or not; otherwise the stored switch (any value but 0).
    bool emailDisabled() const { return m_shownDisableEmail ? m_shownDisableEmail() : mail.disableEmail; }
    // The open mail settings window registers how to read its box; an empty function when it closes.
    void setShownDisableEmail(std::function<bool()> reader) { m_shownDisableEmail = std::move(reader); }

private:
    std::function<bool()> m_shownDisableEmail;
};

} // namespace tradevane
