#include "engine/settings/KeyringSecrets.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "engine/settings/SettingsStore.h"
#include "platform/ProgramFolder.h"

#include <QDir>

namespace tradevane {

namespace {

// One secret of a save: written, or its entry removed when it is blank.
struct SecretWrite
{
    QString key;
    QString secret;
};

// Runs the keyring operations of a save one after the other; the first failure ends them.
class SecretWrites final : public Pending
{
public:
    SecretWrites(const Keyring& keyring, std::vector<SecretWrite> writes,
        std::function<void(const KeyringResult&)> done)
        : m_keyring(keyring)
        , m_writes(std::move(writes))
        , m_done(std::move(done))
    {
        next();
    }

    void cancel() override
    {
        if (m_step)
            m_step->cancel(); // reports Cancelled through step()
    }

private:
    void next()
    {
        if (m_index == m_writes.size()) {
            m_step.reset();
            finish({KeyringResult::Outcome::Ok, {}, {}});
            return;
        }
        const SecretWrite& write = m_writes[m_index++];
        const QString secret = write.secret.trimmed();
        auto after = [this](const KeyringResult& result) { step(result); };
        m_step = secret.isEmpty() ? m_keyring.remove(write.key, after)
                                  : m_keyring.write(write.key, secret, after);
    }

    void step(const KeyringResult& result)
    {
        // A blank secret may never have had an entry.
        if (result.ok() || result.outcome == KeyringResult::Outcome::NotFound) {
            QMetaObject::invokeMethod(
                &m_context, [this] { next(); }, Qt::QueuedConnection);
            return;
        }
        finish(result);
    }

    void finish(const KeyringResult& result)
    {
        if (auto done = std::exchange(m_done, nullptr))
            done(result); // may destroy this
    }

    const Keyring& m_keyring;
    std::vector<SecretWrite> m_writes;
    std::function<void(const KeyringResult&)> m_done;
    std::size_t m_index = 0;
    std::unique_ptr<Pending> m_step;
    QObject m_context; // the next step runs from the event loop, never while this one reports
};

// A wait for the secrets' reading to end; like an alarm, cancelled it never fires.
class AfterSecrets final : public QObject, public Pending
{
public:
    AfterSecrets(SecretLoader& loader, std::function<void()> then)
        : m_then(std::move(then))
    {
        if (loader.busy())
            connect(&loader, &SecretLoader::finished, this, &AfterSecrets::fire, Qt::QueuedConnection);
        else
            QMetaObject::invokeMethod(this, &AfterSecrets::fire, Qt::QueuedConnection);
    }

    void cancel() override { m_then = nullptr; }

private:
    void fire()
    {
        if (auto then = std::exchange(m_then, nullptr))
            then(); // may destroy this
    }

    std::function<void()> m_then;
};

// Why a secret could not be read, for the log: never the secret itself.
QString readFailure(const KeyringResult& result)
{
    using Outcome = KeyringResult::Outcome;
    switch (result.outcome) {
    case Outcome::Ok:
        return u"the keyring holds it empty"_qs;
    case Outcome::NotFound:
        return u"the keyring holds no such entry"_qs;
    case Outcome::Unavailable:
        return u"no keyring answered: "_qs + result.error;
    case Outcome::Failed:
    case Outcome::Cancelled:
        break;
    }
    return u"the keyring did not give it: "_qs + result.error;
}

} // namespace

QString channelTokenKey(Channel channel)
{
    const QString what = channel == Channel::Webhook ? u" header value"_qs
        : channel == Channel::Telegram               ? u" bot token"_qs
                                                     : u" token"_qs;
    return channelName(channel) + what + u" - "_qs + QDir::toNativeSeparators(programFolder());
}

QString mailPasswordKey()
{
    return u"Mail password - "_qs + QDir::toNativeSeparators(programFolder());
}

std::unique_ptr<Pending> storeChannelTokens(
    const Keyring& keyring, const ChannelSettings& settings, std::function<void(const KeyringResult&)> done)
{
    std::vector<SecretWrite> writes;
    for (const Channel channel : kChannels)
        writes.push_back({channelTokenKey(channel), channelToken(settings, channel)});
    return std::make_unique<SecretWrites>(keyring, std::move(writes), std::move(done));
}

std::unique_ptr<Pending> storeMailPassword(
    const Keyring& keyring, const QString& password, std::function<void(const KeyringResult&)> done)
{
    return std::make_unique<SecretWrites>(
        keyring, std::vector<SecretWrite> {{mailPasswordKey(), password}}, std::move(done));
}

SecretLoader::SecretLoader(const Keyring& keyring, SettingsStore& settings, ActivityLog& log)
    : m_keyring(keyring)
    , m_settings(settings)
    , m_log(log)
{ }

SecretLoader::~SecretLoader() = default;

void SecretLoader::start()
{
    m_pending.reset();
    m_queue.clear();
    ChannelSettings& channels = m_settings.channels;
    for (const Channel channel : kChannels) {
        const auto slot = static_cast<std::size_t>(channel);
        if (!channels.tokenUnread[slot])
            continue;
        // The channel stays silent (its token stays unread) until the window saves it again.
        m_queue.push_back({channelTokenKey(channel),
            [&channels, channel, slot](const QString& token) {
                channelToken(channels, channel) = token;
                channels.tokenUnread[slot] = false;
            },
            channelName(channel) + LogText::kChannelTokenUnread});
    }
    MailSettings& mail = m_settings.mail;
    if (mail.passwordUnread) {
        m_queue.push_back({mailPasswordKey(),
            [&mail](const QString& password) {
                mail.password = password;
                mail.passwordUnread = false;
            },
            LogText::kMailPasswordUnread});
    }
    next();
}

std::unique_ptr<Pending> SecretLoader::whenDone(std::function<void()> then)
{
    return std::make_unique<AfterSecrets>(*this, std::move(then));
}

void SecretLoader::next()
{
    if (m_queue.empty()) {
        if (m_pending) {
            m_pending.reset();
            emit finished();
        }
        return;
    }
    Read read = std::move(m_queue.front());
    m_queue.erase(m_queue.begin());
    m_pending = m_keyring.read(read.key, [this, read](const KeyringResult& result) {
        if (result.ok() && !result.secret.trimmed().isEmpty()) {
            read.arrived(result.secret.trimmed());
        } else {
            m_log.appendNote(read.unreadNote + readFailure(result));
            m_log.appendLog(0);
        }
        // From the event loop, not from within the keyring's answer.
        QMetaObject::invokeMethod(
            this, [this] { next(); }, Qt::QueuedConnection);
    });
}

} // namespace tradevane
