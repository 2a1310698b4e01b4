#include "gui/ChannelsWindow.h"

#include "engine/forms/ChannelEntries.h"
#include "engine/notify/Channels.h"
#include "engine/settings/ChannelTokens.h"
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

QLineEdit* Entry(const QString& name, const QString& accessible, QWidget* parent, bool secret = false)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessible);
    box->setMaxLength(kMaxEntry);
    if (secret)
        box->setEchoMode(QLineEdit::Password);
    return box;
}

QPushButton* TestButton(const QString& name, Channel channel, QWidget* parent)
{
    auto* button = new QPushButton(u"Send test"_qs, parent);
    button->setObjectName(name);
    button->setAccessibleName(u"Send test to "_qs + ChannelName(channel));
    button->setToolTip(u"Sends a test message with the settings as shown, saved or not."_qs);
    button->setAutoDefault(false);
    return button;
}

} // namespace

ChannelsWindow::ChannelsWindow(SettingsStore& settings, ChannelSender& sender, ActivityLog& log,
    const Keyring& keyring, ChannelTokenLoader& tokens, int logNumber, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_sender(sender)
    , m_log(log)
    , m_keyring(keyring)
    , m_tokens(tokens)
    , m_logNumber(logNumber)
{
    setObjectName(u"frmChannels"_qs);
    setWindowTitle(u"Tradevane - Channels"_qs);

    auto* ntfy = new QGroupBox(u"ntfy"_qs, this);
    ntfy->setObjectName(u"fraNtfy"_qs);
    chkNtfy = Named<QCheckBox>(u"Send alerts to ntfy"_qs, u"chkNtfy"_qs, ntfy);
    txtNtfyServer = Entry(u"txtNtfyServer"_qs, u"Server"_qs, ntfy);
    txtNtfyTopic = Entry(u"txtNtfyTopic"_qs, u"Topic"_qs, ntfy);
    txtNtfyToken = Entry(u"txtNtfyToken"_qs, u"Access token"_qs, ntfy, true);
    cmdTestNtfy = TestButton(u"cmdTestNtfy"_qs, Channel::Ntfy, ntfy);

    auto* telegram = new QGroupBox(u"Telegram"_qs, this);
    telegram->setObjectName(u"fraTelegram"_qs);
    chkTelegram = Named<QCheckBox>(u"Send alerts to Telegram"_qs, u"chkTelegram"_qs, telegram);
    txtTelegramToken = Entry(u"txtTelegramToken"_qs, u"Bot token"_qs, telegram, true);
    txtTelegramChatId = Entry(u"txtTelegramChatId"_qs, u"Chat id"_qs, telegram);
    cmdTestTelegram = TestButton(u"cmdTestTelegram"_qs, Channel::Telegram, telegram);

    auto* webhook = new QGroupBox(u"Webhook"_qs, this);
    webhook->setObjectName(u"fraWebhook"_qs);
    chkWebhook = Named<QCheckBox>(u"Send alerts to the webhook"_qs, u"chkWebhook"_qs, webhook);
    txtWebhookUrl = Entry(u"txtWebhookUrl"_qs, u"Address"_qs, webhook);
    optWebhookJson = Named<QRadioButton>(u"JSON"_qs, u"optWebhookJson"_qs, webhook, u"JSON body"_qs);
    optWebhookText
        = Named<QRadioButton>(u"Plain text"_qs, u"optWebhookText"_qs, webhook, u"Plain text body"_qs);
    auto* bodyKinds = new QButtonGroup(webhook);
    bodyKinds->addButton(optWebhookJson);
    bodyKinds->addButton(optWebhookText);
    txtWebhookHeaderName = Entry(u"txtWebhookHeaderName"_qs, u"Header name"_qs, webhook);
    txtWebhookHeaderName->setPlaceholderText(u"none"_qs);
    txtWebhookHeaderValue = Entry(u"txtWebhookHeaderValue"_qs, u"Header value"_qs, webhook, true);
    cmdTestWebhook = TestButton(u"cmdTestWebhook"_qs, Channel::Webhook, webhook);
    testButtons = {cmdTestNtfy, cmdTestTelegram, cmdTestWebhook};
    tokenBoxes = {txtNtfyToken, txtTelegramToken, txtWebhookHeaderValue};

    lblTokenStore = new QLabel(this);
    lblTokenStore->setObjectName(u"lblTokenStore"_qs);
    cmdSaveSettings = Named<QPushButton>(u"Close Settings"_qs, u"cmdSaveSettings"_qs, this);
    cmdSaveSettings->setAutoDefault(false);
    txtChannelInfo = new QPlainTextEdit(this);
    txtChannelInfo->setObjectName(u"txtChannelInfo"_qs);
    txtChannelInfo->setAccessibleName(u"Channel settings help"_qs);
    txtChannelInfo->setReadOnly(true);
    txtChannelInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtChannelInfo->setFixedWidth(300);

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
        const HelpMarker m = MakeHelpMarker(QString::fromUtf16(helps[h][0]), QString::fromUtf16(helps[h][1]),
            QString::fromUtf16(helps[h][2]), u"?"_qs, MarkerShape::Form::Circle, {22, 22}, owners[h]);
        helpLabels[h] = m.label;
        helpShapes[h] = m.shape;
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
            grid->addWidget(Caption(QString::fromUtf16(row.caption), name + u"Caption"_qs, group), r, 0);
            grid->addWidget(row.field, r, 1);
            grid->addWidget(helpShapes[row.help], r, 2);
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
    fill(ntfy, chkNtfy,
        {{u"Server", txtNtfyServer, NtfyServerHelp}, {u"Topic", txtNtfyTopic, NtfyTopicHelp},
            {u"Access token", txtNtfyToken, NtfyTokenHelp}},
        cmdTestNtfy);
    fill(telegram, chkTelegram,
        {{u"Bot token", txtTelegramToken, TelegramTokenHelp},
            {u"Chat id", txtTelegramChatId, TelegramChatHelp}},
        cmdTestTelegram);
    auto* bodyRow = new QWidget(webhook);
    bodyRow->setObjectName(u"fraWebhookBody"_qs);
    auto* bodyLayout = new QHBoxLayout(bodyRow);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->addWidget(optWebhookJson);
    bodyLayout->addWidget(optWebhookText);
    bodyLayout->addStretch();
    auto* headerRow = new QWidget(webhook);
    headerRow->setObjectName(u"fraWebhookHeader"_qs);
    auto* headerLayout = new QHBoxLayout(headerRow);
    headerLayout->setContentsMargins(0, 0, 0, 0);
    headerLayout->addWidget(txtWebhookHeaderName, 2);
    headerLayout->addWidget(new QLabel(u":"_qs, headerRow));
    headerLayout->addWidget(txtWebhookHeaderValue, 3);
    fill(webhook, chkWebhook,
        {{u"Address", txtWebhookUrl, WebhookUrlHelp}, {u"Body", bodyRow, WebhookBodyHelp},
            {u"Header", headerRow, WebhookHeaderHelp}},
        cmdTestWebhook);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblTokenStore);
    bottom->addWidget(helpShapes[TokensHelp]);
    bottom->addStretch();
    bottom->addWidget(cmdSaveSettings, 0, Qt::AlignBottom);

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
    layout->addWidget(txtChannelInfo);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    for (const Channel channel : kChannels)
        connect(testButtons[static_cast<std::size_t>(channel)], &QPushButton::clicked, this,
            [this, channel] { onTestClicked(channel); });
    connect(cmdSaveSettings, &QPushButton::clicked, this, &ChannelsWindow::onSaveSettingsClicked);
    connect(&m_tokens, &ChannelTokenLoader::finished, this, [this] {
        for (const Channel channel : kChannels) {
            if (!m_settings.channels.tokenUnread[static_cast<std::size_t>(channel)])
                tokenBoxes[static_cast<std::size_t>(channel)]->setText(
                    ChannelToken(m_settings.channels, channel));
        }
        waitForTokens(false);
    });
    for (int h = 0; h < HelpCount; ++h)
        connect(helpLabels[h], &ClickLabel::clicked, this, [this, h] { ShowHelp(static_cast<Help>(h)); });

    loadValues();
}

