#include "platform/Keyring.h"

#include "platform/ReadableText.h"

#include <qt6keychain/keychain.h>

#include <QPointer>
#include <QTimer>

namespace tradevane {

namespace {

const QString kService = u"Tradevane"_qs;

KeyringResult resultOf(const QKeychain::Job& job)
{
    using Outcome = KeyringResult::Outcome;
    KeyringResult result;
    switch (job.error()) {
    case QKeychain::NoError:
        result.outcome = Outcome::Ok;
        return result;
    case QKeychain::EntryNotFound:
        result.outcome = Outcome::NotFound;
        result.error = u"no entry in the keyring"_qs;
        return result;
    case QKeychain::NoBackendAvailable:
    case QKeychain::NotImplemented:
    case QKeychain::AccessDenied:
    case QKeychain::AccessDeniedByUser:
    // What the Secret Service backend says when there is no session bus, or nothing on it that
    // provides the keyring ("Could not connect: ...", "The name org.freedesktop.secrets was not
    // provided by any .service files"): no keyring answered.
    case QKeychain::OtherError:
        result.outcome = Outcome::Unavailable;
        break;
    case QKeychain::CouldNotDeleteEntry:
        result.outcome = Outcome::Failed;
        break;
    }
    // The keyring is another program: what it says is cleaned like a server's text.
    result.error = readableLine(job.errorString());
    if (result.error.isEmpty())
        result.error = u"the keyring refused without a reason"_qs;
    return result;
}

// One job of QtKeychain with its time limit. The job deletes itself when it ends; one abandoned
// (cancelled, timed out, its holder gone) is left to end on its own, unheard.
class KeyringOperation final : public QObject, public Pending
{
public:
    KeyringOperation(QKeychain::Job* job, std::chrono::milliseconds timeout,
        std::function<void(const KeyringResult&)> done)
        : m_job(job)
        , m_done(std::move(done))
    {
        job->setAutoDelete(true);
        // Never a plain-text copy beside the keyring: without one the tokens stay in channels.ini.
        job->setInsecureFallback(false);
        connect(job, &QKeychain::Job::finished, this, [this](QKeychain::Job* finished) {
            KeyringResult result = resultOf(*finished);
            if (result.ok())
                if (auto* reader = qobject_cast<QKeychain::ReadPasswordJob*>(finished))
                    result.secret = reader->textData();
            report(result);
        });
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            report({KeyringResult::Outcome::Unavailable, {},
                u"the keyring did not answer within "_qs
                    + QString::number(std::chrono::duration_cast<std::chrono::seconds>(m_limit).count())
                    + u" s"_qs});
        });
        m_limit = timeout;
        m_timer.start(timeout);
        job->start();
    }

    ~KeyringOperation() override { abandon(); }

    void cancel() override { report({KeyringResult::Outcome::Cancelled, {}, u"cancelled"_qs}); }

private:
    void abandon()
    {
        m_timer.stop();
        if (m_job)
            m_job->disconnect(this);
    }

    void report(const KeyringResult& result)
    {
        abandon();
        if (auto done = std::exchange(m_done, nullptr))
            done(result); // may destroy this
    }

    QPointer<QKeychain::Job> m_job;
    std::function<void(const KeyringResult&)> m_done;
    QTimer m_timer;
    std::chrono::milliseconds m_limit {};
};

} // namespace

std::unique_ptr<Pending> Keyring::read(
    const QString& key, std::function<void(const KeyringResult&)> done) const
{
    auto* job = new QKeychain::ReadPasswordJob(kService);
    job->setKey(key);
    return std::make_unique<KeyringOperation>(job, timeout, std::move(done));
}

std::unique_ptr<Pending> Keyring::write(
    const QString& key, const QString& secret, std::function<void(const KeyringResult&)> done) const
{
    auto* job = new QKeychain::WritePasswordJob(kService);
    job->setKey(key);
    job->setTextData(secret);
    return std::make_unique<KeyringOperation>(job, timeout, std::move(done));
}

std::unique_ptr<Pending> Keyring::remove(
    const QString& key, std::function<void(const KeyringResult&)> done) const
{
    auto* job = new QKeychain::DeletePasswordJob(kService);
    job->setKey(key);
    return std::make_unique<KeyringOperation>(job, timeout, std::move(done));
}

} // namespace tradevane
