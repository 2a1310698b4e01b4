#include "engine/notify/Channels.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "platform/Clock.h"
#include "platform/Deferred.h"
#include "platform/ReadableText.h"
#include "platform/SmtpClient.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QUrl>

#include <vector>

namespace tradevane {

namespace {

// An http or https address with a host, without the slashes that may end it; nothing when it is
// not one.
std::optional<QString> webAddress(const QString& text, bool allowQuery)
{
    QString address = text.trimmed();
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != u"http"_qs && url.scheme() != u"https"_qs) || url.host().isEmpty()
        || url.hasFragment() || (!allowQuery && url.hasQuery()))
        return std::nullopt;
    if (!allowQuery) {
        while (address.endsWith(u'/'))
            address.chop(1);
    }
    return address;
}

bool matches(const char16_t* pattern, const QString& text)
{
    return QRegularExpression(QString::fromUtf16(pattern)).match(text).hasMatch();
}

// A token goes only over an encrypted connection, or to this machine (as the mail password does).
bool carriesSecretsSafely(const QString& address)
{
    const QUrl url(address);
    return url.scheme() == u"https"_qs || Smtp::isLoopbackHost(url.host());
}

ChannelRequest refused(const QString& problem)
{
    ChannelRequest request;
    request.problem = problem;
    return request;
}

// What a refusing server says beyond its status, from the JSON answers the channels give.
QString serverSays(const QByteArray& body)
{
    const QJsonObject answer = QJsonDocument::fromJson(body).object();
    for (const char16_t* key : {u"description", u"error", u"message"}) {
        const QJsonValue value = answer.value(QString::fromUtf16(key));
        if (value.isString() && !value.toString().trimmed().isEmpty())
            return value.toString().trimmed();
    }
    return {};
}

ChannelResult judge(Channel channel, const HttpPostResult& r, const QStringList& secrets)
{
    if (!r.ok) {
        QString reason = r.error;
        if (r.status >= 400) {
            if (const QString says = serverSays(r.body); !says.isEmpty())
                reason += u": "_qs + says;
        }
        return {false, readableLine(maskSecrets(reason, secrets))};
    }
    // A 2xx from something in between (a captive portal, a proxy's page) is not a delivery: ntfy
    // and Telegram confirm theirs in JSON.
    const QJsonObject answer = QJsonDocument::fromJson(r.body).object();
    if (channel == Channel::Ntfy && !answer.contains(u"id"_qs))
        return {
            false, QString::number(r.status) + u" but the answer is not an ntfy server's confirmation"_qs};
    if (channel == Channel::Telegram && answer.value(u"ok"_qs).toBool() != true)
        return {false,
            readableLine(
                maskSecrets(QString::number(r.status) + u" but Telegram did not confirm the message"_qs
                        + (serverSays(r.body).isEmpty() ? QString() : u": "_qs + serverSays(r.body)),
                    secrets))};
    return {true, {}};
}

QString sentText(Channel channel)
{
    switch (channel) {
    case Channel::Ntfy:
        return LogText::kNtfySent;
    case Channel::Telegram:
        return LogText::kTelegramSent;
    case Channel::Webhook:
        return LogText::kWebhookSent;
    }
    return {};
}

QString failedText(Channel channel)
{
    switch (channel) {
    case Channel::Ntfy:
        return LogText::kNtfyFailed;
    case Channel::Telegram:
        return LogText::kTelegramFailed;
    case Channel::Webhook:
        return LogText::kWebhookFailed;
    }
    return {};
}

// The sends of one quote set; it ends when the last has.
class ChannelSends final : public Pending
{
public:
    explicit ChannelSends(std::function<void()> done)
        : m_done(std::move(done))
    { }

    ~ChannelSends() override
    {
        m_done = nullptr;
        m_sends.clear(); // silently
    }

    void add(std::unique_ptr<Pending> send)
    {
        ++m_open;
        m_sends.push_back(std::move(send));
    }

    void ended()
    {
        --m_open;
        if (m_open == 0 && !m_cancelling)
            report();
    }

    void cancel() override
    {
        // Each send reports (and logs) its cancellation at once; the end is told after the last.
        m_cancelling = true;
        for (const std::unique_ptr<Pending>& send : m_sends)
            send->cancel();
        m_cancelling = false;
        if (m_open == 0)
            report();
    }

private:
    void report()
    {
        // Runs once; `done` may destroy this, so nothing of it is touched afterwards.
        if (auto done = std::exchange(m_done, nullptr))
            done();
    }

