#include "gui/MailWindow.h"

#include "engine/forms/SettingsRules.h"
#include "gui/FormControls.h"

#include "engine/notify/AlertMail.h"

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

QLineEdit* Entry(
    const QString& name, const QString& accessible, int maxLength, const QString& toolTip, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessible);
    box->setMaxLength(maxLength);
    box->setToolTip(toolTip);
    return box;
}

} // namespace

MailWindow::MailWindow(
    SettingsStore& settings, SmtpClient& smtp, ActivityLog& log, int logNumber, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_smtp(smtp)
    , m_log(log)
    , m_logNumber(logNumber)
{
    setObjectName(u"frmMailSettings"_qs);
    setWindowTitle(u"Tradevane - Mail Settings"_qs);

    txtServer = Entry(u"txtServer"_qs, u"Server"_qs, MailLimit::Server,
        u"Address of the user's SMTP service provider."_qs, this);
    txtMailFrom = Entry(u"txtMailFrom"_qs, u"Mail From"_qs, MailLimit::Address,
        u"Enter your Email Address here. * - Required"_qs, this);
    txtSendTo = Entry(u"txtSendTo"_qs, u"Send To"_qs, MailLimit::Address, u"Destination address"_qs, this);
    txtCC = Entry(u"txtCC"_qs, u"CC"_qs, MailLimit::Address, u"'Copy to' address."_qs, this);
    txtMessageSubject = Entry(u"txtMessageSubject"_qs, u"Subject"_qs, MailLimit::Subject, {}, this);
    txtMessageSubject->setText(u"Message from Tradevane"_qs);
    chkPassword = Named<QCheckBox>(u"Use Username and password"_qs, u"chkPassword"_qs, this);
    txtUserName = Entry(
        u"txtUserName"_qs, u"Username"_qs, MailLimit::UserName, u"User's SMTP mail username"_qs, this);
    txtPassword = Entry(u"txtPassword"_qs, u"Password"_qs, MailLimit::Password,
        u"User's SMTP mail account password"_qs, this);
    txtPassword->setEchoMode(QLineEdit::Password);
    chkDisableEmail = Named<QCheckBox>(u"Disable Email"_qs, u"chkDisableEmail"_qs, this);
    cmdTestMail = Named<QPushButton>(u"Send Test Email"_qs, u"cmdTestMail"_qs, this);
    cmdTestMail->setToolTip(u"Click to send a test message to your target account."_qs);
    cmdTestMail->setAutoDefault(false);
    cmdSaveSettings = Named<QPushButton>(u"Close Settings"_qs, u"cmdSaveSettings"_qs, this);
    cmdSaveSettings->setAutoDefault(false);
    txtMailSetInfo = new QPlainTextEdit(this);
    txtMailSetInfo->setObjectName(u"txtMailSetInfo"_qs);
    txtMailSetInfo->setAccessibleName(u"Mail settings help"_qs);
    txtMailSetInfo->setReadOnly(true);
    txtMailSetInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtMailSetInfo->setFixedSize(300, 330);

    static const char16_t* helps[HelpCount][3] = {
        {u"lblServerHelp", u"ShapeServerHelp", u"Server help"},
        {u"lblMailFromHelp", u"ShapeMailFromHelp", u"Mail From help"},
        {u"lblSendToHelp", u"ShapeSendToHelp", u"Send To help"},
        {u"lblCCHelp", u"ShapeCCHelp", u"CC help"},
        {u"lblSubjectHelp", u"ShapeSubjectHelp", u"Subject help"},
        {u"lblPasswordHelp", u"ShapePasswordHelp", u"Username and password help"},
    };
    for (int h = 0; h < HelpCount; ++h) {
        const HelpMarker m = MakeHelpMarker(QString::fromUtf16(helps[h][0]), QString::fromUtf16(helps[h][1]),
            QString::fromUtf16(helps[h][2]), u"?"_qs, MarkerShape::Form::Circle, {22, 22}, this);
        helpLabels[h] = m.label;
        helpShapes[h] = m.shape;
    }

    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(8);
    const std::pair<const char16_t*, QLineEdit*> rows[]
        = {{u"Server", txtServer}, {u"Mail From", txtMailFrom}, {u"Send To", txtSendTo}, {u"CC", txtCC},
            {u"Subject", txtMessageSubject}};
    for (int r = 0; r < 5; ++r) {
        const QString caption = QString::fromUtf16(rows[r].first);
        grid->addWidget(Caption(caption, rows[r].second->objectName() + u"Caption"_qs, this), r, 0);
        grid->addWidget(rows[r].second, r, 1);
        grid->addWidget(helpShapes[r], r, 2);
    }
    grid->setRowMinimumHeight(5, 6);
    grid->addWidget(chkPassword, 6, 1);
    grid->addWidget(helpShapes[PasswordHelp], 6, 2);
    grid->addWidget(Caption(u"Username"_qs, u"txtUserNameCaption"_qs, this), 7, 0);
    grid->addWidget(txtUserName, 7, 1);
    grid->addWidget(Caption(u"Password"_qs, u"txtPasswordCaption"_qs, this), 8, 0);
    grid->addWidget(txtPassword, 8, 1);
    grid->setRowMinimumHeight(9, 6);
    grid->addWidget(chkDisableEmail, 10, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdTestMail);
    buttons->addStretch();
    buttons->addWidget(cmdSaveSettings);
    grid->setRowStretch(11, 1);
    grid->addLayout(buttons, 12, 0, 1, 3);
    grid->setColumnMinimumWidth(1, 300);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(16);
    layout->addLayout(grid);
    layout->addWidget(txtMailSetInfo);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(chkPassword, &QCheckBox::toggled, this, &MailWindow::SetLoginFields);
    connect(cmdTestMail, &QPushButton::clicked, this, &MailWindow::onTestMailClicked);
    connect(cmdSaveSettings, &QPushButton::clicked, this, &MailWindow::onSaveSettingsClicked);
    for (int h = 0; h < HelpCount; ++h)
        connect(helpLabels[h], &ClickLabel::clicked, this, [this, h] { ShowHelp(static_cast<Help>(h)); });

    loadValues();
}

MailWindow::~MailWindow()
{
    m_settings.SetShownDisableEmail({});
}

void MailWindow::loadValues()
{
    chkDisableEmail->setChecked(false);
    chkPassword->setChecked(false);
    SetLoginFields();
    const std::optional<MailEntries> stored = EntriesFromMailSettings(m_settings.mail);
    if (!stored) {
        MsgBox(JoinLines({u"Unable to read 'MailSettings' file."_qs, u"No MailSettings loaded."_qs,
                   u"Enter settings then click <Save Settings>"_qs}),
            MsgButtons::OkOnly, u"Data Missing"_qs);
        chkDisableEmail->setChecked(false);
        chkPassword->setChecked(false);
        setEntries(MailEntries {});
        return;
    }
    setEntries(*stored);
}

void MailWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Mail sent while the window is open obeys its Disable Email box as shown, saved or not.
    m_settings.SetShownDisableEmail([box = chkDisableEmail] { return box->isChecked(); });
    if (!event->spontaneous())
        onActivated();
}

