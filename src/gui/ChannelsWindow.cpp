#include "gui/ChannelsWindow.h"

#include "engine/forms/ChannelEntries.h"
#include "engine/notify/Channels.h"
#include "engine/settings/KeyringSecrets.h"
#include "engine/settings/SettingsStore.h"
#include "gui/FormControls.h"
#include "gui/HelpMarker.h"
#include "platform/MessageBox.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace tradevane {

namespace {

// Tokens and addresses of these services stay well below this; a pasted page does not.
constexpr int kMaxEntry = 512;

QLineEdit* entry(const QString& name, const QString& accessible, QWidget* parent, bool secret = false)
{
    QLineEdit* box = entryBox(name, accessible, parent);
    box->setMaxLength(kMaxEntry);
    if (secret)
        box->setEchoMode(QLineEdit::Password);
    return box;
}

QPushButton* testButton(const QString& name, Channel channel, QWidget* parent)
{
    auto* button = new QPushButton(u"Send test"_qs, parent);
    button->setObjectName(name);
    button->setAccessibleName(u"Send test to "_qs + channelName(channel));
    button->setToolTip(u"Sends a test message with the settings as shown, saved or not."_qs);
    button->setAutoDefault(false);
    return button;
}

} // namespace

ChannelsWindow::ChannelsWindow(SettingsStore& settings, ChannelSender& sender, ActivityLog& log,
    const Keyring& keyring, SecretLoader& secrets, int logNumber, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_sender(sender)
    , m_log(log)
    , m_keyring(keyring)
    , m_secrets(secrets)
    , m_logNumber(logNumber)
{
    setObjectName(u"frmChannels"_qs);
    setWindowTitle(u"Tradevane - Channels"_qs);

    auto* ntfy = new QGroupBox(u"ntfy"_qs, this);
    ntfy->setObjectName(u"fraNtfy"_qs);
    m_chkNtfy = named<QCheckBox>(u"Send alerts to ntfy"_qs, u"chkNtfy"_qs, ntfy);
    m_txtNtfyServer = entry(u"txtNtfyServer"_qs, u"Server"_qs, ntfy);
    m_txtNtfyTopic = entry(u"txtNtfyTopic"_qs, u"Topic"_qs, ntfy);
    m_txtNtfyToken = entry(u"txtNtfyToken"_qs, u"Access token"_qs, ntfy, true);
    m_cmdTestNtfy = testButton(u"cmdTestNtfy"_qs, Channel::Ntfy, ntfy);

    auto* telegram = new QGroupBox(u"Telegram"_qs, this);
    telegram->setObjectName(u"fraTelegram"_qs);
    m_chkTelegram = named<QCheckBox>(u"Send alerts to Telegram"_qs, u"chkTelegram"_qs, telegram);
    m_txtTelegramToken = entry(u"txtTelegramToken"_qs, u"Bot token"_qs, telegram, true);
    m_txtTelegramChatId = entry(u"txtTelegramChatId"_qs, u"Chat id"_qs, telegram);
    m_cmdTestTelegram = testButton(u"cmdTestTelegram"_qs, Channel::Telegram, telegram);

    auto* webhook = new QGroupBox(u"Webhook"_qs, this);
    webhook->setObjectName(u"fraWebhook"_qs);
    m_chkWebhook = named<QCheckBox>(u"Send alerts to the webhook"_qs, u"chkWebhook"_qs, webhook);
    m_txtWebhookUrl = entry(u"txtWebhookUrl"_qs, u"Address"_qs, webhook);
    m_optWebhookJson = named<QRadioButton>(u"JSON"_qs, u"optWebhookJson"_qs, webhook, u"JSON body"_qs);
    m_optWebhookText
        = named<QRadioButton>(u"Plain text"_qs, u"optWebhookText"_qs, webhook, u"Plain text body"_qs);
    auto* bodyKinds = new QButtonGroup(webhook);
    bodyKinds->addButton(m_optWebhookJson);
    bodyKinds->addButton(m_optWebhookText);
    m_txtWebhookHeaderName = entry(u"txtWebhookHeaderName"_qs, u"Header name"_qs, webhook);
    m_txtWebhookHeaderName->setPlaceholderText(u"none"_qs);
    m_txtWebhookHeaderValue = entry(u"txtWebhookHeaderValue"_qs, u"Header value"_qs, webhook, true);
    m_cmdTestWebhook = testButton(u"cmdTestWebhook"_qs, Channel::Webhook, webhook);
    m_testButtons = {m_cmdTestNtfy, m_cmdTestTelegram, m_cmdTestWebhook};
    m_tokenBoxes = {m_txtNtfyToken, m_txtTelegramToken, m_txtWebhookHeaderValue};

    m_lblTokenStore = new QLabel(this);
    m_lblTokenStore->setObjectName(u"lblTokenStore"_qs);
    m_cmdSaveSettings = named<QPushButton>(u"Close Settings"_qs, u"cmdSaveSettings"_qs, this);
    m_cmdSaveSettings->setAutoDefault(false);
    m_txtChannelInfo = new QPlainTextEdit(this);
    m_txtChannelInfo->setObjectName(u"txtChannelInfo"_qs);
    m_txtChannelInfo->setAccessibleName(u"Channel settings help"_qs);
    m_txtChannelInfo->setReadOnly(true);
    m_txtChannelInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtChannelInfo->setFixedWidth(300);

    static const char16_t* helps[HelpCount][3] = {
        {u"lblNtfyServerHelp", u"ShapeNtfyServerHelp", u"ntfy server help"},
        {u"lblNtfyTopicHelp", u"ShapeNtfyTopicHelp", u"ntfy topic help"},
        {u"lblNtfyTokenHelp", u"ShapeNtfyTokenHelp", u"ntfy access token help"},
        {u"lblTelegramTokenHelp", u"ShapeTelegramTokenHelp", u"Telegram bot token help"},
        {u"lblTelegramChatHelp", u"ShapeTelegramChatHelp", u"Telegram chat id help"},
        {u"lblWebhookUrlHelp", u"ShapeWebhookUrlHelp", u"Webhook address help"},
        {u"lblWebhookBodyHelp", u"ShapeWebhookBodyHelp", u"Webhook body help"},
        {u"lblWebhookHeaderHelp", u"ShapeWebhookHeaderHelp", u"Webhook header help"},
        {u"lblTokensHelp", u"ShapeTokensHelp", u"Where tokens are kept help"},
    };
    QWidget* const owners[HelpCount]
        = {ntfy, ntfy, ntfy, telegram, telegram, webhook, webhook, webhook, this};
    for (int h = 0; h < HelpCount; ++h) {
        const HelpMarker m = makeHelpMarker(QString::fromUtf16(helps[h][0]), QString::fromUtf16(helps[h][1]),
            QString::fromUtf16(helps[h][2]), u"?"_qs, MarkerShape::Form::Circle, {22, 22}, owners[h]);
        m_helpLabels[h] = m.label;
        m_helpShapes[h] = m.shape;
    }

    // One group: its switch, captioned rows with their markers, the test button at the right.
    struct Row
    {
        const char16_t* caption;
        QWidget* field;
        Help help;
    };
    const auto fill = [this](QGroupBox* group, QCheckBox* on, std::initializer_list<Row> rows,
                          QPushButton* test) {
        auto* grid = new QGridLayout(group);
        grid->setVerticalSpacing(6);
        grid->addWidget(on, 0, 0, 1, 3);
        int r = 1;
        for (const Row& row : rows) {
            const QString name = row.field->objectName().isEmpty() ? u"row"_qs + QString::number(r)
                                                                   : row.field->objectName();
            grid->addWidget(caption(QString::fromUtf16(row.caption), name + u"Caption"_qs, group), r, 0);
            grid->addWidget(row.field, r, 1);
            grid->addWidget(m_helpShapes[row.help], r, 2);
            ++r;
        }
        auto* buttons = new QHBoxLayout;
        buttons->addStretch();
        buttons->addWidget(test);
        grid->addLayout(buttons, r, 0, 1, 3);
        // The same caption width in every group, so that the boxes of all three line up.
        grid->setColumnMinimumWidth(0, 96);
        grid->setColumnMinimumWidth(1, 320);
    };
    fill(ntfy, m_chkNtfy,
        {{u"Server", m_txtNtfyServer, NtfyServerHelp}, {u"Topic", m_txtNtfyTopic, NtfyTopicHelp},
            {u"Access token", m_txtNtfyToken, NtfyTokenHelp}},
        m_cmdTestNtfy);
    fill(telegram, m_chkTelegram,
        {{u"Bot token", m_txtTelegramToken, TelegramTokenHelp},
            {u"Chat id", m_txtTelegramChatId, TelegramChatHelp}},
        m_cmdTestTelegram);
    auto* bodyRow = new QWidget(webhook);
    bodyRow->setObjectName(u"fraWebhookBody"_qs);
    auto* bodyLayout = new QHBoxLayout(bodyRow);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->addWidget(m_optWebhookJson);
    bodyLayout->addWidget(m_optWebhookText);
    bodyLayout->addStretch();
    auto* headerRow = new QWidget(webhook);
    headerRow->setObjectName(u"fraWebhookHeader"_qs);
    auto* headerLayout = new QHBoxLayout(headerRow);
    headerLayout->setContentsMargins(0, 0, 0, 0);
    headerLayout->addWidget(m_txtWebhookHeaderName, 2);
    headerLayout->addWidget(new QLabel(u":"_qs, headerRow));
    headerLayout->addWidget(m_txtWebhookHeaderValue, 3);
    fill(webhook, m_chkWebhook,
        {{u"Address", m_txtWebhookUrl, WebhookUrlHelp}, {u"Body", bodyRow, WebhookBodyHelp},
            {u"Header", headerRow, WebhookHeaderHelp}},
        m_cmdTestWebhook);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_lblTokenStore);
    bottom->addWidget(m_helpShapes[TokensHelp]);
    bottom->addStretch();
    bottom->addWidget(m_cmdSaveSettings, 0, Qt::AlignBottom);

    auto* column = new QVBoxLayout;
    column->setSpacing(10);
    column->addWidget(ntfy);
    column->addWidget(telegram);
    column->addWidget(webhook);
    column->addLayout(bottom);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(16);
    layout->addLayout(column);
    layout->addWidget(m_txtChannelInfo);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (const Channel channel : kChannels)
        connect(m_testButtons[static_cast<std::size_t>(channel)], &QPushButton::clicked, this,
            [this, channel] { onTestClicked(channel); });
    connect(m_cmdSaveSettings, &QPushButton::clicked, this, &ChannelsWindow::onSaveSettingsClicked);
    connect(&m_secrets, &SecretLoader::finished, this, [this] {
        for (const Channel channel : kChannels) {
            if (!m_settings.channels.tokenUnread[static_cast<std::size_t>(channel)])
                m_tokenBoxes[static_cast<std::size_t>(channel)]->setText(
                    channelToken(m_settings.channels, channel));
        }
        waitForTokens(false);
    });
    for (int h = 0; h < HelpCount; ++h)
        connect(m_helpLabels[h], &ClickLabel::clicked, this, [this, h] { showHelp(static_cast<Help>(h)); });

    loadValues();
}

