#include "widgets/MailWindowFixture.h"

#include "engine/forms/MailEntries.h"
#include "engine/forms/SettingsRules.h"
#include "engine/log/ActivityLog.h"
#include "engine/settings/MailSettingsFile.h"

#include <QDir>
#include <QFile>
#include <QLabel>

#include <filesystem>

using namespace tradevane;

namespace {

QByteArray text(const char* text, int width)
{
    return QByteArray(text).leftJustified(width, ' ', true);
}

// A mailset.dat record written out field by field.
QByteArray record(const char* flags, const char* server, const char* user, const char* password,
    const char* from, const char* to, const char* cc, const char* subject)
{
    return fromHex(flags) + text(server, 30) + text(user, 20) + text(password, 20) + text(from, 40)
        + text(to, 40) + text(cc, 40) + text(subject, 50) + QByteArray(600, ' ');
}

const auto kOwnerOnly = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;

std::filesystem::perms modeOf(const QString& file)
{
    return std::filesystem::status(file.toStdString()).permissions();
}

using MailWindowTest = MailWindowFixture;

TEST_F(MailWindowTest, SixChecksInOrderWithABeepAndSpacesCountingAsEmptyThenTheAddresses)
{
    load();
    EXPECT_EQ(box("txtMessageSubject")->text(), QString()); // the empty record's blank subject
    const std::pair<const char*, std::pair<const char16_t*, const char16_t*>> steps[] = {
        {"txtServer", {u"Server Name", u"Enter the server name or IP address"}},
        {"txtMailFrom", {u"Sender address", u"Enter the sender's e-mail address"}},
        {"txtSendTo", {u"Email address", u"Enter the recepient's e-mail address"}},
        {"txtMessageSubject", {u"Subject required", u"Enter a message subject"}},
        {"txtUserName", {u"Username required", u"Username required but none entered"}},
        {"txtPassword", {u"Password required", u"Password required but none entered"}},
    };
    for (const auto& [name, message] : steps) {
        if (QString::fromLatin1(name) == u"txtUserName"_qs)
            tick("chkPassword", true);
        type(name, u"   "_qs);
        EXPECT_TRUE(oneBox(save(), QString::fromUtf16(message.first), QString::fromUtf16(message.second)));
        EXPECT_EQ(m_boxes.beeps(), 1);
        EXPECT_TRUE(m_window->isVisible());
        type(name, u"x"_qs);
    }
    // Then the addresses, which go into the mail's envelope as they are.
    const std::pair<const char*, std::pair<const char16_t*, const char16_t*>> addresses[] = {
        {"txtMailFrom",
            {u"Sender address",
                u"The sender's e-mail address is not valid. Enter one address of the form name@example.com"}},
        {"txtSendTo",
            {u"Email address",
                u"A recipient's e-mail address is not valid. Enter addresses of the form name@example.com, "
                u"separated by commas"}},
        {"txtCC",
            {u"CC address",
                u"The 'Copy to' address is not valid. Enter addresses of the form name@example.com, or leave "
                u"it empty"}},
    };
    const std::pair<QString, QString> typed[] = {{u"me@example.com"_qs, u"Me <me@x.com> NOTIFY=NEVER"_qs},
        {u"a@x.com, Ann <ann@x.com>"_qs, u"a@x.com, cc@x.com> NOTIFY=NEVER"_qs},
        {u"carl@x.com"_qs, u"carl@@x.com"_qs}};
    type("txtCC", typed[2].second);
    for (int i = 0; i < 3; ++i) {
        const auto& [name, message] = addresses[i];
        type(name, typed[i].second);
        EXPECT_TRUE(oneBox(save(), QString::fromUtf16(message.first), QString::fromUtf16(message.second)));
        EXPECT_EQ(m_boxes.beeps(), 1);
        type(name, typed[i].first);
    }
    EXPECT_EQ(readFile(u"mailset.dat"_qs).size(), 0);
    EXPECT_TRUE(save().isEmpty());
    EXPECT_EQ(m_boxes.beeps(), 0);
    EXPECT_EQ(readFile(u"mailset.dat"_qs),
        record("00 00 00 00 01 00", "x", "x", "x", "me@example.com", "a@x.com, Ann <ann@x.com>", "carl@x.com",
            "x"));
}

TEST_F(MailWindowTest, UntickingTheLoginBoxEmptiesTheLoginFields)
{
    load();
    fillRequired();
    EXPECT_TRUE(box("txtUserName")->isReadOnly());
    EXPECT_EQ(box("txtUserName")->palette().color(QPalette::Base), QColor(224, 224, 224));
    tick("chkPassword", true);
    EXPECT_FALSE(box("txtUserName")->isReadOnly());
    EXPECT_EQ(
        box("txtPassword")->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));
    EXPECT_TRUE(box("txtUserName")->hasFocus());
    type("txtUserName", u"trader"_qs);
    type("txtPassword", u"secret"_qs);
    EXPECT_EQ(box("txtPassword")->echoMode(), QLineEdit::Password);
    tick("chkPassword", false);
    EXPECT_EQ(box("txtUserName")->text(), QString());
    EXPECT_EQ(box("txtPassword")->text(), QString());
    EXPECT_TRUE(box("txtPassword")->isReadOnly());
    EXPECT_TRUE(save().isEmpty());
    EXPECT_EQ(readFile(u"mailset.dat"_qs),
        record("00 00 00 00 00 00", "smtp.example.com", "", "", "me@example.com", "you@example.com", "",
            "Alert"));
}