    std::function<void()> m_done;
    std::vector<std::unique_ptr<Pending>> m_sends;
    int m_open = 0;
    bool m_cancelling = false;
};

} // namespace

ChannelMessage channelMessageOf(const AlertMessage& message)
{
    QStringList lines;
    for (const AlertItem& item : message.alerts)
        lines.append(item.line);
    return {kChannelTitle, lines.join(u'\n'), message.alerts};
}

ChannelMessage channelTestMessage()
{
    return {kChannelTitle, u"This is a test message from Tradevane"_qs, {}};
}

QString fitPushText(const QString& text, qsizetype maxBytes)
{
    if (text.toUtf8().size() <= maxBytes)
        return text;
    const QStringList lines = text.split(u'\n');
    QString kept;
    qsizetype taken = 0;
    for (const QString& line : lines) {
        const QString more
            = u"\n("_qs + QString::number(lines.size() - taken - 1) + u" more lines in the activity log)"_qs;
        const QString next = taken == 0 ? line : kept + u'\n' + line;
        if ((next + more).toUtf8().size() > maxBytes)
            break;
        kept = next;
        ++taken;
    }
    const QString rest
        = u"("_qs + QString::number(lines.size() - taken) + u" more lines in the activity log)"_qs;
    if (taken == 0) {
        // Not even the first line fits: as much of it as does.
        QString first = lines.first();
        while (!first.isEmpty() && (first + u"\n"_qs + rest).toUtf8().size() > maxBytes)
            first.chop(1);
        return first + u'\n' + rest;
    }
    return kept + u'\n' + rest;
}

ChannelRequest ntfyRequest(const NtfySettings& s, const ChannelMessage& message)
{
    const std::optional<QString> server = webAddress(s.server, false);
    if (!server)
        return refused(u"the server is not an http or https address"_qs);
    const QString topic = s.topic.trimmed();
    if (topic.isEmpty())
        return refused(u"no topic is set"_qs);
    if (!matches(u"^[-_A-Za-z0-9]{1,64}$", topic))
        return refused(u"the topic may only hold letters, digits, - and _ (at most 64)"_qs);
    const QString token = s.token.trimmed();
    if (!token.isEmpty() && !matches(u"^[\\x21-\\x7e]+$", token))
        return refused(u"the access token holds spaces or characters no token has"_qs);
    if (!token.isEmpty() && !carriesSecretsSafely(*server))
        return refused(u"the access token would travel unencrypted: use an https server"_qs);

    ChannelRequest request;
    HttpPostRequest& post = request.post;
    post.url = *server + u'/' + topic;
    post.headers = {{"Title", message.title.toUtf8()}, {"Priority", "high"},
        {"Content-Type", "text/plain; charset=utf-8"}};
    if (!token.isEmpty())
        post.headers.append({"Authorization", "Bearer " + token.toUtf8()});
    post.body = fitPushText(message.text).toUtf8();
    // On a public server the topic is as good as a password: whoever knows it reads along.
    const QUrl serverUrl(*server);
    post.secrets = {token, topic, serverUrl.userName(), serverUrl.password()};
    return request;
}

ChannelRequest telegramRequest(
    const TelegramSettings& s, const ChannelMessage& message, const QString& apiServer)
{
    const QString token = s.botToken.trimmed();
    if (token.isEmpty())
        return refused(u"no bot token is set"_qs);
    // The token becomes part of the address: anything but its own characters could change where
    // the request goes.
    if (!matches(u"^[0-9]+:[A-Za-z0-9_-]+$", token))
        return refused(u"the bot token is not in the form digits:letters the BotFather gives"_qs);
    const QString chat = s.chatId.trimmed();
    if (chat.isEmpty())
        return refused(u"no chat id is set"_qs);
    if (!matches(u"^(-?[0-9]+|@[A-Za-z][A-Za-z0-9_]{3,})$", chat))
        return refused(u"the chat id is neither a number nor an @channel name"_qs);
    const std::optional<QString> api = webAddress(apiServer, false);
    if (!api)
        return refused(u"the Telegram server is not an http or https address"_qs);

    ChannelRequest request;
    HttpPostRequest& post = request.post;
    post.url = *api + u"/bot"_qs + token + u"/sendMessage"_qs;
    post.headers = {{"Content-Type", "application/json"}};
    // No parse mode: Telegram shows the text as it is, so a symbol or line can carry no markup.
    const QJsonObject body {
        {u"chat_id"_qs, chat},
        {u"text"_qs, fitPushText(message.title + u'\n' + message.text)},
        {u"disable_web_page_preview"_qs, true},
    };
    post.body = QJsonDocument(body).toJson(QJsonDocument::Compact);
    post.secrets = {token};
    return request;
}