// A test still on its way ends silently with the window: its log line is not written.
ChannelsWindow::~ChannelsWindow() = default;

void ChannelsWindow::loadValues()
{
    setEntries(m_settings.channels);
    showTokenStore();
    waitForTokens(m_tokens.busy());
    if (!m_settings.channelsProblem.isEmpty())
        MsgBox(JoinLines({u"Unable to read 'channels.ini': "_qs + m_settings.channelsProblem,
                   u"Every channel is off."_qs, u"Enter settings then click <Close Settings>"_qs}),
            MsgButtons::OkOnly, u"Data Missing"_qs);
}

void ChannelsWindow::showTokenStore()
{
    lblTokenStore->setText(m_settings.channels.tokenStore == TokenStore::Keyring
            ? u"Tokens are kept in the desktop keyring,\nthe other settings in channels.ini in the data folder."_qs
            : u"Tokens are kept in channels.ini in the data folder,\nreadable only by your user account (no keyring)."_qs);
    lblTokenStore->setAccessibleName(lblTokenStore->text());
}

void ChannelsWindow::waitForTokens(bool waiting)
{
    for (QLineEdit* box : tokenBoxes) {
        box->setEnabled(!waiting);
        box->setPlaceholderText(waiting ? u"reading the keyring..."_qs : QString());
    }
    cmdSaveSettings->setEnabled(!waiting && !m_save);
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
    for (MarkerShape* shape : helpShapes)
        shape->clearFill();
    txtChannelInfo->setPlainText(u"Click (?) for help"_qs);
}