// A test still on its way ends silently with the window: its log line is not written.
ChannelsWindow::~ChannelsWindow() = default;

void ChannelsWindow::loadValues()
{
    setEntries(m_settings.channels);
    showTokenStore();
    waitForTokens(m_secrets.busy());
    if (!m_settings.channelsProblem.isEmpty())
        msgBox(joinLines({u"Unable to read 'channels.ini': "_qs + m_settings.channelsProblem,
                   u"Every channel is off."_qs, u"Enter settings then click <Close Settings>"_qs}),
            MsgButtons::OkOnly, u"Data Missing"_qs);
}

void ChannelsWindow::showTokenStore()
{
    m_lblTokenStore->setText(m_settings.channels.tokenStore == TokenStore::Keyring
            ? u"Tokens are kept in the desktop keyring,\nthe other settings in channels.ini in the data folder."_qs
            : u"Tokens are kept in channels.ini in the data folder,\nreadable only by your user account (no keyring)."_qs);
    m_lblTokenStore->setAccessibleName(m_lblTokenStore->text());
}

void ChannelsWindow::waitForTokens(bool waiting)
{
    for (QLineEdit* box : m_tokenBoxes) {
        box->setEnabled(!waiting);
        box->setPlaceholderText(waiting ? u"reading the keyring..."_qs : QString());
    }
    m_cmdSaveSettings->setEnabled(!waiting && !m_save);
}