void MailWindow::hideEvent(QHideEvent* event)
{
    m_settings.SetShownDisableEmail({});
    QDialog::hideEvent(event);
}

void MailWindow::onActivated()
{
    for (MarkerShape* shape : helpShapes)
        shape->clearFill();
    txtMailSetInfo->setPlainText(u"Click (?) for help"_qs);
}

void MailWindow::SetLoginFields()
{
    txtUserName->clear();
    txtPassword->clear();
    const bool ticked = chkPassword->isChecked();
    SetEntryEditable(txtUserName, ticked);
    SetEntryEditable(txtPassword, ticked);
    if (ticked && isVisible())
        txtUserName->setFocus();
}

void MailWindow::ShowHelp(Help help)
{
    for (int h = 0; h < HelpCount; ++h) {
        if (h == help)
            helpShapes[h]->setFillColor(kMarkerOrange);
        else
            helpShapes[h]->clearFill();
    }
    const QString texts[HelpCount] = {MailHelp::Server(), MailHelp::MailFrom(), MailHelp::SendTo(),
        MailHelp::CC(), MailHelp::Subject(), MailHelp::Password()};
    txtMailSetInfo->setPlainText(QString(texts[help]).replace(u"\r\n"_qs, u"\n"_qs));
}

void MailWindow::onTestMailClicked()
{
    // The window stays usable while the mail goes; the box follows once the server has answered.
    cmdTestMail->setEnabled(false);
    m_testMail = SendAlertMail(TestMailText(), m_settings, m_smtp, m_log, m_logNumber, [this](MailOutcome) {
        cmdTestMail->setEnabled(true);
        MsgBox(
            JoinLines({u"A test message was sent to"_qs, u"the email handler. If all"_qs,
                u"settings are correct, the"_qs, u"message should be at the"_qs, u"destination mailbox."_qs}),
            MsgButtons::OkOnly, u"Test Mail"_qs);
    });
}

MailEntries MailWindow::entries() const
{
    return {chkDisableEmail->isChecked(), chkPassword->isChecked(), txtServer->text(), txtUserName->text(),
        txtPassword->text(), txtMailFrom->text(), txtSendTo->text(), txtCC->text(),
        txtMessageSubject->text()};
}

void MailWindow::setEntries(const MailEntries& e)
{
    chkDisableEmail->setChecked(e.disableEmail);
    chkPassword->setChecked(e.usePassword);
    txtServer->setText(e.server);
    txtUserName->setText(e.userName);
    txtPassword->setText(e.password);
    txtMailFrom->setText(e.mailFrom);
    txtSendTo->setText(e.sendTo);
    txtCC->setText(e.copyTo);
    txtMessageSubject->setText(e.subject);
}

void MailWindow::onSaveSettingsClicked()
{
    const SaveAnswer answer = AskToSave(u"Save Mail Settings ?"_qs, u"Closing Mail Settings"_qs);
    if (answer == SaveAnswer::Discard)
        reject();
    if (answer != SaveAnswer::Save)
        return;
    const MailEntries e = entries();
    if (const auto problem = CheckMailEntries(e)) {
        Beep();
        MsgBox(problem->text, MsgButtons::OkOnly, problem->title);
        return;
    }
    StoreMailEntries(e, m_settings.mail);
    const FileError error = WriteMailSettings(m_settings.mail);
    if (!error.ok()) {
        MsgBox(FileErrorMessage(error,
                   {u"Unable to open/write to the 'Settings' file"_qs, u"Exit the program and restart."_qs,
                       SupportContactLine()}),
            MsgButtons::OkOnly, u"File Write Error"_qs);
        reject(); // hidden; the new settings stay in memory
        return;
    }
    accept();
}

} // namespace tradevane
