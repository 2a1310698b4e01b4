#include "engine/forms/ChannelEntries.h"

#include "engine/notify/Channels.h"
#include "platform/MessageBox.h"

namespace tradevane {

std::optional<QString> channelSettingProblem(Channel channel, const ChannelSettings& settings)
{
    const ChannelMessage probe = channelTestMessage();
    ChannelRequest request;
    switch (channel) {
    case Channel::Ntfy:
        request = ntfyRequest(settings.ntfy, probe);
        break;
    case Channel::Telegram:
        request = telegramRequest(settings.telegram, probe, kTelegramApiServer);
        break;
    case Channel::Webhook:
        request = webhookRequest(settings.webhook, probe);
        break;
    }
    if (request.problem.isEmpty())
        return std::nullopt;
    return request.problem;
}

std::optional<ChannelProblem> checkChannelSettings(const ChannelSettings& settings)
{
    for (const Channel channel : kChannels) {
        if (!settings.isOn(channel))
            continue;
        if (const std::optional<QString> problem = channelSettingProblem(channel, settings)) {
            const QString name = channelName(channel);
            return ChannelProblem {channel,
                {name + u" settings"_qs,
                    joinLines({name + u": "_qs + *problem + u'.',
                        u"Correct it, or untick \"Send alerts to "_qs + name + u"\"."_qs})}};
        }
    }
    return std::nullopt;
}

namespace ChannelHelp {

QString ntfyServer()
{
    return joinLines({
        u"ntfy delivers push notifications to the ntfy app on your phone (Android and iPhone) and to "
        u"the browser."_qs,
        u"Leave https://ntfy.sh to use the free public server, or enter the address of your own ntfy "
        u"server, for example https://ntfy.example.com"_qs,
    });
}

QString ntfyTopic()
{
    return joinLines({
        u"The topic is the channel your phone listens to: letters, digits, - and _ only, at most 64."_qs,
        u"On the public server anybody who knows the topic can read it, so choose one nobody can guess, "
        u"for example tradevane-k7f2q9x4."_qs,
        u"In the ntfy app tap + (Subscribe to topic) and enter the same topic and server."_qs,
    });
}

QString ntfyToken()
{
    return joinLines({
        u"Only needed when the topic is protected: an access token (tk_...) made on the server's account "
        u"page or with 'ntfy token add'. Leave it empty otherwise."_qs,
        u"It is sent as 'Authorization: Bearer' and never written to the log."_qs,
    });
}

QString telegramToken()
{
    return joinLines({
        u"Telegram sends the alerts through a bot of your own:"_qs,
        u"1. In Telegram, open a chat with @BotFather and send /newbot."_qs,
        u"2. Choose a name; BotFather answers with the bot token, such as 123456789:AAF...; enter it here."_qs,
        u"3. Open a chat with your new bot and send it any message (a bot may only write to people who "
        u"wrote to it first)."_qs,
    });
}

QString telegramChat()
{
    return joinLines({
        u"The chat the alerts go to: your own chat id (a number), a group's id (a negative number), or "
        u"@name of a public channel where the bot is an administrator."_qs,
        u"To find your id, send your bot a message, then open "
        u"https://api.telegram.org/bot<token>/getUpdates in a browser and read \"chat\":{\"id\":...}."_qs,
        u"Alerts are sent as plain text."_qs,
    });
}

QString webhookUrl()
{
    return joinLines({
        u"The address of an incoming webhook: chat rooms (Slack-, Discord- and Matrix-style bridges), "
        u"automation services or a server of your own. Tradevane sends one POST request per quote set "
        u"with alerts."_qs,
        u"Such an address is often a secret of its own: it is never written to the log."_qs,
    });
}

QString webhookBody()
{
    return joinLines({
        u"JSON sends:"_qs,
        u"{\"title\": \"Tradevane alert\", \"text\": <the alert lines>, \"alerts\": [{\"stock\": 1, "
        u"\"symbol\": \"IBM\", \"line\": <the line>}, ...]}"_qs,
        u"Plain text sends the title and the alert lines, one per line."_qs,
    });
}

QString webhookHeader()
{
    return joinLines({
        u"An extra header for services that want a token, for example the name Authorization and the "
        u"value Bearer abc123, or X-Api-Key and the key. Leave both empty when the address is enough."_qs,
    });
}

QString tokens()
{
    return joinLines({
        u"The settings and addresses are kept in the file channels.ini in the data folder, which only "
        u"your user account can read. Where the desktop offers a keyring, the tokens (access token, "
        u"bot token, header value) are kept there instead and channels.ini holds none of them; "
        u"without one they are kept in channels.ini. The line beside this mark says which holds them."_qs,
        u"A channel whose token cannot be read back from the keyring at start sends nothing, with a "
        u"note in the activity log: enter the token again and save."_qs,
        u"Tokens and addresses never appear in the activity log or in a message; anything that looks "
        u"like them is shown as ***."_qs,
    });
}

} // namespace ChannelHelp

} // namespace tradevane
