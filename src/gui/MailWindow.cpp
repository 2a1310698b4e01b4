#include "gui/MailWindow.h"

#include "engine/forms/SettingsRules.h"
#include "gui/FormControls.h"

#include "engine/notify/AlertMail.h"

#include "engine/settings/KeyringSecrets.h"
#include "engine/settings/MailSettingsFile.h"
#include "engine/settings/SettingsStore.h"
#include "gui/HelpMarker.h"
#include "platform/MessageBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>

namespace tradevane {

namespace {

QLineEdit* entry(
    const QString& name, const QString& accessible, int maxLength, const QString& toolTip, QWidget* parent)
{
    QLineEdit* box = entryBox(name, accessible, parent);
    box->setMaxLength(maxLength);
    box->setToolTip(toolTip);
    return box;
}

} // namespace

MailWindow::MailWindow(SettingsStore& settings, SmtpClient& smtp, ActivityLog& log, const Keyring& keyring,
    SecretLoader& secrets, int logNumber, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_smtp(smtp)
    , m_log(log)
    , m_keyring(keyring)
    , m_secrets(secrets)
    , m_logNumber(logNumber)
{
    setObjectName(u"frmMailSettings"_qs);
    setWindowTitle(u"Tradevane - Mail Settings"_qs);

    m_txtServer = entry(u"txtServer"_qs, u"Server"_qs, MailLimit::kServer,
        u"Address of the user's SMTP service provider."_qs, this);
    m_txtMailFrom = entry(u"txtMailFrom"_qs, u"Mail From"_qs, MailLimit::kAddress,
        u"Enter your Email Address here. * - Required"_qs, this);
    m_txtSendTo = entry(u"txtSendTo"_qs, u"Send To"_qs, MailLimit::kAddress, u"Destination address"_qs, this);
    m_txtCc = entry(u"txtCC"_qs, u"CC"_qs, MailLimit::kAddress, u"'Copy to' address."_qs, this);
    m_txtMessageSubject = entry(u"txtMessageSubject"_qs, u"Subject"_qs, MailLimit::kSubject, {}, this);
    m_txtMessageSubject->setText(u"Message from Tradevane"_qs);
    m_chkPassword = named<QCheckBox>(u"Use Username and password"_qs, u"chkPassword"_qs, this);
    m_txtUserName = entry(
        u"txtUserName"_qs, u"Username"_qs, MailLimit::kUserName, u"User's SMTP mail username"_qs, this);
    m_txtPassword = entry(u"txtPassword"_qs, u"Password"_qs, MailLimit::kPassword,
        u"User's SMTP mail account password"_qs, this);
    m_txtPassword->setEchoMode(QLineEdit::Password);
    m_lblPasswordStore = new QLabel(this);
    m_lblPasswordStore->setObjectName(u"lblPasswordStore"_qs);
    m_lblPasswordStore->setWordWrap(true);
    m_chkDisableEmail = named<QCheckBox>(u"Disable Email"_qs, u"chkDisableEmail"_qs, this);
    m_cmdTestMail = named<QPushButton>(u"Send Test Email"_qs, u"cmdTestMail"_qs, this);
    m_cmdTestMail->setToolTip(u"Click to send a test message to your target account."_qs);
    m_cmdTestMail->setAutoDefault(false);
    m_cmdSaveSettings = named<QPushButton>(u"Close Settings"_qs, u"cmdSaveSettings"_qs, this);
    m_cmdSaveSettings->setAutoDefault(false);
    m_txtMailSetInfo = new QPlainTextEdit(this);
    m_txtMailSetInfo->setObjectName(u"txtMailSetInfo"_qs);
    m_txtMailSetInfo->setAccessibleName(u"Mail settings help"_qs);
    m_txtMailSetInfo->setReadOnly(true);
    m_txtMailSetInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtMailSetInfo->setFixedSize(300, 330);

    static const char16_t* helps[HelpCount][3] = {
        {u"lblServerHelp", u"ShapeServerHelp", u"Server help"},
        {u"lblMailFromHelp", u"ShapeMailFromHelp", u"Mail From help"},
        {u"lblSendToHelp", u"ShapeSendToHelp", u"Send To help"},
        {u"lblCCHelp", u"ShapeCCHelp", u"CC help"},
        {u"lblSubjectHelp", u"ShapeSubjectHelp", u"Subject help"},
        {u"lblPasswordHelp", u"ShapePasswordHelp", u"Username and password help"},
    };
    for (int h = 0; h < HelpCount; ++h) {
        const HelpMarker m = makeHelpMarker(QString::fromUtf16(helps[h][0]), QString::fromUtf16(helps[h][1]),
            QString::fromUtf16(helps[h][2]), u"?"_qs, MarkerShape::Form::Circle, {22, 22}, this);
        m_helpLabels[h] = m.label;
        m_helpShapes[h] = m.shape;
    }

    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(8);
    const std::pair<const char16_t*, QLineEdit*> rows[]
        = {{u"Server", m_txtServer}, {u"Mail From", m_txtMailFrom}, {u"Send To", m_txtSendTo},
            {u"CC", m_txtCc}, {u"Subject", m_txtMessageSubject}};
    for (int r = 0; r < 5; ++r) {
        const QString captionText = QString::fromUtf16(rows[r].first);
        grid->addWidget(caption(captionText, rows[r].second->objectName() + u"Caption"_qs, this), r, 0);
        grid->addWidget(rows[r].second, r, 1);
        grid->addWidget(m_helpShapes[r], r, 2);
    }
    grid->setRowMinimumHeight(5, 6);
    grid->addWidget(m_chkPassword, 6, 1);
    grid->addWidget(m_helpShapes[PasswordHelp], 6, 2);
    grid->addWidget(caption(u"Username"_qs, u"txtUserNameCaption"_qs, this), 7, 0);
    grid->addWidget(m_txtUserName, 7, 1);
    grid->addWidget(caption(u"Password"_qs, u"txtPasswordCaption"_qs, this), 8, 0);
    grid->addWidget(m_txtPassword, 8, 1);
    grid->addWidget(m_lblPasswordStore, 9, 1);
    grid->setRowMinimumHeight(9, 6);
    grid->addWidget(m_chkDisableEmail, 10, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdTestMail);
    buttons->addStretch();
    buttons->addWidget(m_cmdSaveSettings);
    grid->setRowStretch(11, 1);
    grid->addLayout(buttons, 12, 0, 1, 3);
    grid->setColumnMinimumWidth(1, 300);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(16);
    layout->addLayout(grid);
    layout->addWidget(m_txtMailSetInfo);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_chkPassword, &QCheckBox::toggled, this, &MailWindow::setLoginFields);
    connect(m_cmdTestMail, &QPushButton::clicked, this, &MailWindow::onTestMailClicked);
    connect(m_cmdSaveSettings, &QPushButton::clicked, this, &MailWindow::onSaveSettingsClicked);
    for (int h = 0; h < HelpCount; ++h)
        connect(m_helpLabels[h], &ClickLabel::clicked, this, [this, h] { showHelp(static_cast<Help>(h)); });
    connect(&m_secrets, &SecretLoader::finished, this, [this] {
        const MailSettings& mail = m_settings.mail;
        if (mail.usePassword && !mail.passwordUnread && m_chkPassword->isChecked())
            m_txtPassword->setText(mail.password.trimmed());
        waitForPassword(false);
    });

    loadValues();
}

MailWindow::~MailWindow()
{
    m_settings.setShownDisableEmail({});
}

void MailWindow::reject()
{
    if (!m_save)
        QDialog::reject();
}

void MailWindow::showPasswordStore()
{
    const MailSettings& mail = m_settings.mail;
    m_lblPasswordStore->setText(!mail.usePassword ? QString()
            : mail.passwordInKeyring
            ? u"The password is kept in the desktop keyring."_qs
            : u"The password is kept in mailset.dat in the data folder, readable only by your user account "
              u"(no keyring)."_qs);
    m_lblPasswordStore->setAccessibleName(m_lblPasswordStore->text());
    m_lblPasswordStore->setVisible(!m_lblPasswordStore->text().isEmpty());
}

void MailWindow::waitForPassword(bool waiting)
{
    m_chkPassword->setEnabled(!waiting);
    m_txtPassword->setEnabled(!waiting);
    m_txtPassword->setPlaceholderText(waiting ? u"reading the keyring..."_qs : QString());
    m_cmdTestMail->setEnabled(!waiting); // it waits only while the window opens
    m_cmdSaveSettings->setEnabled(!waiting && !m_save);
}

void MailWindow::loadValues()
{
    m_chkDisableEmail->setChecked(false);
    m_chkPassword->setChecked(false);
    setLoginFields();
    const std::optional<MailEntries> stored = entriesFromMailSettings(m_settings.mail);
    if (!stored) {
        msgBox(joinLines({u"Unable to read 'MailSettings' file."_qs, u"No MailSettings loaded."_qs,
                   u"Enter settings then click <Save Settings>"_qs}),
            MsgButtons::OkOnly, u"Data Missing"_qs);
        m_chkDisableEmail->setChecked(false);
        m_chkPassword->setChecked(false);
        setEntries(MailEntries {});
    } else {
        setEntries(*stored);
    }
    showPasswordStore();
    waitForPassword(m_settings.mail.passwordUnread && m_secrets.busy());
}

void MailWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Mail sent while the window is open obeys its Disable Email box as shown, saved or not.
    m_settings.setShownDisableEmail([box = m_chkDisableEmail] { return box->isChecked(); });
    if (!event->spontaneous())
        onActivated();
}

