#pragma once

#include "notify/ChannelSettings.h"
#include "platform/Pending.h"

#include <QDialog>

#include <array>
#include <memory>

class ClickLabel;
class MarkerShape;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class ActivityLog;
class ChannelSender;
class SettingsStore;

// "Tradevane - Channels": the phone channels that get every alert besides the mail (ntfy,
// Telegram, a webhook), each with its own switch and test button. Edits the channel settings and
// rewrites channels.ini on a checked save.
class frmChannels : public QDialog
{
    Q_OBJECT
public:
    // `logNumber` is the stock number the log's own notes name (the main window's chosen stock).
    frmChannels(SettingsStore& settings, ChannelSender& sender, ActivityLog& log, int logNumber,
        QWidget* parent = nullptr);
    ~frmChannels() override;

    enum Help {
        NtfyServerHelp,
        NtfyTopicHelp,
        NtfyTokenHelp,
        TelegramTokenHelp,
        TelegramChatHelp,
        WebhookUrlHelp,
        WebhookBodyHelp,
        WebhookHeaderHelp,
        TokensHelp,
        HelpCount
    };

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load();
    void Form_Activate();
    void ShowHelp(Help help);
    void cmdTest_Click(Channel channel);
    void cmdSaveSettings_Click();

    ChannelSettings entries() const;
    void setEntries(const ChannelSettings& entries);

    SettingsStore& m_settings;
    ChannelSender& m_sender;
    ActivityLog& m_log;
    int m_logNumber;
    std::array<std::unique_ptr<Pending>, kChannels.size()> m_tests;

    QCheckBox* chkNtfy;
    QLineEdit* txtNtfyServer;
    QLineEdit* txtNtfyTopic;
    QLineEdit* txtNtfyToken;
    QPushButton* cmdTestNtfy;
    QCheckBox* chkTelegram;
    QLineEdit* txtTelegramToken;
    QLineEdit* txtTelegramChatId;
    QPushButton* cmdTestTelegram;
    QCheckBox* chkWebhook;
    QLineEdit* txtWebhookUrl;
    QRadioButton* optWebhookJson;
    QRadioButton* optWebhookText;
    QLineEdit* txtWebhookHeaderName;
    QLineEdit* txtWebhookHeaderValue;
    QPushButton* cmdTestWebhook;
    QLabel* lblTokenStore;
    QPushButton* cmdSaveSettings;
    QPlainTextEdit* txtChannelInfo;
    std::array<QPushButton*, kChannels.size()> testButtons {};
    std::array<ClickLabel*, HelpCount> helpLabels {};
    std::array<MarkerShape*, HelpCount> helpShapes {};
};
