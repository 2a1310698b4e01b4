#include "engine/settings/ChannelSettings.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "platform/ProgramFolder.h"
#include "platform/RecordFile.h"
#include "platform/SettingsText.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace tradevane {

namespace {

const QString kFileName = u"channels.ini"_qs;

QByteArray line(const char* key, const QString& value)
{
    // A value is one line: the window's boxes cannot hold a line break, a hand-edited file
    // could, and the next load would read it as a key of its own.
    QString clean = value;
    clean.remove(u'\r').remove(u'\n');
    return QByteArray(key) + '=' + clean.trimmed().toUtf8() + '\n';
}

QByteArray flag(bool on)
{
    return on ? "1" : "0";
}

} // namespace

QString channelName(Channel channel)
{
    switch (channel) {
    case Channel::Ntfy:
        return u"ntfy"_qs;
    case Channel::Telegram:
        return u"Telegram"_qs;
    case Channel::Webhook:
        return u"Webhook"_qs;
    }
    return {};
}

bool ChannelSettings::isOn(Channel channel) const
{
    if (tokenUnread[static_cast<std::size_t>(channel)])
        return false;
    switch (channel) {
    case Channel::Ntfy:
        return ntfy.enabled;
    case Channel::Telegram:
        return telegram.enabled;
    case Channel::Webhook:
        return webhook.enabled;
    }
    return false;
}

bool ChannelSettings::anyOn() const
{
    return std::any_of(kChannels.begin(), kChannels.end(), [this](Channel c) { return isOn(c); });
}

QString& channelToken(ChannelSettings& settings, Channel channel)
{
    return const_cast<QString&>(channelToken(std::as_const(settings), channel));
}

const QString& channelToken(const ChannelSettings& settings, Channel channel)
{
    switch (channel) {
    case Channel::Ntfy:
        return settings.ntfy.token;
    case Channel::Telegram:
        return settings.telegram.botToken;
    case Channel::Webhook:
        break;
    }
    return settings.webhook.headerValue;
}

bool operator==(const NtfySettings& a, const NtfySettings& b)
{
    return a.enabled == b.enabled && a.server == b.server && a.topic == b.topic && a.token == b.token;
}

bool operator==(const TelegramSettings& a, const TelegramSettings& b)
{
    return a.enabled == b.enabled && a.botToken == b.botToken && a.chatId == b.chatId;
}

bool operator==(const WebhookSettings& a, const WebhookSettings& b)
{
    return a.enabled == b.enabled && a.url == b.url && a.body == b.body && a.headerName == b.headerName
        && a.headerValue == b.headerValue;
}

bool operator==(const ChannelSettings& a, const ChannelSettings& b)
{
    return a.ntfy == b.ntfy && a.telegram == b.telegram && a.webhook == b.webhook;
}

QString channelSettingsPath()
{
    return programFile(kFileName);
}

QByteArray channelSettingsText(const ChannelSettings& s)
{
    const bool keyring = s.tokenStore == TokenStore::Keyring;
    // In the keyring's case the token's line stays, empty, and a line saying where it is follows.
    const auto token = [&s, keyring](const char* key, Channel channel) -> QByteArray {
        const QString& value = channelToken(s, channel);
        if (!keyring)
            return line(key, value);
        return line(key, {}) + (value.trimmed().isEmpty() ? QByteArray() : QByteArray("TokenInKeyring=1\n"));
    };
    QByteArray text = keyring ? "[channels]\nTokenStore=keyring\n" : "";
    text += "[ntfy]\nEnabled=" + flag(s.ntfy.enabled) + '\n';
    text += line("Server", s.ntfy.server) + line("Topic", s.ntfy.topic) + token("Token", Channel::Ntfy);
    text += "[telegram]\nEnabled=" + flag(s.telegram.enabled) + '\n';
    text += token("BotToken", Channel::Telegram) + line("ChatId", s.telegram.chatId);
    text += "[webhook]\nEnabled=" + flag(s.webhook.enabled) + '\n';
    text += line("Url", s.webhook.url);
    text += QByteArray("Body=") + (s.webhook.body == WebhookBody::Json ? "json" : "text") + '\n';
    text += line("HeaderName", s.webhook.headerName) + token("HeaderValue", Channel::Webhook);
    return text;
}

