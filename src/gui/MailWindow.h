#pragma once

#include "engine/forms/MailEntries.h"

#include "platform/Pending.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace tradevane {

class ClickLabel;
class MarkerShape;
class ActivityLog;
class SettingsStore;
class SmtpClient;

// "Tradevane - Mail Settings": the SMTP account, addresses and subject of the alert mail, and the
// switch that withholds it. Edits the mail settings and rewrites mailset.dat on a checked save.
class MailWindow : public QDialog
{
    Q_OBJECT
public:
    // `logNumber` is the stock number the log's own notes name (the main window's chosen stock).
    MailWindow(SettingsStore& settings, SmtpClient& smtp, ActivityLog& log, int logNumber,
        QWidget* parent = nullptr);
    ~MailWindow() override;

    enum Help { ServerHelp, MailFromHelp, SendToHelp, CCHelp, SubjectHelp, PasswordHelp, HelpCount };

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void loadValues();
    void onActivated();
    void SetLoginFields();
    void ShowHelp(Help help);
    void onTestMailClicked();
    void onSaveSettingsClicked();

    MailEntries entries() const;
    void setEntries(const MailEntries& entries);

    SettingsStore& m_settings;
    SmtpClient& m_smtp;
    ActivityLog& m_log;
    int m_logNumber;
    std::unique_ptr<Pending> m_testMail;

    QLineEdit* txtServer;
    QLineEdit* txtMailFrom;
    QLineEdit* txtSendTo;
    QLineEdit* txtCC;
    QLineEdit* txtMessageSubject;
    QCheckBox* chkPassword;
    QLineEdit* txtUserName;
    QLineEdit* txtPassword;
    QCheckBox* chkDisableEmail;
    QPushButton* cmdTestMail;
    QPushButton* cmdSaveSettings;
    QPlainTextEdit* txtMailSetInfo;
    std::array<ClickLabel*, HelpCount> helpLabels {};
    std::array<MarkerShape*, HelpCount> helpShapes {};
};

} // namespace tradevane
