#include "engine/forms/MailEntries.h"

#include "platform/MessageBox.h"
#include "platform/SmtpClient.h"

#include <algorithm>

namespace tradevane {

namespace {

bool blank(const QString& text)
{
    return text.trimmed().isEmpty();
}

// Every address of a comma-separated list is one the mail envelope can carry.
bool allMailAddresses(const QString& list)
{
    const QStringList addresses = list.split(u',');
    return std::all_of(addresses.begin(), addresses.end(),
        [](const QString& a) { return blank(a) || Smtp::isMailAddress(a); });
}

} // namespace

std::optional<EntryProblem> checkMailEntries(const MailEntries& e)
{
    if (blank(e.server))
        return EntryProblem {u"Server Name"_qs, u"Enter the server name or IP address"_qs};
    if (blank(e.mailFrom))
        return EntryProblem {u"Sender address"_qs, u"Enter the sender's e-mail address"_qs};
    if (blank(e.sendTo))
        return EntryProblem {u"Email address"_qs, u"Enter the recepient's e-mail address"_qs};
    if (blank(e.subject))
        return EntryProblem {u"Subject required"_qs, u"Enter a message subject"_qs};
    if (e.usePassword && blank(e.userName))
        return EntryProblem {u"Username required"_qs, u"Username required but none entered"_qs};
    if (e.usePassword && blank(e.password))
        return EntryProblem {u"Password required"_qs, u"Password required but none entered"_qs};
    // The addresses go into the mail's envelope as they are: each must be a plain address.
    if (!Smtp::isMailAddress(e.mailFrom))
        return EntryProblem {u"Sender address"_qs,
            u"The sender's e-mail address is not valid. Enter one address of the form name@example.com"_qs};
    if (!allMailAddresses(e.sendTo))
        return EntryProblem {u"Email address"_qs,
            u"A recipient's e-mail address is not valid. Enter addresses of the form name@example.com, "
            u"separated by commas"_qs};
    if (!allMailAddresses(e.copyTo))
        return EntryProblem {u"CC address"_qs,
            u"The 'Copy to' address is not valid. Enter addresses of the form name@example.com, or leave it "
            u"empty"_qs};
    return std::nullopt;
}

std::optional<MailEntries> entriesFromMailSettings(const MailSettings& s)
{
    if (!s.switchesClear)
        return std::nullopt;
    MailEntries e;
    e.disableEmail = s.disableEmail;
    e.usePassword = s.usePassword;
    e.server = s.server.trimmed();
    e.userName = s.userName.trimmed();
    e.password = s.password.trimmed();
    e.mailFrom = s.mailFrom.trimmed();
    e.sendTo = s.sendTo.trimmed();
    e.copyTo = s.copyTo.trimmed();
    e.subject = s.subject.trimmed();
    return e;
}

void storeMailEntries(const MailEntries& e, MailSettings& s)
{
    s.disableEmail = e.disableEmail;
    s.usePassword = e.usePassword;
    s.switchesClear = true;
    s.server = e.server.trimmed();
    s.userName = e.usePassword ? e.userName.trimmed() : QString();
    s.password = e.usePassword ? e.password.trimmed() : QString();
    s.mailFrom = e.mailFrom.trimmed();
    s.sendTo = e.sendTo.trimmed();
    s.copyTo = e.copyTo.trimmed();
    s.subject = e.subject.trimmed();
}

QString testMailText()
{
    return u"This is a test message from Tradevane"_qs;
}

namespace MailHelp {

QString server()
{
    return joinLines({
        u"Enter the domain name of the 'outgoing' SMTP mail server to which you subscribe."_qs,
        u"For example:   smtp.example.com "_qs,
        QString(19, u' ') + u"or  mail.example.net"_qs,
        u"You may have to contact your service provider to get this information, or find it in the current "
        u"settings of your existing mail client application."_qs,
        u"A port may follow the server name after a colon, as in smtp.example.com:587 or "
        u"smtp.example.com:465; "
        u"without one, port 25 is used."_qs,
        u"Many providers want an app password (made in your account's security settings) instead of your "
        u"usual password."_qs,
    });
}

QString mailFrom()
{
    return u"Enter your email address here. This MUST be the address registered with the SMTP domain server "
           u"that "
           u"you entered above. This will also be the name shown at the recieving end as the sender."_qs;
}

QString sendTo()
{
    return joinLines(
        {u"Enter the address where you intend to send the email alerts. If you have more than one "
         u"address, then separate them with a comma."_qs,
            u"Eg: alerts@example.com, trader@example.org"_qs});
}

QString cc()
{
    return u"If you wish to send a 'Carbon Copy' of the message, then enter the email addres of the "
           u"recipient "
           u"here."_qs;
}

QString subject()
{
    return joinLines({u"Enter the subject of the message."_qs, u"EG: Message from Tradevane"_qs});
}

QString password()
{
    return joinLines(
        {u"If your SMTP host requires a username and password for email system access, then select "
         u"the check box to enable the username and password inputs. These will automatically be "
         u"used by the system to log-in when mail is sent."_qs,
            u"NOTE: Most SMTP servers do not require this."_qs});
}

} // namespace MailHelp

} // namespace tradevane
