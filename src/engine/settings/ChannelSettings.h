#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

namespace tradevane {

class ActivityLog;

// The phone channels that get every alert besides the mail, each switched on by itself.
enum class Channel { Ntfy, Telegram, Webhook };
constexpr std::array<Channel, 3> kChannels {Channel::Ntfy, Channel::Telegram, Channel::Webhook};

// "ntfy", "Telegram", "Webhook": how the log and the windows name a channel.
QString channelName(Channel channel);

inline const QString kDefaultNtfyServer = QStringLiteral("https://ntfy.sh");

struct NtfySettings
{
    bool enabled = false;
    QString server = kDefaultNtfyServer;
    QString topic;
    QString token; // an access token; empty: none
};

struct TelegramSettings
{
    bool enabled = false;
    QString botToken;
    QString chatId;
};

enum class WebhookBody { Json, Text };

struct WebhookSettings
{
    bool enabled = false;
    QString url;
    WebhookBody body = WebhookBody::Json;
    QString headerName; // an extra header for a token, such as "Authorization"; empty: none
    QString headerValue;
};

// Where the tokens are kept: in channels.ini, or in the desktop keyring where there is one.
enum class TokenStore { File, Keyring };

// "channels.ini" in the data folder:
//
//   [ntfy]
//   Enabled=1
//   Server=https://ntfy.sh
//   Topic=my-alerts
//   Token=
//   [telegram]
//   Enabled=0
//   BotToken=
//   ChatId=
//   [webhook]
//   Enabled=0
//   Url=
//   Body=json
//   HeaderName=
//   HeaderValue=
//
// It may hold tokens, so it is readable and writable by its owner only. Nothing in the program
// keeps it open: it is read at start-up and replaced whole when the window saves.
//
// When the tokens (Token, BotToken, HeaderValue) went to the desktop keyring, the file says so and
// holds none of them; a channel whose token is in the keyring says that instead of the token:
//
//   [channels]
//   TokenStore=keyring
//   [ntfy]
//   ...
//   Token=
//   TokenInKeyring=1
//
// A file without the [channels] section keeps its tokens itself.
struct ChannelSettings
{
    NtfySettings ntfy;
    TelegramSettings telegram;
    WebhookSettings webhook;
    TokenStore tokenStore = TokenStore::File;
    // A channel whose token is in the keyring but has not been read from it (not yet, or it could
    // not be) sends nothing: never without its token. Not a setting of its own: it is never saved.
    std::array<bool, kChannels.size()> tokenUnread {};

    // Switched on and able to send: its token is not still in the keyring.
    bool isOn(Channel channel) const;
    bool anyOn() const;
};

// The token of `channel`: the ntfy access token, the Telegram bot token, the webhook's header value.
QString& channelToken(ChannelSettings& settings, Channel channel);
const QString& channelToken(const ChannelSettings& settings, Channel channel);

bool operator==(const NtfySettings&, const NtfySettings&);
bool operator==(const TelegramSettings&, const TelegramSettings&);
bool operator==(const WebhookSettings&, const WebhookSettings&);
// The settings as the window shows them: where the tokens are kept is not compared.
bool operator==(const ChannelSettings&, const ChannelSettings&);

QString channelSettingsPath();

// The text of channels.ini for `settings`; with TokenStore::Keyring no token is written, only
// which channels have one in the keyring.
QByteArray channelSettingsText(const ChannelSettings& settings);

// Reads the text of channels.ini; the offending line (or what is wrong) when it is malformed: a
// line that is neither a section, a comment nor key=value, an unknown key of one of the three
// sections, or a switch or body kind of another value. Keys the text does not give keep their
// defaults. A channel whose token is in the keyring is read with an empty token marked unread.
struct ChannelSettingsRead
{
    ChannelSettings settings;
    QString problem; // empty: read
};
ChannelSettingsRead parseChannelSettings(const QString& text);

// Reads channels.ini at start-up. A missing file means every channel is off. An unreadable or
// malformed one is left as it is, every channel is off, and the reason goes to the activity log
// and into the returned text, which the channels window shows when it opens.
[[nodiscard]] QString loadChannelSettings(ChannelSettings& settings, ActivityLog& log);

// Replaces channels.ini whole (a new file renamed over the old one), owner-only; the reason when it
// could not be written.
[[nodiscard]] std::optional<QString> writeChannelSettings(const ChannelSettings& settings);

} // namespace tradevane
