#pragma once

#include "engine/settings/ChannelSettings.h"
#include "platform/Keyring.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace tradevane {

class ActivityLog;
class SettingsStore;

// The keyring's key for the token of `channel` ("ntfy token", "Telegram bot token", "Webhook
// header value"), followed by the data folder, so that two data folders never share a token.
QString channelTokenKey(Channel channel);

// Puts the tokens of `settings` into the keyring: a channel's token is written, a channel without
// one has its old entry removed. `done` hears Ok once all three are done, or the first failure
// (nothing more is tried then); the caller keeps the tokens in channels.ini in that case.
[[nodiscard]] std::unique_ptr<Pending> storeChannelTokens(
    const Keyring& keyring, const ChannelSettings& settings, std::function<void(const KeyringResult&)> done);

// Reads at start-up the tokens channels.ini says are in the keyring into the settings' channels,
// without holding anything up: until its token has arrived a channel sends nothing. A token that
// cannot be read leaves its channel silent, with one line in the activity log.
class ChannelTokenLoader : public QObject
{
    Q_OBJECT
public:
    ChannelTokenLoader(const Keyring& keyring, SettingsStore& settings, ActivityLog& log);
    ~ChannelTokenLoader() override;

    // Reads every token marked unread in the settings' channels; a read still running is dropped.
    void start();
    bool busy() const { return m_pending != nullptr; }

signals:
    // The last token has been read or given up; the settings' channels hold what arrived.
    void finished();

private:
    void next();

    const Keyring& m_keyring;
    SettingsStore& m_settings;
    ActivityLog& m_log;
    std::unique_ptr<Pending> m_pending;
    std::vector<Channel> m_queue;
};

} // namespace tradevane