TEST_F(MailWindowTest, TextsAtTheBoxLimitsAreSavedWholeInAnOwnerOnlyFileThatKeepsReserved)
{
    QByteArray stored = record("01 00 34 12 01 00", " old.example.com ", "user", "pw", "a@example.com",
        "b@example.com", "c@example.com", "  Hello ");
    writeFile(u"mailset.dat"_qs, stored);
    std::filesystem::permissions(path(u"mailset.dat"_qs).toStdString(),
        kOwnerOnly | std::filesystem::perms::group_read | std::filesystem::perms::others_read);
    load();
    EXPECT_EQ(box("txtServer")->text(), u"old.example.com"_qs);
    EXPECT_EQ(box("txtMessageSubject")->text(), u"Hello"_qs);
    EXPECT_TRUE(w<QCheckBox>("chkDisableEmail")->isChecked());
    EXPECT_TRUE(w<QCheckBox>("chkPassword")->isChecked());
    EXPECT_EQ(box("txtUserName")->text(), u"user"_qs);
    EXPECT_FALSE(box("txtUserName")->isReadOnly());
    EXPECT_EQ(box("txtPassword")->text(), u"pw"_qs);

    const QByteArray server = "s234567890123456789012345678.x"; // 30
    const QByteArray address = "a234567890123456789012345678901@mple.com"; // 40
    const QByteArray subject = "Subject 0123456789012345678901234567890123456789.!"; // 50
    type("txtServer", QString::fromLatin1(server + "overflow"));
    type("txtMailFrom", QString::fromLatin1(address));
    type("txtSendTo", QString::fromLatin1(address));
    type("txtCC", QString::fromLatin1(address + "z"));
    type("txtMessageSubject", QString::fromLatin1(subject));
    type("txtUserName", u"u2345678901234567890"_qs);
    type("txtPassword", u"p2345678901234567890"_qs);
    EXPECT_EQ(box("txtServer")->text().size(), 30);
    EXPECT_TRUE(save().isEmpty());

    const QByteArray expected = record("01 00 34 12 01 00", server, "u2345678901234567890",
        "p2345678901234567890", address, address, address, subject);
    EXPECT_EQ(readFile(u"mailset.dat"_qs), expected);
    EXPECT_EQ(expected.size(), 846);
    EXPECT_EQ(modeOf(path(u"mailset.dat"_qs)), kOwnerOnly);
    // No keyring answers in these tests.
    EXPECT_EQ(w<QLabel>("lblPasswordStore")->text(),
        u"The password is kept in mailset.dat in the data folder, readable only by your user account (no "
        u"keyring)."_qs);
}

TEST_F(MailWindowTest, DamagedRecordShowsDataMissingAndEmptyBoxes)
{
    writeFile(u"mailset.dat"_qs, record("07 00 00 00 01 00", "srv", "u", "p", "f", "t", "c", "s"));
    EXPECT_TRUE(oneBox(load(), u"Data Missing"_qs,
        u"Unable to read 'MailSettings' file.\r\nNo MailSettings loaded.\r\n"
        "Enter settings then click <Save Settings>"_qs));
    for (QLineEdit* edit : m_window->findChildren<QLineEdit*>())
        EXPECT_EQ(edit->text(), QString()) << edit->objectName().toStdString();
    EXPECT_FALSE(w<QCheckBox>("chkPassword")->isChecked());
    EXPECT_FALSE(w<QCheckBox>("chkDisableEmail")->isChecked());
}