void ChannelsWindow::reject()
{
    if (!m_save)
        QDialog::reject();
}

void ChannelsWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        onActivated();
}

void ChannelsWindow::onActivated()
{
    for (MarkerShape* shape : m_helpShapes)
        shape->clearFill();
    m_txtChannelInfo->setPlainText(u"Click (?) for help"_qs);
}

void ChannelsWindow::showHelp(Help help)
{
    for (int h = 0; h < HelpCount; ++h) {
        if (h == help)
            m_helpShapes[h]->setFillColor(kMarkerOrange);
        else
            m_helpShapes[h]->clearFill();
    }
    const QString texts[HelpCount]
        = {ChannelHelp::ntfyServer(), ChannelHelp::ntfyTopic(), ChannelHelp::ntfyToken(),
            ChannelHelp::telegramToken(), ChannelHelp::telegramChat(), ChannelHelp::webhookUrl(),
            ChannelHelp::webhookBody(), ChannelHelp::webhookHeader(), ChannelHelp::tokens()};
    m_txtChannelInfo->setPlainText(QString(texts[help]).replace(u"\r\n"_qs, u"\n"_qs));
}

void ChannelsWindow::onTestClicked(Channel channel)
{
    const ChannelSettings shown = entries();
    const QString name = channelName(channel);
    if (const std::optional<QString> problem = channelSettingProblem(channel, shown)) {
        beep();
        msgBox(name + u": "_qs + *problem + u'.', MsgButtons::OkOnly, u"Send test"_qs);
        return;
    }
    // The window stays usable while the message goes; the box follows once the server has answered.
    const auto slot = static_cast<std::size_t>(channel);
    m_testButtons[slot]->setEnabled(false);
    m_tests[slot] = sendToChannelLogged(channel, shown, channelTestMessage(), m_sender, m_log, m_logNumber,
        [this, slot, name](const ChannelResult& result) {
            m_testButtons[slot]->setEnabled(true);
            msgBox(result.ok ? u"The test message was sent to "_qs + name + u'.'
                             : joinLines({u"The test message to "_qs + name + u" failed:"_qs, result.error}),
                MsgButtons::OkOnly, u"Send test"_qs);
        });
}

