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
// The keyring's key for the mail password: "Mail password - " and the data folder.
QString mailPasswordKey();

// Puts the tokens of `settings` into the keyring: a channel's token is written, a channel without
// one has its old entry removed. `done` hears Ok once all three are done, or the first failure
// (nothing more is tried then); the caller keeps the tokens in channels.ini in that case.
[[nodiscard]] std::unique_ptr<Pending> storeChannelTokens(
    const Keyring& keyring, const ChannelSettings& settings, std::function<void(const KeyringResult&)> done);

// Puts the mail password into the keyring, or removes its entry when `password` is blank; `done`
// hears Ok, or the failure (the caller keeps the password in mailset.dat then).
[[nodiscard]] std::unique_ptr<Pending> storeMailPassword(
    const Keyring& keyring, const QString& password, std::function<void(const KeyringResult&)> done);

// Reads at start-up the secrets the settings files say are in the keyring (the channel tokens of
// channels.ini, the mail password of mailset.dat) into the settings, without holding anything up.
// A secret that cannot be read is left unread, with one line in the activity log: its channel
// sends nothing, and alert mail that needs the password fails with a logged reason, until the
// settings are saved again.
class SecretLoader : public QObject
{
    Q_OBJECT
public:
    SecretLoader(const Keyring& keyring, SettingsStore& settings, ActivityLog& log);
    ~SecretLoader() override;

    // Reads every secret marked unread in the settings; a read still running is dropped.
    void start();
    bool busy() const { return m_pending != nullptr; }

    // Runs `then` from the event loop once the reading has ended (at once when it has). Cancelled
    // or destroyed, the wait ends silently, like an alarm.
    [[nodiscard]] std::unique_ptr<Pending> whenDone(std::function<void()> then);

signals:
    // The last secret has been read or given up; the settings hold what arrived.
    void finished();

private:
    struct Read
    {
        QString key;
        std::function<void(const QString&)> arrived;
        QString unreadNote; // the log line's beginning when it does not arrive
    };

    void next();

    const Keyring& m_keyring;
    SettingsStore& m_settings;
    ActivityLog& m_log;
    std::unique_ptr<Pending> m_pending;
    std::vector<Read> m_queue;
};

} // namespace tradevane
