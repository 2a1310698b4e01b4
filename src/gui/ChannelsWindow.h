#pragma once

#include "engine/settings/ChannelSettings.h"
#include "platform/Pending.h"

#include <QDialog>

#include <array>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tradevane {

class ClickLabel;
class MarkerShape;
class ActivityLog;
class ChannelSender;
class SecretLoader;
class Keyring;
class SettingsStore;

// "Tradevane - Channels": the phone channels that get every alert besides the mail (ntfy,
// Telegram, a webhook), each with its own switch and test button. Edits the channel settings and
// rewrites channels.ini on a checked save; the tokens go to the desktop keyring where one answers,
// otherwise into channels.ini, and the window says which holds them.
class ChannelsWindow : public QDialog
{
    Q_OBJECT
public:
    // `logNumber` is the stock number the log's own notes name (the main window's chosen stock).
    // `tokens` is the start-up reading of the tokens from the keyring: while it runs, the token
    // boxes wait for it and nothing can be saved.
    ChannelsWindow(SettingsStore& settings, ChannelSender& sender, ActivityLog& log, const Keyring& keyring,
        SecretLoader& secrets, int logNumber, QWidget* parent = nullptr);
    ~ChannelsWindow() override;

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

    // A save is waiting for the keyring.
    bool saving() const { return m_save != nullptr; }

    // While a save waits for the keyring the window stays: what was confirmed is written.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void loadValues();
    void onActivated();
    void showHelp(Help help);
    void onTestClicked(Channel channel);
    void onSaveSettingsClicked();

    void finishSave(const ChannelSettings& shown);
    void showTokenStore();
    void waitForTokens(bool waiting);

    ChannelSettings entries() const;
    void setEntries(const ChannelSettings& entries);

    SettingsStore& m_settings;
    ChannelSender& m_sender;
    ActivityLog& m_log;
    const Keyring& m_keyring;
    SecretLoader& m_secrets;
    int m_logNumber;
    std::array<std::unique_ptr<Pending>, kChannels.size()> m_tests;
    std::unique_ptr<Pending> m_save;

    QCheckBox* m_chkNtfy;
    QLineEdit* m_txtNtfyServer;
    QLineEdit* m_txtNtfyTopic;
    QLineEdit* m_txtNtfyToken;
    QPushButton* m_cmdTestNtfy;
    QCheckBox* m_chkTelegram;
    QLineEdit* m_txtTelegramToken;
    QLineEdit* m_txtTelegramChatId;
    QPushButton* m_cmdTestTelegram;
    QCheckBox* m_chkWebhook;
    QLineEdit* m_txtWebhookUrl;
    QRadioButton* m_optWebhookJson;
    QRadioButton* m_optWebhookText;
    QLineEdit* m_txtWebhookHeaderName;
    QLineEdit* m_txtWebhookHeaderValue;
    QPushButton* m_cmdTestWebhook;
    QLabel* m_lblTokenStore;
    QPushButton* m_cmdSaveSettings;
    QPlainTextEdit* m_txtChannelInfo;
    std::array<QPushButton*, kChannels.size()> m_testButtons {};
    std::array<QLineEdit*, kChannels.size()> m_tokenBoxes {};
    std::array<ClickLabel*, HelpCount> m_helpLabels {};
    std::array<MarkerShape*, HelpCount> m_helpShapes {};
};

} // namespace tradevane
