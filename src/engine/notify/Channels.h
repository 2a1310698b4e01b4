#pragma once

#include "engine/model/AlertMessage.h"
#include "engine/settings/ChannelSettings.h"
#include "platform/HttpPost.h"
#include "platform/Pending.h"

#include <QString>

#include <functional>
#include <memory>

namespace tradevane {

class ActivityLog;
class TransferHub;

// What a channel is sent: a title, the alert lines as one text, and the lines one by one.
struct ChannelMessage
{
    QString title;
    QString text; // lines separated by LF
    QList<AlertItem> alerts;
};

inline const QString kChannelTitle = QStringLiteral("Tradevane alert");
inline const QString kTelegramApiServer = QStringLiteral("https://api.telegram.org");

// The alert lines of a composed message (the header stays in the log and the mail).
ChannelMessage channelMessageOf(const AlertMessage& message);
// What "Send test" sends.
ChannelMessage channelTestMessage();

// ntfy and Telegram show at most about 4096 characters of a message: longer texts keep their
// first lines and say how many were left out.
constexpr qsizetype kMaxPushBytes = 4000;
QString fitPushText(const QString& text, qsizetype maxBytes = kMaxPushBytes);

// The HTTP request one channel gets for `message`; `problem` names a setting that makes it
// impossible (no topic, a bot token that is no token, ...).
struct ChannelRequest
{
    HttpPostRequest post;
    QString problem;
};
ChannelRequest ntfyRequest(const NtfySettings& settings, const ChannelMessage& message);
ChannelRequest telegramRequest(
    const TelegramSettings& settings, const ChannelMessage& message, const QString& apiServer);
ChannelRequest webhookRequest(const WebhookSettings& settings, const ChannelMessage& message);

// The outcome of one channel's send: ok, or why not (never a token).
struct ChannelResult
{
    bool ok = false;
    QString error;
};

// The sender of the phone channels: one POST per channel on the transfer hub. Its limits are
// those of every channel: connecting may take 10 s, the whole exchange 30 s, up to 3 redirects to
// the same server, certificates verified. Only a 2xx answer counts as delivered, and from ntfy and
// Telegram only their own confirmation.
class ChannelSender
{
public:
    explicit ChannelSender(TransferHub& hub)
        : m_hub(hub)
    { }
    ChannelSender(const ChannelSender&) = delete;
    ChannelSender& operator=(const ChannelSender&) = delete;

    HttpPostLimits limits;
    // Where the Telegram Bot API is; tests point it at a loopback server.
    QString telegramServer = kTelegramApiServer;

    // Sends `message` to `channel` as `settings` describe it (switched on or not); `done` hears
    // from the event loop how it went. Cancelling what it returns reports "sending cancelled".
    [[nodiscard]] std::unique_ptr<Pending> send(Channel channel, const ChannelSettings& settings,
        const ChannelMessage& message, std::function<void(const ChannelResult&)> done);

private:
    TransferHub& m_hub;
};

// Sends `message` to `channel` and, when it ends, writes one line to the activity log: the time the
// send began followed by " ntfy message sent." or " ntfy message failed: " and the reason (the
// same for Telegram and Webhook). `number` is the stock number the log's own notes name.
[[nodiscard]] std::unique_ptr<Pending> sendToChannelLogged(Channel channel, const ChannelSettings& settings,
    const ChannelMessage& message, ChannelSender& sender, ActivityLog& log, int number,
    std::function<void(const ChannelResult&)> done);

// Hands the alert lines of `message` to every channel that is on, all at once, each logging its own
// line; `done` runs once the last has ended. Nothing (and `done` never runs) when no channel is on.
// Cancelling what it returns cancels every send still running: each logs its failure line.
[[nodiscard]] std::unique_ptr<Pending> sendAlertToChannels(const AlertMessage& message,
    const ChannelSettings& settings, ChannelSender& sender, ActivityLog& log, int number,
    std::function<void()> done);

} // namespace tradevane
