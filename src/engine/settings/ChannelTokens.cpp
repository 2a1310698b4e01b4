#include "engine/settings/ChannelTokens.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "engine/settings/SettingsStore.h"
#include "platform/ProgramFolder.h"

#include <QDir>

namespace tradevane {

namespace {

// Runs the keyring operations of a save one after the other; the first failure ends them.
class TokenWrites final : public Pending
{
public:
    TokenWrites(const Keyring& keyring, const ChannelSettings& settings,
        std::function<void(const KeyringResult&)> done)
        : m_keyring(keyring)
        , m_settings(settings)
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
        if (m_index == kChannels.size()) {
            m_step.reset();
            finish({KeyringResult::Outcome::Ok, {}, {}});
            return;
        }
        const Channel channel = kChannels[m_index++];
        const QString token = channelToken(m_settings, channel).trimmed();
        auto after = [this](const KeyringResult& result) { step(result); };
        m_step = token.isEmpty() ? m_keyring.remove(channelTokenKey(channel), after)
                                 : m_keyring.write(channelTokenKey(channel), token, after);
    }

    void step(const KeyringResult& result)
    {
        // A channel without a token may never have had an entry.
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
    ChannelSettings m_settings;
    std::function<void(const KeyringResult&)> m_done;
    std::size_t m_index = 0;
    std::unique_ptr<Pending> m_step;
    QObject m_context; // the next step runs from the event loop, never while this one reports
};

// Why a token could not be read, for the log: never the token itself.
QString tokenReadFailure(const KeyringResult& result)
{
    using Outcome = KeyringResult::Outcome;
    switch (result.outcome) {
    case Outcome::Ok:
        return u"the keyring holds it empty"_qs;
    case Outcome::NotFound:
        return u"the keyring holds no such token"_qs;
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

std::unique_ptr<Pending> storeChannelTokens(
    const Keyring& keyring, const ChannelSettings& settings, std::function<void(const KeyringResult&)> done)
{
    return std::make_unique<TokenWrites>(keyring, settings, std::move(done));
}

ChannelTokenLoader::ChannelTokenLoader(const Keyring& keyring, SettingsStore& settings, ActivityLog& log)
    : m_keyring(keyring)
    , m_settings(settings)
    , m_log(log)
{ }

ChannelTokenLoader::~ChannelTokenLoader() = default;

void ChannelTokenLoader::start()
{
    m_pending.reset();
    m_queue.clear();
    for (const Channel channel : kChannels)
        if (m_settings.channels.tokenUnread[static_cast<std::size_t>(channel)])
            m_queue.push_back(channel);
    next();
}

void ChannelTokenLoader::next()
{
    if (m_queue.empty()) {
        if (m_pending) {
            m_pending.reset();
            emit finished();
        }
        return;
    }
    const Channel channel = m_queue.front();
    m_queue.erase(m_queue.begin());
    m_pending = m_keyring.read(channelTokenKey(channel), [this, channel](const KeyringResult& result) {
        ChannelSettings& s = m_settings.channels;
        const auto slot = static_cast<std::size_t>(channel);
        if (result.ok() && !result.secret.trimmed().isEmpty()) {
            channelToken(s, channel) = result.secret.trimmed();
            s.tokenUnread[slot] = false;
        } else {
            // The channel stays silent (its token stays unread) until the window saves it again.
            m_log.appendNote(channelName(channel) + LogText::kChannelTokenUnread + tokenReadFailure(result));
            m_log.appendLog(0);
        }
        // From the event loop, not from within the keyring's answer.
        QMetaObject::invokeMethod(
            this, [this] { next(); }, Qt::QueuedConnection);
    });
}

} // namespace tradevane
