#pragma once

#include "engine/forms/MailEntries.h"

#include "platform/Pending.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tradevane {

class ActivityLog;
class ClickLabel;
class Keyring;
class MarkerShape;
class SecretLoader;
class SettingsStore;
class SmtpClient;
struct MailSettings;

// "Tradevane - Mail Settings": the SMTP account, addresses and subject of the alert mail, and the
// switch that withholds it. Edits the mail settings and rewrites mailset.dat on a checked save;
// the password goes to the desktop keyring where one answers, and the window waits for it without
// blocking.
class MailWindow : public QDialog
{
    Q_OBJECT
public:
    // `logNumber` is the stock number the log's own notes name (the main window's chosen stock).
    MailWindow(SettingsStore& settings, SmtpClient& smtp, ActivityLog& log, const Keyring& keyring,
        SecretLoader& secrets, int logNumber, QWidget* parent = nullptr);
    ~MailWindow() override;

    // A save is waiting for the keyring; the window cannot be closed meanwhile.
    bool saving() const { return m_save != nullptr; }
    void reject() override;

    enum Help { ServerHelp, MailFromHelp, SendToHelp, CCHelp, SubjectHelp, PasswordHelp, HelpCount };

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void loadValues();
    void onActivated();
    void setLoginFields();
    void showHelp(Help help);
    void onTestMailClicked();
    void onSaveSettingsClicked();
    void finishSave(const MailSettings& saved);
    void showPasswordStore();
    // While the password is still being read from the keyring it can be neither edited nor used.
    void waitForPassword(bool waiting);

    MailEntries entries() const;
    void setEntries(const MailEntries& entries);

    SettingsStore& m_settings;
    SmtpClient& m_smtp;
    ActivityLog& m_log;
    const Keyring& m_keyring;
    SecretLoader& m_secrets;
    int m_logNumber;
    std::unique_ptr<Pending> m_testMail;
    std::unique_ptr<Pending> m_save;

    QLineEdit* m_txtServer;
    QLineEdit* m_txtMailFrom;
    QLineEdit* m_txtSendTo;
    QLineEdit* m_txtCc;
    QLineEdit* m_txtMessageSubject;
    QCheckBox* m_chkPassword;
    QLineEdit* m_txtUserName;
    QLineEdit* m_txtPassword;
    QLabel* m_lblPasswordStore;
    QCheckBox* m_chkDisableEmail;
    QPushButton* m_cmdTestMail;
    QPushButton* m_cmdSaveSettings;
    QPlainTextEdit* m_txtMailSetInfo;
    std::array<ClickLabel*, HelpCount> m_helpLabels {};
    std::array<MarkerShape*, HelpCount> m_helpShapes {};
};

} // namespace tradevane