ChannelSettingsRead parseChannelSettings(const QString& text)
{
    ChannelSettingsRead read;
    ChannelSettings& s = read.settings;
    const auto entry
        = [&s](const QString& section, const QString& key, const QString& value) -> std::optional<QString> {
        const auto is = [&key](const char16_t* name) {
            return key.compare(QString::fromUtf16(name), Qt::CaseInsensitive) == 0;
        };
        const QString channel = section.toLower();
        if (channel == u"channels"_qs) {
            if (!is(u"TokenStore"))
                return u": unknown key "_qs + key.left(40);
            if (value.compare(u"keyring"_qs, Qt::CaseInsensitive) == 0)
                s.tokenStore = TokenStore::Keyring;
            else if (value.compare(u"file"_qs, Qt::CaseInsensitive) == 0)
                s.tokenStore = TokenStore::File;
            else
                return u": TokenStore is neither keyring nor file"_qs;
            return {};
        }
        struct Section
        {
            QStringView name;
            Channel channel;
            bool* enabled;
        };
        const Section sections[] = {{u"ntfy", Channel::Ntfy, &s.ntfy.enabled},
            {u"telegram", Channel::Telegram, &s.telegram.enabled},
            {u"webhook", Channel::Webhook, &s.webhook.enabled}};
        const auto known = std::find_if(std::begin(sections), std::end(sections),
            [&channel](const Section& each) { return channel == each.name; });
        if (known == std::end(sections))
            return {}; // other sections are not ours
        if (is(u"Enabled") || is(u"TokenInKeyring")) {
            const std::optional<bool> on = iniFlag(value);
            if (!on)
                return u": "_qs + key.left(40) + u" is neither 0 nor 1"_qs;
            if (is(u"Enabled"))
                *known->enabled = *on;
            else
                s.tokenUnread[static_cast<std::size_t>(known->channel)] = *on;
            return {};
        }
        struct TextKey
        {
            Channel channel;
            const char16_t* key;
            QString* value;
        };
        const TextKey textKeys[] = {{Channel::Ntfy, u"Server", &s.ntfy.server},
            {Channel::Ntfy, u"Topic", &s.ntfy.topic}, {Channel::Ntfy, u"Token", &s.ntfy.token},
            {Channel::Telegram, u"BotToken", &s.telegram.botToken},
            {Channel::Telegram, u"ChatId", &s.telegram.chatId}, {Channel::Webhook, u"Url", &s.webhook.url},
            {Channel::Webhook, u"HeaderName", &s.webhook.headerName},
            {Channel::Webhook, u"HeaderValue", &s.webhook.headerValue}};
        for (const TextKey& textKey : textKeys) {
            if (known->channel == textKey.channel && is(textKey.key)) {
                *textKey.value = value;
                return {};
            }
        }
        if (known->channel != Channel::Webhook || !is(u"Body"))
            return u": unknown key "_qs + key.left(40);
        if (value.compare(u"json"_qs, Qt::CaseInsensitive) == 0)
            s.webhook.body = WebhookBody::Json;
        else if (value.compare(u"text"_qs, Qt::CaseInsensitive) == 0)
            s.webhook.body = WebhookBody::Text;
        else
            return u": Body is neither json nor text"_qs;
        return {};
    };
    // The line itself may hold a token: only its number and its key are told.
    if (const std::optional<IniStop> stop = walkIni(text, entry)) {
        read.problem = u"line "_qs + QString::number(stop->number)
            + (stop->reason.isEmpty() ? u" is not key=value"_qs : stop->reason);
        return read;
    }
    // A token in the keyring is read from there, whatever the file holds beside it; without the
    // keyring marker the file's own tokens count, as they always did.
    for (const Channel c : kChannels) {
        bool& unread = s.tokenUnread[static_cast<std::size_t>(c)];
        unread = unread && s.tokenStore == TokenStore::Keyring;
        if (unread)
            channelToken(s, c).clear();
    }
    return read;
}

QString loadChannelSettings(ChannelSettings& settings, ActivityLog& log)
{
    settings = {};
    const SmallFileRead file = readSmallFile(channelSettingsPath());
    if (!file.exists)
        return {};
    QString problem = file.error;
    if (problem.isEmpty() && file.bytes.contains('\0'))
        problem = u"not a text file"_qs;
    ChannelSettingsRead read;
    if (problem.isEmpty()) {
        read = parseChannelSettings(file.text());
        problem = read.problem;
    }
    if (!problem.isEmpty()) {
        // Read at start-up, before any stock has been chosen: a note of the log itself says stock 0.
        log.appendNote(LogText::kChannelSettingsUnreadable + problem);
        log.appendLog(0);
        return problem;
    }
    settings = read.settings;
    return {};
}

std::optional<QString> writeChannelSettings(const ChannelSettings& settings)
{
    // Owner-only before a single byte of a token is in it.
    const FileError error = saveWholeFile(channelSettingsPath(), channelSettingsText(settings));
    if (!error.ok())
        return error.description;
    return std::nullopt;
}

} // namespace tradevane
