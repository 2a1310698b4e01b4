#pragma once

#include "engine/log/ActivityLog.h"
#include "engine/notify/Channels.h"
#include "engine/notify/SoundPlayer.h"
#include "engine/session/MonitoringSession.h"
#include "engine/settings/KeyringSecrets.h"
#include "engine/settings/SettingsStore.h"
#include "platform/HttpFetch.h"
#include "platform/SmtpClient.h"
#include "platform/TransferHub.h"

namespace tradevane {

// Everything the program runs on, built once in main() and handed to the windows: the transfer
// hub first, the monitoring engine last, so that the engine goes first when the program ends.
class AppServices
{
public:
    // `sound` plays the wave files; none gives only the system's default sound.
    explicit AppServices(WavPlayer sound = {});
    AppServices(const AppServices&) = delete;
    AppServices& operator=(const AppServices&) = delete;

    TransferHub hub;
    SettingsStore settings;
    ActivityLog log;
    // The desktop keyring, and the start-up reading of the channel tokens kept there.
    Keyring keyring;
    SecretLoader secrets {keyring, settings, log};

    // What every quote and history download goes through (`InetQuotes`).
    HttpFetcher fetcher {hub};
    // What every alert and test mail leaves through (`SMTP1`).
    SmtpClient smtp {hub};
    // What every alert and test message to ntfy, Telegram or a webhook goes through.
    ChannelSender channels {hub};

    SoundPlayer sound;
    MonitoringSession engine;
};

} // namespace tradevane
