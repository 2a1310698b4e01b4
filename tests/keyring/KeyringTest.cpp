// The channel tokens and the mail password in the desktop keyring. WithKeyring runs on a private session bus
// with a real Secret Service (with-keyring.sh); NoKeyring runs without any session bus.
#include "LoopbackHttpServer.h"
#include "LoopbackSmtpServer.h"
#include "widgets/ChannelsWindowFixture.h"
#include "widgets/MailWindowFixture.h"

#include "engine/log/LogTexts.h"
#include "engine/notify/AlertMail.h"
#include "engine/notify/Channels.h"
#include "engine/session/StartupLoad.h"
#include "engine/settings/KeyringSecrets.h"
#include "gui/ChannelsWindow.h"

#include <QDir>
#include <QFile>
#include <QLabel>

#include <filesystem>

using namespace tradevane;

namespace {

const QString kNtfyToken = u"tk_s3cretNtfyToken"_qs;
const QString kHeaderSecret = u"Bearer s3cret-header"_qs;
const QByteArray kNtfyOk = R"({"id":"hY3x","time":1765100000,"event":"message","topic":"desk"})";
const QString kKeyringLabel
    = u"Tokens are kept in the desktop keyring,\nthe other settings in channels.ini in the data folder."_qs;
const QString kFileLabel
    = u"Tokens are kept in channels.ini in the data folder,\nreadable only by your user account (no keyring)."_qs;

bool ownerOnly(const QString& file)
{
    namespace fs = std::filesystem;
    return fs::status(file.toStdString()).permissions() == (fs::perms::owner_read | fs::perms::owner_write);
}

// What the keyring holds under `key`: the secret, or the outcome's reason.
KeyringResult readKeyring(const Keyring& keyring, const QString& key)
{
    std::optional<KeyringResult> got;
    auto pending = keyring.read(key, [&got](const KeyringResult& r) { got = r; });
    EXPECT_TRUE(runUntil([&got] { return got.has_value(); }, 20000));
    return got.value_or(KeyringResult {});
}

// A program started on the data folder as it is now: settings loaded, and with `waitForSecrets`
// the keyring's secrets read.
std::unique_ptr<AppServices> restart(bool waitForSecrets = true)
{
    auto services = std::make_unique<AppServices>();
    EXPECT_TRUE(loadSettingsFiles(*services).ok());
    if (waitForSecrets) {
        EXPECT_TRUE(runUntil([&services] { return !services->secrets.busy(); }, 20000));
    }
    return services;
}

AlertMessage oneAlert()
{
    AlertMessage m;
    m.alerts = {{1, u"IBM"_qs, u"IBM    : Price climbed above $12.00"_qs}};
    m.text = u"MESSAGE FROM: TRADEVANE\r\n"_qs + m.alerts[0].line + u"\r\n"_qs;
    return m;
}

class KeyringChannels : public ChannelsWindowFixture
{
protected:
    void SetUp() override
    {
        ChannelsWindowFixture::SetUp();
        ASSERT_TRUE(m_http.start());
        m_http.serve(u"/desk"_qs, kNtfyOk);
        m_http.serveStatus(u"/hooks/in"_qs, 204);
    }

    // Enters ntfy with a token and a webhook with a header value, and saves; the boxes shown after
    // the save question.
    QList<MsgBoxRequest> enterAndSave()
    {
        EXPECT_TRUE(open().isEmpty());
        tick("chkNtfy", true);
        type("txtNtfyServer", m_http.baseUrl());
        type("txtNtfyTopic", u"desk"_qs);
        type("txtNtfyToken", kNtfyToken);
        tick("chkWebhook", true);
        type("txtWebhookUrl", m_http.baseUrl() + u"/hooks/in"_qs);
        type("txtWebhookHeaderName", u"X-Token"_qs);
        type("txtWebhookHeaderValue", kHeaderSecret);
        return save();
    }

    QString label() { return w<QLabel>("lblTokenStore")->text(); }

    KeyringResult keyringRead(const QString& key) { return readKeyring(m_app.keyring, key); }

    // Sends one alert to the channels that are on; the request targets the server received.
    QStringList sendAlert(AppServices& services)
    {
        m_http.clear();
        m_http.serve(u"/desk"_qs, kNtfyOk);
        m_http.serveStatus(u"/hooks/in"_qs, 204);
        bool ended = false;
        auto sends = sendAlertToChannels(oneAlert(), services.settings.channels, services.channels,
            services.log, 1, [&ended] { ended = true; });
        if (sends) {
            EXPECT_TRUE(runUntil([&ended] { return ended; }));
        }
        return m_http.requests();
    }

