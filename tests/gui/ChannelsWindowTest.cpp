#include "LoopbackHttpServer.h"
#include "widgets/ChannelsWindowFixture.h"

#include "engine/forms/ChannelEntries.h"
#include "engine/log/LogTexts.h"
#include "engine/notify/Channels.h"
#include "engine/session/StartupLoad.h"
#include "gui/ChannelsWindow.h"

#include <QLabel>
#include <QRadioButton>

#include <filesystem>

using namespace tradevane;

namespace {

const QString kBotToken = u"987654:s3cret_Bot"_qs;

class ChannelsWindowTest : public ChannelsWindowFixture
{
protected:
    void SetUp() override
    {
        ChannelsWindowFixture::SetUp();
        ASSERT_TRUE(m_http.start());
        m_app.channels.telegramServer = m_http.baseUrl();
    }

    // The box that tells how a test went, once the server has answered.
    MsgBoxRequest testOutcome(const char* button)
    {
        m_boxes.clear();
        click(w<QPushButton>(button));
        EXPECT_FALSE(w<QPushButton>(button)->isEnabled()); // one test at a time per channel
        EXPECT_TRUE(runUntil([&] { return !m_boxes.shown().isEmpty(); }));
        EXPECT_TRUE(w<QPushButton>(button)->isEnabled());
        return m_boxes.shown().value(0);
    }