void MailWindow::hideEvent(QHideEvent* event)
{
    m_settings.setShownDisableEmail({});
    QDialog::hideEvent(event);
}

void MailWindow::onActivated()
{
    for (MarkerShape* shape : m_helpShapes)
        shape->clearFill();
    m_txtMailSetInfo->setPlainText(u"Click (?) for help"_qs);
}

void MailWindow::setLoginFields()
{
    m_txtUserName->clear();
    m_txtPassword->clear();
    const bool ticked = m_chkPassword->isChecked();
    setEntryEditable(m_txtUserName, ticked);
    setEntryEditable(m_txtPassword, ticked);
    if (ticked && isVisible())
        m_txtUserName->setFocus();
}

void MailWindow::showHelp(Help help)
{
    for (int h = 0; h < HelpCount; ++h) {
        if (h == help)
            m_helpShapes[h]->setFillColor(kMarkerOrange);
        else
            m_helpShapes[h]->clearFill();
    }
    const QString texts[HelpCount] = {MailHelp::server(), MailHelp::mailFrom(), MailHelp::sendTo(),
        MailHelp::cc(), MailHelp::subject(), MailHelp::password()};
    m_txtMailSetInfo->setPlainText(QString(texts[help]).replace(u"\r\n"_qs, u"\n"_qs));
}