    QByteArray header(const QString& target, const QByteArray& name)
    {
        for (const LoopbackHttpServer::Request& r : m_http.received())
            if (r.target == target)
                return r.headers.value(name);
        return {};
    }

    void expectNoSecretIn(const QString& text)
    {
        for (const QString& secret : {kNtfyToken, kHeaderSecret, u"s3cret"_qs})
            EXPECT_FALSE(text.contains(secret, Qt::CaseInsensitive)) << text.toStdString();
    }

    LoopbackHttpServer m_http;
};

using WithKeyring = KeyringChannels;
using NoKeyring = KeyringChannels;

const QString kMailPassword = u"s3cret-mail-pw"_qs;
const QString kKeyringPasswordLabel = u"The password is kept in the desktop keyring."_qs;

class KeyringMail : public MailWindowFixture
{
protected:
    void SetUp() override
    {
        MailWindowFixture::SetUp();
        QString error;
        ASSERT_TRUE(m_smtp.start(&error)) << error.toStdString();
    }

    // Sends one alert mail through `services` as the engine does: once the keyring's secrets are
    // read.
    MailOutcome sendMail(AppServices& services)
    {
        std::optional<MailOutcome> outcome;
        std::unique_ptr<Pending> mail;
        auto wait = services.secrets.whenDone([&] {
            mail = sendAlertMail(u"IBM above 12"_qs, services.settings, services.smtp, services.log, 1,
                [&outcome](MailOutcome o) { outcome = o; });
        });
        EXPECT_TRUE(runUntil([&outcome] { return outcome.has_value(); }, 30000));
        return outcome.value_or(MailOutcome::Failed);
    }

    QString storeLabel() { return w<QLabel>("lblPasswordStore")->text(); }

    LoopbackSmtpServer m_smtp {{.user = u"trader"_qs, .password = kMailPassword}};
};

using WithKeyringMail = KeyringMail;

const QByteArray kKeyringFile
    = "[channels]\nTokenStore=keyring\n"
      "[ntfy]\nEnabled=1\nServer=%1\nTopic=desk\nToken=\nTokenInKeyring=1\n"
      "[telegram]\nEnabled=0\nBotToken=\nChatId=\n"
      "[webhook]\nEnabled=1\nUrl=%1/hooks/in\nBody=json\nHeaderName=\nHeaderValue=\n";

} // namespace

// Saved: the tokens are in the keyring under this data folder's keys, channels.ini (still owner-only)
// holds none of them and says where they are, and the window says so. At the next start they come
// back from the keyring and the alerts go out with them. Saved again without a token, the old entry
// goes.
TEST_F(WithKeyring, TokensGoToTheKeyringAndComeBackAtStart)
{
    EXPECT_TRUE(enterAndSave().isEmpty());
    EXPECT_EQ(m_window->result(), QDialog::Accepted);
    EXPECT_EQ(label(), kKeyringLabel);
    const QByteArray file = readFile(u"channels.ini"_qs);
    EXPECT_TRUE(file.startsWith("[channels]\nTokenStore=keyring\n[ntfy]\n")) << file.toStdString();
    EXPECT_TRUE(file.contains("Token=\nTokenInKeyring=1\n[telegram]\nEnabled=0\nBotToken=\nChatId=\n"));
    EXPECT_TRUE(file.endsWith("HeaderName=X-Token\nHeaderValue=\nTokenInKeyring=1\n"));
    expectNoSecretIn(QString::fromUtf8(file));
    EXPECT_TRUE(ownerOnly(path(u"channels.ini"_qs)));
    EXPECT_EQ(keyringRead(channelTokenKey(Channel::Ntfy)).secret, kNtfyToken);
    EXPECT_EQ(keyringRead(channelTokenKey(Channel::Webhook)).secret, kHeaderSecret);
    EXPECT_EQ(keyringRead(channelTokenKey(Channel::Telegram)).outcome, KeyringResult::Outcome::NotFound);
    EXPECT_TRUE(channelTokenKey(Channel::Ntfy).endsWith(QDir::toNativeSeparators(m_folder.path())));

    std::unique_ptr<AppServices> next = restart();
    EXPECT_EQ(next->settings.channels.tokenStore, TokenStore::Keyring);
    EXPECT_EQ(next->settings.channels.ntfy.token, kNtfyToken);
    EXPECT_EQ(next->settings.channels.webhook.headerValue, kHeaderSecret);
    EXPECT_EQ(sendAlert(*next), (QStringList {u"/desk"_qs, u"/hooks/in"_qs}));
    EXPECT_EQ(header(u"/desk"_qs, "authorization"), "Bearer " + kNtfyToken.toUtf8());
    EXPECT_EQ(header(u"/hooks/in"_qs, "x-token"), kHeaderSecret.toUtf8());
    expectNoSecretIn(log());

    // The window opened while the tokens are being read waits for them before they can be edited or
    // saved, then shows them; saved without the ntfy token, its entry is removed.
    EXPECT_TRUE(loadSettingsFiles(m_app).ok());
    EXPECT_TRUE(m_app.secrets.busy());
    EXPECT_TRUE(open().isEmpty());
    EXPECT_EQ(label(), kKeyringLabel);
    EXPECT_FALSE(box("txtNtfyToken")->isEnabled());
    EXPECT_FALSE(w<QPushButton>("cmdSaveSettings")->isEnabled());
    EXPECT_TRUE(runUntil([this] { return !m_app.secrets.busy(); }, 20000));
    EXPECT_TRUE(box("txtNtfyToken")->isEnabled());
    EXPECT_TRUE(w<QPushButton>("cmdSaveSettings")->isEnabled());
    EXPECT_EQ(box("txtNtfyToken")->text(), kNtfyToken);
    EXPECT_EQ(box("txtWebhookHeaderValue")->text(), kHeaderSecret);
    box("txtNtfyToken")->clear();
    EXPECT_TRUE(save().isEmpty());
    EXPECT_EQ(keyringRead(channelTokenKey(Channel::Ntfy)).outcome, KeyringResult::Outcome::NotFound);
    EXPECT_EQ(keyringRead(channelTokenKey(Channel::Webhook)).secret, kHeaderSecret);
    EXPECT_FALSE(readFile(u"channels.ini"_qs).contains("Token=\nTokenInKeyring=1\n[telegram]"));
}