void ChannelsWindow::ShowHelp(Help help)
{
    for (int h = 0; h < HelpCount; ++h) {
        if (h == help)
            helpShapes[h]->setFillColor(kMarkerOrange);
        else
            helpShapes[h]->clearFill();
    }
    const QString texts[HelpCount]
        = {ChannelHelp::NtfyServer(), ChannelHelp::NtfyTopic(), ChannelHelp::NtfyToken(),
            ChannelHelp::TelegramToken(), ChannelHelp::TelegramChat(), ChannelHelp::WebhookUrl(),
            ChannelHelp::WebhookBody(), ChannelHelp::WebhookHeader(), ChannelHelp::Tokens()};
    txtChannelInfo->setPlainText(QString(texts[help]).replace(u"\r\n"_qs, u"\n"_qs));
}

void ChannelsWindow::onTestClicked(Channel channel)
{
    const ChannelSettings shown = entries();
    const QString name = ChannelName(channel);
    if (const std::optional<QString> problem = ChannelSettingProblem(channel, shown)) {
        Beep();
        MsgBox(name + u": "_qs + *problem + u'.', MsgButtons::OkOnly, u"Send test"_qs);
        return;
    }
    // The window stays usable while the message goes; the box follows once the server has answered.
    const auto slot = static_cast<std::size_t>(channel);
    testButtons[slot]->setEnabled(false);
    m_tests[slot] = SendToChannelLogged(channel, shown, ChannelTestMessage(), m_sender, m_log, m_logNumber,
        [this, slot, name](const ChannelResult& result) {
            testButtons[slot]->setEnabled(true);
            MsgBox(result.ok ? u"The test message was sent to "_qs + name + u'.'
                             : JoinLines({u"The test message to "_qs + name + u" failed:"_qs, result.error}),
                MsgButtons::OkOnly, u"Send test"_qs);
        });
}

ChannelSettings ChannelsWindow::entries() const
{
    ChannelSettings s;
    s.ntfy = {chkNtfy->isChecked(), txtNtfyServer->text().trimmed(), txtNtfyTopic->text().trimmed(),
        txtNtfyToken->text().trimmed()};
    s.telegram
        = {chkTelegram->isChecked(), txtTelegramToken->text().trimmed(), txtTelegramChatId->text().trimmed()};
    s.webhook = {chkWebhook->isChecked(), txtWebhookUrl->text().trimmed(),
        optWebhookText->isChecked() ? WebhookBody::Text : WebhookBody::Json,
        txtWebhookHeaderName->text().trimmed(), txtWebhookHeaderValue->text().trimmed()};
    return s;
}

void ChannelsWindow::setEntries(const ChannelSettings& s)
{
    chkNtfy->setChecked(s.ntfy.enabled);
    txtNtfyServer->setText(s.ntfy.server);
    txtNtfyTopic->setText(s.ntfy.topic);
    txtNtfyToken->setText(s.ntfy.token);
    chkTelegram->setChecked(s.telegram.enabled);
    txtTelegramToken->setText(s.telegram.botToken);
    txtTelegramChatId->setText(s.telegram.chatId);
    chkWebhook->setChecked(s.webhook.enabled);
    txtWebhookUrl->setText(s.webhook.url);
    optWebhookJson->setChecked(s.webhook.body == WebhookBody::Json);
    optWebhookText->setChecked(s.webhook.body == WebhookBody::Text);
    txtWebhookHeaderName->setText(s.webhook.headerName);
    txtWebhookHeaderValue->setText(s.webhook.headerValue);
}

void ChannelsWindow::onSaveSettingsClicked()
{
    const SaveAnswer answer = AskToSave(u"Save Channel Settings ?"_qs, u"Closing Channel Settings"_qs);
    if (answer == SaveAnswer::Discard)
        reject();
    if (answer != SaveAnswer::Save)
        return;
    const ChannelSettings shown = entries();
    if (const std::optional<ChannelProblem> problem = CheckChannelSettings(shown)) {
        Beep();
        MsgBox(problem->box.text, MsgButtons::OkOnly, problem->box.title);
        return;
    }
    // The tokens go to the keyring where one answers; the window waits for it without blocking.
    cmdSaveSettings->setEnabled(false);
    m_save = StoreChannelTokens(m_keyring, shown, [this, shown](const KeyringResult& result) {
        ChannelSettings saved = shown;
        saved.tokenStore = result.ok() ? TokenStore::Keyring : TokenStore::File;
        QMetaObject::invokeMethod(
            this, [this, saved] { finishSave(saved); }, Qt::QueuedConnection);
    });
}

void ChannelsWindow::finishSave(const ChannelSettings& shown)
{
    m_save.reset();
    cmdSaveSettings->setEnabled(true);
    m_settings.channels = shown;
    showTokenStore();
    if (const std::optional<QString> error = WriteChannelSettings(shown)) {
        MsgBox(JoinLines({u"Unable to write the 'channels.ini' file: "_qs + *error,
                   u"The settings are used until Tradevane ends."_qs, SupportContactLine()}),
            MsgButtons::OkOnly, u"File Write Error"_qs);
        reject(); // hidden; the new settings stay in memory
        return;
    }
    m_settings.channelsProblem.clear();
    accept();
}

} // namespace tradevane
