#pragma once

#include "notify/MailEntries.h"

#include <QDialog>

#include <array>
#include <functional>

class ClickLabel;
class MarkerShape;
class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// "Tradevane - Mail Settings": the SMTP account, addresses and subject of the alert mail, and the
// switch that withholds it. Edits gMailSettings and rewrites mailset.dat on a checked save.
class frmMailSettings : public QDialog
{
    Q_OBJECT
public:
    explicit frmMailSettings(QWidget* parent = nullptr);
    ~frmMailSettings() override;

    enum Help { ServerHelp, MailFromHelp, SendToHelp, CCHelp, SubjectHelp, PasswordHelp, HelpCount };

    // The sender of the test mail. The alert mail handler installs its SendAlertMail here; without
    // one the test button only shows its message.

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Form_Load();
    void Form_Activate();
    void SetLoginFields();
    void ShowHelp(Help help);
    void cmdTestMail_Click();
    void cmdSaveSettings_Click();

    MailEntries entries() const;
    void setEntries(const MailEntries& entries);

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