    LoopbackHttpServer m_http;
};

TEST_F(ChannelsWindowTest, ShowsTheStoredChannelsAndSavesWhatIsTypedOwnerOnly)
{
    m_app.settings.channels.telegram = {true, kBotToken, u"12345"_qs};
    EXPECT_TRUE(open().isEmpty());
    EXPECT_FALSE(w<QCheckBox>("chkNtfy")->isChecked());
    EXPECT_EQ(box("txtNtfyServer")->text(), u"https://ntfy.sh"_qs);
    EXPECT_TRUE(w<QCheckBox>("chkTelegram")->isChecked());
    EXPECT_EQ(box("txtTelegramToken")->text(), kBotToken);
    EXPECT_EQ(box("txtTelegramToken")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(box("txtTelegramChatId")->text(), u"12345"_qs);
    EXPECT_TRUE(w<QRadioButton>("optWebhookJson")->isChecked());
    EXPECT_TRUE(w<QLabel>("lblTokenStore")->text().contains(u"channels.ini"_qs));

    tick("chkNtfy", true);
    type("txtNtfyTopic", u"desk-alerts"_qs);
    type("txtNtfyToken", u"tk_abc"_qs);
    tick("chkWebhook", true);
    type("txtWebhookUrl", u"https://hooks.example.com/T1/B2"_qs);
    click(w<QRadioButton>("optWebhookText"));
    type("txtWebhookHeaderName", u"X-Api-Key"_qs);
    type("txtWebhookHeaderValue", u"key-1"_qs);
    EXPECT_TRUE(save().isEmpty());
    EXPECT_FALSE(m_window->isVisible());

    ChannelSettings expected;
    expected.ntfy = {true, u"https://ntfy.sh"_qs, u"desk-alerts"_qs, u"tk_abc"_qs};
    expected.telegram = {true, kBotToken, u"12345"_qs};
    expected.webhook
        = {true, u"https://hooks.example.com/T1/B2"_qs, WebhookBody::Text, u"X-Api-Key"_qs, u"key-1"_qs};
    EXPECT_EQ(m_app.settings.channels, expected);
    ChannelSettings reread;
    EXPECT_TRUE(loadChannelSettings(reread, m_app.log).isEmpty());
    EXPECT_EQ(reread, expected);
    EXPECT_EQ(std::filesystem::status(path(u"channels.ini"_qs).toStdString()).permissions(),
        std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    // No and Cancel keep the file as it is.
    open();
    tick("chkNtfy", false);
    EXPECT_TRUE(save(MsgResult::Cancel).isEmpty());
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_TRUE(save(MsgResult::No).isEmpty());
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_TRUE(m_app.settings.channels.ntfy.enabled);
}

TEST_F(ChannelsWindowTest, ATickedChannelThatCannotSendIsNotSaved)
{
    open();
    tick("chkTelegram", true);
    type("txtTelegramToken", u"not a token"_qs);
    type("txtTelegramChatId", u"1"_qs);
    const int beeps = m_boxes.beeps();
    const QList<MsgBoxRequest> shown = save();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, u"Telegram settings"_qs);
    EXPECT_TRUE(shown[0].text.startsWith(u"Telegram: the bot token is not in the form"_qs));
    EXPECT_EQ(m_boxes.beeps(), beeps + 1);
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_FALSE(QFile::exists(path(u"channels.ini"_qs)));
    // Unticked, the same entries are kept as typed.
    tick("chkTelegram", false);
    EXPECT_TRUE(save().isEmpty());
    EXPECT_EQ(m_app.settings.channels.telegram.botToken, u"not a token"_qs);
}

// Send test uses the boxes as shown, logs its line like an alert would, and says how it went,
// never with the token.
TEST_F(ChannelsWindowTest, SendTestReportsTheOutcomeWithoutTheToken)
{
    open();
    type("txtTelegramToken", kBotToken);
    type("txtTelegramChatId", u"12345"_qs);
    m_http.serve(u"/bot"_qs + kBotToken + u"/sendMessage"_qs, QByteArray(R"({"ok":true})"));
    MsgBoxRequest outcome = testOutcome("cmdTestTelegram");
    EXPECT_EQ(outcome.title, u"Send test"_qs);
    EXPECT_EQ(outcome.text, u"The test message was sent to Telegram."_qs);
    ASSERT_EQ(m_http.received().size(), 1);
    EXPECT_TRUE(m_http.received()[0].body.contains("This is a test message from Tradevane"));
    EXPECT_TRUE(log().endsWith(LogText::kTelegramSent + u"\r\n"_qs));

    m_http.serve(u"/bot"_qs + kBotToken + u"/sendMessage"_qs,
        LoopbackHttpServer::Answer {.status = 401,
            .body = R"({"ok":false,"description":"Unauthorized: )" + kBotToken.toUtf8() + R"("})"});
    outcome = testOutcome("cmdTestTelegram");
    EXPECT_EQ(
        outcome.text, u"The test message to Telegram failed:\r\n401 Unauthorized: Unauthorized: ***"_qs);
    EXPECT_FALSE(log().contains(kBotToken));

    // Settings that cannot send are named at once; nothing goes out.
    m_boxes.clear();
    type("txtNtfyTopic", QString());
    click(w<QPushButton>("cmdTestNtfy"));
    ASSERT_EQ(m_boxes.shown().size(), 1);
    EXPECT_EQ(m_boxes.shown()[0].text, u"ntfy: no topic is set."_qs);
    EXPECT_EQ(m_http.received().size(), 2);
}

// A damaged channels.ini found at start-up: noted in the log, every channel off, and the window
// says so when it opens.
TEST_F(ChannelsWindowTest, ADamagedFileIsReportedAndEveryChannelIsOff)
{
    writeFile(u"channels.ini"_qs, "[ntfy]\nEnabled=1\nTopic=desk\nToken=tk_s3cret\n[webhook]\nBody=yaml\n");
    loadSettingsFiles(m_app);
    EXPECT_FALSE(m_app.settings.channels.anyOn());
    EXPECT_TRUE(
        log().contains(LogText::kChannelSettingsUnreadable + u"line 6: Body is neither json nor text"_qs));
    EXPECT_FALSE(log().contains(u"s3cret"_qs));
    EXPECT_TRUE(oneBox(open(), u"Data Missing"_qs,
        u"Unable to read 'channels.ini': line 6: Body is neither json nor text\r\nEvery channel is off.\r\n"
        "Enter settings then click <Close Settings>"_qs));
    EXPECT_FALSE(w<QCheckBox>("chkNtfy")->isChecked());
    EXPECT_TRUE(save().isEmpty());
    EXPECT_TRUE(m_app.settings.channelsProblem.isEmpty());
    EXPECT_TRUE(open().isEmpty());
}

TEST_F(ChannelsWindowTest, EveryHelpLabelShowsItsTextAndEveryControlHasAName)
{
    open();
    EXPECT_EQ(w<QPlainTextEdit>("txtChannelInfo")->toPlainText(), u"Click (?) for help"_qs);
    expectHelpLabels("txtChannelInfo",
        {{"lblNtfyServerHelp", "ShapeNtfyServerHelp", ChannelHelp::ntfyServer()},
            {"lblNtfyTopicHelp", "ShapeNtfyTopicHelp", ChannelHelp::ntfyTopic()},
            {"lblNtfyTokenHelp", "ShapeNtfyTokenHelp", ChannelHelp::ntfyToken()},
            {"lblTelegramTokenHelp", "ShapeTelegramTokenHelp", ChannelHelp::telegramToken()},
            {"lblTelegramChatHelp", "ShapeTelegramChatHelp", ChannelHelp::telegramChat()},
            {"lblWebhookUrlHelp", "ShapeWebhookUrlHelp", ChannelHelp::webhookUrl()},
            {"lblWebhookBodyHelp", "ShapeWebhookBodyHelp", ChannelHelp::webhookBody()},
            {"lblWebhookHeaderHelp", "ShapeWebhookHeaderHelp", ChannelHelp::webhookHeader()},
            {"lblTokensHelp", "ShapeTokensHelp", ChannelHelp::tokens()}});
    for (QWidget* control : m_window->findChildren<QWidget*>()) {
        if (qobject_cast<QAbstractButton*>(control) || qobject_cast<QLineEdit*>(control)) {
            EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        }
    }
}

} // namespace