TEST_F(MailWindowTest, TestMailUsesTheShownDisableSwitchWhileTheWindowIsOpen)
{
    m_app.settings.mail.disableEmail = 0;
    writeFile(u"mailset.dat"_qs, record("00 00 00 00 00 00", "srv", "", "", "f", "t", "", "s"));
    load();
    tick("chkDisableEmail", true); // shown, not saved
    click(w<QPushButton>("cmdTestMail"));
    EXPECT_FALSE(w<QPushButton>("cmdTestMail")->isEnabled()); // until the mail handler has answered
    ASSERT_TRUE(runUntil([&] { return !m_boxes.shown().isEmpty(); }));
    EXPECT_TRUE(w<QPushButton>("cmdTestMail")->isEnabled());
    // The test message went to the mail handler, which withheld it as the window shows.
    EXPECT_TRUE(readLogFile().endsWith(u" Email alert(s) prepared but witheld - Disabled by user\r\n"_qs));
    EXPECT_TRUE(oneBox(m_boxes.shown(), u"Test Mail"_qs,
        u"A test message was sent to\r\nthe email handler. If all\r\nsettings are "
        "correct, the\r\nmessage should be at the\r\ndestination mailbox."_qs));
    EXPECT_EQ(m_app.settings.mail.disableEmail, 0);

    EXPECT_TRUE(save(MsgResult::No).isEmpty());
    EXPECT_FALSE(m_app.settings.emailDisabled()); // closed: the stored switch again
    m_app.settings.mail.disableEmail = 1;
    EXPECT_TRUE(m_app.settings.emailDisabled());
}

TEST_F(MailWindowTest, HelpLabelsMarkTheirShapeAndShowTheirText)
{
    load();
    EXPECT_EQ(w<QPlainTextEdit>("txtMailSetInfo")->toPlainText(), u"Click (?) for help"_qs);
    expectHelpLabels("txtMailSetInfo",
        {{"lblServerHelp", "ShapeServerHelp", MailHelp::server()},
            {"lblMailFromHelp", "ShapeMailFromHelp", MailHelp::mailFrom()},
            {"lblSendToHelp", "ShapeSendToHelp", MailHelp::sendTo()},
            {"lblCCHelp", "ShapeCCHelp", MailHelp::cc()},
            {"lblSubjectHelp", "ShapeSubjectHelp", MailHelp::subject()},
            {"lblPasswordHelp", "ShapePasswordHelp", MailHelp::password()}});
}

TEST_F(MailWindowTest, FailedWriteHidesTheWindowAndKeepsTheValuesInMemory)
{
    open();
    ASSERT_TRUE(QDir(m_folder.path()).mkdir(u"mailset.dat"_qs));
    fillRequired();
    EXPECT_TRUE(oneFileErrorBox(save(), u"File Write Error"_qs,
        {u"Unable to open/write to the 'Settings' file"_qs, u"Exit the program and restart."_qs,
            supportContactLine()}));
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_EQ(m_app.settings.mail.server, u"smtp.example.com"_qs);
}

// With no file yet: Cancel keeps the window, No stores nothing, Yes creates the file for its
// owner only.
TEST_F(MailWindowTest, CancelKeepsTheWindowNoStoresNothingAndANewFileIsOwnerOnly)
{
    open();
    fillRequired();
    EXPECT_TRUE(save(MsgResult::Cancel).isEmpty());
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_TRUE(save(MsgResult::No).isEmpty());
    EXPECT_FALSE(m_window->isVisible());
    EXPECT_FALSE(QFile::exists(path(u"mailset.dat"_qs)));
    EXPECT_TRUE(m_app.settings.mail.server.trimmed().isEmpty());

    open();
    fillRequired();
    EXPECT_TRUE(save().isEmpty());
    EXPECT_EQ(readFile(u"mailset.dat"_qs).size(), 846);
    EXPECT_EQ(modeOf(path(u"mailset.dat"_qs)), kOwnerOnly);
}

} // namespace