// channels.ini says ntfy's token is in the keyring, which has none for this data folder: one line in
// the log, and ntfy sends nothing while the webhook still does. The window shows the token empty.
TEST_F(WithKeyring, AMissingKeyringEntryLeavesItsChannelSilentWithOneLogLine)
{
    writeFile(u"channels.ini"_qs, QString::fromLatin1(kKeyringFile).arg(m_http.baseUrl()).toUtf8());
    std::unique_ptr<AppServices> next = restart();
    const QString text = log();
    EXPECT_EQ(text.count(LogText::kChannelTokenUnread), 1) << text.toStdString();
    EXPECT_TRUE(text.startsWith(
        u"ntfy"_qs + LogText::kChannelTokenUnread + u"the keyring holds no such entry\r\n"_qs))
        << text.toStdString();
    EXPECT_TRUE(next->settings.channels.ntfy.enabled);
    EXPECT_FALSE(next->settings.channels.isOn(Channel::Ntfy));
    EXPECT_EQ(sendAlert(*next), QStringList {u"/hooks/in"_qs});

    m_app.settings = next->settings;
    EXPECT_TRUE(open().isEmpty());
    EXPECT_EQ(label(), kKeyringLabel);
    EXPECT_TRUE(box("txtNtfyToken")->text().isEmpty());
    EXPECT_TRUE(box("txtNtfyToken")->isEnabled());
}

// A keyring that does not answer in time counts as none: the save keeps the tokens in the file.
TEST_F(WithKeyring, AKeyringThatDoesNotAnswerInTimeIsNone)
{
    m_app.keyring.timeout = std::chrono::milliseconds(0);
    EXPECT_TRUE(enterAndSave().isEmpty());
    EXPECT_EQ(label(), kFileLabel);
    EXPECT_TRUE(readFile(u"channels.ini"_qs).contains(kNtfyToken.toUtf8()));
}

// Without a keyring the tokens stay in channels.ini, owner-only, exactly as before, and the window
// says so. A file that says the tokens are in a keyring gets one line per such channel, saying that
// no keyring answered, and that channel sends nothing.
TEST_F(NoKeyring, TokensStayInTheOwnerOnlyFileAndAKeyringFileSilencesItsChannels)
{
    EXPECT_TRUE(open().isEmpty());
    EXPECT_EQ(label(), kFileLabel);
    m_window.reset();
    EXPECT_TRUE(enterAndSave().isEmpty());
    EXPECT_EQ(m_window->result(), QDialog::Accepted);
    EXPECT_EQ(label(), kFileLabel);
    const QByteArray file = readFile(u"channels.ini"_qs);
    EXPECT_TRUE(file.startsWith("[ntfy]\nEnabled=1\n"));
    EXPECT_TRUE(file.contains(QByteArray("Token=" + kNtfyToken.toUtf8() + '\n')));
    EXPECT_TRUE(
        file.endsWith(QByteArray("HeaderName=X-Token\nHeaderValue=" + kHeaderSecret.toUtf8() + '\n')));
    EXPECT_FALSE(file.contains("Keyring"));
    EXPECT_TRUE(ownerOnly(path(u"channels.ini"_qs)));
    std::unique_ptr<AppServices> next = restart();
    EXPECT_EQ(next->settings.channels.ntfy.token, kNtfyToken);
    EXPECT_EQ(sendAlert(*next), (QStringList {u"/desk"_qs, u"/hooks/in"_qs}));
    expectNoSecretIn(log());

    writeFile(u"channels.ini"_qs, QString::fromLatin1(kKeyringFile).arg(m_http.baseUrl()).toUtf8());
    next = restart();
    const QString text = log();
    EXPECT_EQ(text.count(LogText::kChannelTokenUnread), 1) << text.toStdString();
    EXPECT_TRUE(text.contains(u"ntfy"_qs + LogText::kChannelTokenUnread + u"no keyring answered"_qs))
        << text.toStdString();
    EXPECT_EQ(sendAlert(*next), QStringList {u"/hooks/in"_qs});
}