ChannelRequest webhookRequest(const WebhookSettings& s, const ChannelMessage& message)
{
    const std::optional<QString> address = webAddress(s.url, true);
    if (!address)
        return refused(s.url.trimmed().isEmpty() ? u"no address is set"_qs
                                                 : u"the address is not an http or https address"_qs);
    const QString headerName = s.headerName.trimmed();
    const QString headerValue = s.headerValue.trimmed();
    if (!headerName.isEmpty() && !matches(u"^[!#$%&'*+.^_`|~0-9A-Za-z-]+$", headerName))
        return refused(u"the header name may only hold letters, digits and - (no spaces or colons)"_qs);
    if (headerName.isEmpty() && !headerValue.isEmpty())
        return refused(u"the header has a value but no name"_qs);
    if (!headerValue.isEmpty() && !carriesSecretsSafely(*address))
        return refused(u"the header would travel unencrypted: use an https address"_qs);
    if (!QUrl(*address).password().isEmpty() && !carriesSecretsSafely(*address))
        return refused(u"the password in the address would travel unencrypted: use an https address"_qs);

    ChannelRequest request;
    HttpPostRequest& post = request.post;
    post.url = *address;
    if (s.body == WebhookBody::Json) {
        QJsonArray alerts;
        for (const AlertItem& item : message.alerts)
            alerts.append(QJsonObject {
                {u"stock"_qs, item.stock}, {u"symbol"_qs, item.symbol}, {u"line"_qs, item.line}});
        const QJsonObject body {
            {u"title"_qs, message.title}, {u"text"_qs, message.text}, {u"alerts"_qs, alerts}};
        post.body = QJsonDocument(body).toJson(QJsonDocument::Compact);
        post.headers = {{"Content-Type", "application/json"}};
    } else {
        post.body = (message.title + u'\n' + message.text).toUtf8();
        post.headers = {{"Content-Type", "text/plain; charset=utf-8"}};
    }
    if (!headerName.isEmpty())
        post.headers.append({headerName.toUtf8(), headerValue.toUtf8()});
    // Chat services put their secret in the webhook's path (".../webhooks/<id>/<token>"), some in
    // its query or its user info.
    post.secrets = QStringList {headerValue} + urlSecrets(*address);
    return request;
}

std::unique_ptr<Pending> ChannelSender::send(Channel channel, const ChannelSettings& settings,
    const ChannelMessage& message, std::function<void(const ChannelResult&)> done)
{
    ChannelRequest request;
    switch (channel) {
    case Channel::Ntfy:
        request = ntfyRequest(settings.ntfy, message);
        break;
    case Channel::Telegram:
        request = telegramRequest(settings.telegram, message, telegramServer);
        break;
    case Channel::Webhook:
        request = webhookRequest(settings.webhook, message);
        break;
    }
    if (!request.problem.isEmpty())
        return std::make_unique<Deferred>([done, problem = request.problem] { done({false, problem}); });
    const QStringList secrets = request.post.secrets;
    return httpPost(m_hub, request.post, limits, [channel, secrets, done](const HttpPostResult& result) {
        done(result.cancelled ? ChannelResult {false, result.error} : judge(channel, result, secrets));
    });
}

std::unique_ptr<Pending> sendToChannelLogged(Channel channel, const ChannelSettings& settings,
    const ChannelMessage& message, ChannelSender& sender, ActivityLog& log, int number,
    std::function<void(const ChannelResult&)> done)
{
    const QString stamp = longTimeText(now().time());
    return sender.send(
        channel, settings, message, [channel, stamp, &log, number, done](const ChannelResult& result) {
            log.add(
                stamp + (result.ok ? sentText(channel) : failedText(channel) + readableLine(result.error)));
            log.appendLog(number);
            if (done)
                done(result);
        });
}

std::unique_ptr<Pending> sendAlertToChannels(const AlertMessage& message, const ChannelSettings& settings,
    ChannelSender& sender, ActivityLog& log, int number, std::function<void()> done)
{
    if (!settings.anyOn())
        return nullptr;
    const ChannelMessage text = channelMessageOf(message);
    auto sends = std::make_unique<ChannelSends>(std::move(done));
    ChannelSends* group = sends.get();
    for (const Channel channel : kChannels) {
        if (settings.isOn(channel))
            group->add(sendToChannelLogged(channel, settings, text, sender, log, number,
                [group](const ChannelResult&) { group->ended(); }));
    }
    return sends;
}

} // namespace tradevane