ChannelSettings ChannelsWindow::entries() const
{
    ChannelSettings s;
    s.ntfy = {m_chkNtfy->isChecked(), m_txtNtfyServer->text().trimmed(), m_txtNtfyTopic->text().trimmed(),
        m_txtNtfyToken->text().trimmed()};
    s.telegram = {m_chkTelegram->isChecked(), m_txtTelegramToken->text().trimmed(),
        m_txtTelegramChatId->text().trimmed()};
    s.webhook = {m_chkWebhook->isChecked(), m_txtWebhookUrl->text().trimmed(),
        m_optWebhookText->isChecked() ? WebhookBody::Text : WebhookBody::Json,
        m_txtWebhookHeaderName->text().trimmed(), m_txtWebhookHeaderValue->text().trimmed()};
    return s;
}

void ChannelsWindow::setEntries(const ChannelSettings& s)
{
    m_chkNtfy->setChecked(s.ntfy.enabled);
    m_txtNtfyServer->setText(s.ntfy.server);
    m_txtNtfyTopic->setText(s.ntfy.topic);
    m_txtNtfyToken->setText(s.ntfy.token);
    m_chkTelegram->setChecked(s.telegram.enabled);
    m_txtTelegramToken->setText(s.telegram.botToken);
    m_txtTelegramChatId->setText(s.telegram.chatId);
    m_chkWebhook->setChecked(s.webhook.enabled);
    m_txtWebhookUrl->setText(s.webhook.url);
    m_optWebhookJson->setChecked(s.webhook.body == WebhookBody::Json);
    m_optWebhookText->setChecked(s.webhook.body == WebhookBody::Text);
    m_txtWebhookHeaderName->setText(s.webhook.headerName);
    m_txtWebhookHeaderValue->setText(s.webhook.headerValue);
}

void ChannelsWindow::onSaveSettingsClicked()
{
    const SaveAnswer answer = askToSave(u"Save Channel Settings ?"_qs, u"Closing Channel Settings"_qs);
    if (answer == SaveAnswer::Discard)
        reject();
    if (answer != SaveAnswer::Save)
        return;
    const ChannelSettings shown = entries();
    if (const std::optional<ChannelProblem> problem = checkChannelSettings(shown)) {
        beep();
        msgBox(problem->box.text, MsgButtons::OkOnly, problem->box.title);
        return;
    }
    // The tokens go to the keyring where one answers; the window waits for it without blocking.
    m_cmdSaveSettings->setEnabled(false);
    m_save = storeChannelTokens(m_keyring, shown, [this, shown](const KeyringResult& result) {
        ChannelSettings saved = shown;
        saved.tokenStore = result.ok() ? TokenStore::Keyring : TokenStore::File;
        QMetaObject::invokeMethod(
            this, [this, saved] { finishSave(saved); }, Qt::QueuedConnection);
    });
}

void ChannelsWindow::finishSave(const ChannelSettings& shown)
{
    m_save.reset();
    m_cmdSaveSettings->setEnabled(true);
    m_settings.channels = shown;
    showTokenStore();
    if (const std::optional<QString> error = writeChannelSettings(shown)) {
        msgBox(joinLines({u"Unable to write the 'channels.ini' file: "_qs + *error,
                   u"The settings are used until Tradevane ends."_qs, supportContactLine()}),
            MsgButtons::OkOnly, u"File Write Error"_qs);
        reject(); // hidden; the new settings stay in memory
        return;
    }
    m_settings.channelsProblem.clear();
    accept();
}

} // namespace tradevane