void MailWindow::onTestMailClicked()
{
    // The window stays usable while the mail goes; the box follows once the server has answered.
    m_cmdTestMail->setEnabled(false);
    m_testMail = sendAlertMail(testMailText(), m_settings, m_smtp, m_log, m_logNumber, [this](MailOutcome) {
        m_cmdTestMail->setEnabled(true);
        msgBox(
            joinLines({u"A test message was sent to"_qs, u"the email handler. If all"_qs,
                u"settings are correct, the"_qs, u"message should be at the"_qs, u"destination mailbox."_qs}),
            MsgButtons::OkOnly, u"Test Mail"_qs);
    });
}

MailEntries MailWindow::entries() const
{
    return {m_chkDisableEmail->isChecked(), m_chkPassword->isChecked(), m_txtServer->text(),
        m_txtUserName->text(), m_txtPassword->text(), m_txtMailFrom->text(), m_txtSendTo->text(),
        m_txtCc->text(), m_txtMessageSubject->text()};
}

void MailWindow::setEntries(const MailEntries& e)
{
    m_chkDisableEmail->setChecked(e.disableEmail);
    m_chkPassword->setChecked(e.usePassword);
    m_txtServer->setText(e.server);
    m_txtUserName->setText(e.userName);
    m_txtPassword->setText(e.password);
    m_txtMailFrom->setText(e.mailFrom);
    m_txtSendTo->setText(e.sendTo);
    m_txtCc->setText(e.copyTo);
    m_txtMessageSubject->setText(e.subject);
}

void MailWindow::onSaveSettingsClicked()
{
    const SaveAnswer answer = askToSave(u"Save Mail Settings ?"_qs, u"Closing Mail Settings"_qs);
    if (answer == SaveAnswer::Discard)
        reject();
    if (answer != SaveAnswer::Save)
        return;
    const MailEntries e = entries();
    if (const auto problem = checkMailEntries(e)) {
        beep();
        msgBox(problem->text, MsgButtons::OkOnly, problem->title);
        return;
    }
    MailSettings shown = m_settings.mail;
    storeMailEntries(e, shown);
    shown.passwordUnread = false;
    shown.passwordInKeyring = false;
    // The password goes to the keyring where one answers; a password no longer used leaves it.
    const bool toKeyring = shown.usePassword;
    if (!toKeyring && !m_settings.mail.passwordInKeyring) {
        finishSave(shown);
        return;
    }
    m_cmdSaveSettings->setEnabled(false);
    m_save
        = storeMailPassword(m_keyring, shown.password, [this, shown, toKeyring](const KeyringResult& result) {
              MailSettings saved = shown;
              saved.passwordInKeyring = toKeyring && result.ok();
              QMetaObject::invokeMethod(
                  this, [this, saved] { finishSave(saved); }, Qt::QueuedConnection);
          });
}

void MailWindow::finishSave(const MailSettings& saved)
{
    m_save.reset();
    m_cmdSaveSettings->setEnabled(true);
    m_settings.mail = saved;
    showPasswordStore();
    const FileError error = writeMailSettings(m_settings.mail);
    if (!error.ok()) {
        msgBox(fileErrorMessage(error,
                   {u"Unable to open/write to the 'Settings' file"_qs, u"Exit the program and restart."_qs,
                       supportContactLine()}),
            MsgButtons::OkOnly, u"File Write Error"_qs);
        reject(); // hidden; the new settings stay in memory
        return;
    }
    accept();
}

} // namespace tradevane
