#include "notify/ChannelSettings.h"

#include "core/LogTexts.h"
#include "notify/UpdateLog.h"
#include "platform/ProgramFolder.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringList>

namespace {

const QString kFileName = u"channels.ini"_qs;
constexpr qint64 kMaxFileBytes = 64 * 1024; // a few lines; more is not a settings file

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

std::optional<bool> readFlag(const QString& value)
{
    if (value == u"1"_qs)
        return true;
    if (value == u"0"_qs)
        return false;
    return std::nullopt;
}

} // namespace

QString ChannelName(Channel channel)
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
    return ntfy.enabled || telegram.enabled || webhook.enabled;
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

QString ChannelSettingsPath()
{
    return ProgramFile(kFileName);
}

QByteArray ChannelSettingsText(const ChannelSettings& s)
{
    QByteArray text = "[ntfy]\nEnabled=" + flag(s.ntfy.enabled) + '\n';
    text += line("Server", s.ntfy.server) + line("Topic", s.ntfy.topic) + line("Token", s.ntfy.token);
    text += "[telegram]\nEnabled=" + flag(s.telegram.enabled) + '\n';
    text += line("BotToken", s.telegram.botToken) + line("ChatId", s.telegram.chatId);
    text += "[webhook]\nEnabled=" + flag(s.webhook.enabled) + '\n';
    text += line("Url", s.webhook.url);
    text += QByteArray("Body=") + (s.webhook.body == WebhookBody::Json ? "json" : "text") + '\n';
    text += line("HeaderName", s.webhook.headerName) + line("HeaderValue", s.webhook.headerValue);
    return text;
}

ChannelSettingsRead ParseChannelSettings(const QString& text)
{
    ChannelSettingsRead read;
    ChannelSettings& s = read.settings;
    QString section;
    int number = 0;
    // A lone CR ends a line too, as it does for the editors that may have written the file.
    static const QRegularExpression lineEnd(u"\r\n|\r|\n"_qs);
    for (const QString& rawLine : text.split(lineEnd)) {
        ++number;
        const QString lineText = rawLine.trimmed();
        if (lineText.isEmpty() || lineText.startsWith(u';') || lineText.startsWith(u'#'))
            continue;
        if (lineText.startsWith(u'[') && lineText.endsWith(u']')) {
            section = lineText.mid(1, lineText.size() - 2).trimmed().toLower();
            continue;
        }
        // The line itself may hold a token: only its number and its key are told.
        const QString where = u"line "_qs + QString::number(number);
        const qsizetype equals = lineText.indexOf(u'=');
        if (equals <= 0) {
            read.problem = where + u" is not key=value"_qs;
            return read;
        }
        const QString key = lineText.left(equals).trimmed();
        const QString value = lineText.mid(equals + 1).trimmed();
        const auto is = [&key](const char16_t* name) {
            return key.compare(QString::fromUtf16(name), Qt::CaseInsensitive) == 0;
        };
        bool known = true;
        std::optional<bool> on;
        bool switchKey = is(u"Enabled");
        if (switchKey)
            on = readFlag(value);
        if (section == u"ntfy"_qs) {
            if (switchKey && on)
                s.ntfy.enabled = *on;
            else if (is(u"Server"))
                s.ntfy.server = value;
            else if (is(u"Topic"))
                s.ntfy.topic = value;
            else if (is(u"Token"))
                s.ntfy.token = value;
            else
                known = switchKey;
        } else if (section == u"telegram"_qs) {
            if (switchKey && on)
                s.telegram.enabled = *on;
            else if (is(u"BotToken"))
                s.telegram.botToken = value;
            else if (is(u"ChatId"))
                s.telegram.chatId = value;
            else
                known = switchKey;
        } else if (section == u"webhook"_qs) {
            if (switchKey && on)
                s.webhook.enabled = *on;
            else if (is(u"Url"))
                s.webhook.url = value;
            else if (is(u"HeaderName"))
                s.webhook.headerName = value;
            else if (is(u"HeaderValue"))
                s.webhook.headerValue = value;
            else if (is(u"Body")) {
                if (value.compare(u"json"_qs, Qt::CaseInsensitive) == 0)
                    s.webhook.body = WebhookBody::Json;
                else if (value.compare(u"text"_qs, Qt::CaseInsensitive) == 0)
                    s.webhook.body = WebhookBody::Text;
                else {
                    read.problem = where + u": Body is neither json nor text"_qs;
                    return read;
                }
            } else
                known = switchKey;
        } else {
            continue; // other sections are not ours
        }
        if (!known) {
            read.problem = where + u": unknown key "_qs + key.left(40);
            return read;
        }
        if (switchKey && !on) {
            read.problem = where + u": Enabled is neither 0 nor 1"_qs;
            return read;
        }
    }
    return read;
}

QString LoadChannelSettings(ChannelSettings& settings, ActivityLog& log)
{
    settings = {};
    const auto unusable = [&log](const QString& reason) {
        // Read at start-up, before any stock has been chosen: a note of the log itself says stock 0.
        log.AppendNote(LogText::ChannelSettingsUnreadable + reason);
        log.AppendLog(0);
        return reason;
    };
    QFile file(ChannelSettingsPath());
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return unusable(file.errorString());
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return unusable(file.errorString());
    if (bytes.size() > kMaxFileBytes)
        return unusable(u"larger than "_qs + QString::number(kMaxFileBytes) + u" bytes"_qs);
    if (bytes.contains('\0'))
        return unusable(u"not a text file"_qs);
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const ChannelSettingsRead read = ParseChannelSettings(text);
    if (!read.problem.isEmpty())
        return unusable(read.problem);
    settings = read.settings;
    return {};
}

std::optional<QString> WriteChannelSettings(const ChannelSettings& settings)
{
    QSaveFile out(ChannelSettingsPath());
    if (!out.open(QIODevice::WriteOnly))
        return out.errorString();
    // Owner-only before a single byte of a token is in it.
    if (!out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        out.cancelWriting();
        return u"the file could not be made private to its owner"_qs;
    }
    const QByteArray text = ChannelSettingsText(settings);
    if (out.write(text) != text.size() || !out.commit())
        return out.errorString();
    return std::nullopt;
}