// Saved with a login, the mail password goes to the keyring under this data folder's key and
// mailset.dat holds it blank; a mail sent just after the next start waits for the password and logs
// in with it. Saved without a login, the entry goes.
TEST_F(WithKeyringMail, ThePasswordGoesToTheKeyringAndAMailRightAfterStartWaitsForIt)
{
    EXPECT_TRUE(open().isEmpty());
    type("txtServer", m_smtp.server());
    type("txtMailFrom", u"me@example.com"_qs);
    type("txtSendTo", u"you@example.com"_qs);
    type("txtMessageSubject", u"Alert"_qs);
    tick("chkPassword", true);
    type("txtUserName", u"trader"_qs);
    type("txtPassword", kMailPassword);
    EXPECT_TRUE(save().isEmpty());
    EXPECT_EQ(m_window->result(), QDialog::Accepted);
    EXPECT_EQ(storeLabel(), kKeyringPasswordLabel);
    const QByteArray file = readFile(u"mailset.dat"_qs);
    EXPECT_EQ(file.size(), kMailSettingsLength);
    EXPECT_FALSE(file.contains("s3cret"));
    EXPECT_EQ(readKeyring(m_app.keyring, mailPasswordKey()).secret, kMailPassword);

    std::unique_ptr<AppServices> next = restart(false);
    EXPECT_TRUE(next->secrets.busy());
    EXPECT_EQ(sendMail(*next), MailOutcome::Sent);
    ASSERT_EQ(m_smtp.received().size(), 1);
    EXPECT_EQ(m_smtp.received()[0].login, u"trader"_qs);
    EXPECT_FALSE(log().contains(u"s3cret"_qs));

    // The window opened on the loaded settings shows the password; saved without a login, the
    // keyring forgets it.
    m_app.settings = next->settings;
    EXPECT_TRUE(open().isEmpty());
    EXPECT_EQ(box("txtPassword")->text(), kMailPassword);
    tick("chkPassword", false);
    EXPECT_TRUE(save().isEmpty());
    EXPECT_EQ(readKeyring(m_app.keyring, mailPasswordKey()).outcome, KeyringResult::Outcome::NotFound);
}

// mailset.dat says the password is in the keyring, which has none: one line in the log, alert mail
// fails with its reason and reaches no server, and the window lets the password be entered again.
TEST_F(WithKeyringMail, AMissingPasswordFailsTheMailWithItsReason)
{
    MailSettings mail;
    mail.usePassword = true;
    mail.passwordInKeyring = true;
    mail.server = m_smtp.server();
    mail.userName = u"trader"_qs;
    mail.mailFrom = u"me@example.com"_qs;
    mail.sendTo = u"you@example.com"_qs;
    mail.subject = u"Alert"_qs;
    ASSERT_TRUE(writeMailSettings(mail).ok());
    std::unique_ptr<AppServices> next = restart();
    EXPECT_EQ(sendMail(*next), MailOutcome::Failed);
    EXPECT_TRUE(m_smtp.received().isEmpty());
    const QString text = log();
    EXPECT_TRUE(text.startsWith(LogText::kMailPasswordUnread + u"the keyring holds no such entry\r\n"_qs))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(LogText::kEmailFailed + LogText::kMailPasswordMissing + u"\r\n"_qs))
        << text.toStdString();

    m_app.settings = next->settings;
    EXPECT_TRUE(open().isEmpty());
    EXPECT_EQ(storeLabel(), kKeyringPasswordLabel);
    EXPECT_TRUE(box("txtPassword")->isEnabled());
    EXPECT_TRUE(box("txtPassword")->text().isEmpty());
}
