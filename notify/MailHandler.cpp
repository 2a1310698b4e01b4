#include "notify/MailHandler.h"

#include "core/LogTexts.h"
#include "core/MainControls.h"
#include "core/VarDef.h"
#include "notify/EmailSwitch.h"
#include "notify/UpdateLog.h"
#include "platform/Clock.h"
#include "platform/LegacyWait.h"
#include "platform/SmtpControl.h"

namespace {

// The reason goes into one log line.
QString oneLine(const QString& text)
{
    QString line = text;
    line.replace(u"\r\n"_qs, u" "_qs).replace(u'\r', u' ').replace(u'\n', u' ');
    return line.trimmed();
}

// Spaces only: line breaks at either end of the message stay.
QString trimSpaces(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ')
        ++begin;
    while (end > begin && text[end - 1] == u' ')
        --end;
    return text.mid(begin, end - begin);
}

} // namespace

MailOutcome SendAlertMail(const QString& message)
{
    const QString stamp = LongTimeText(Now().time());

    MailOutcome outcome = MailOutcome::Withheld;
    if (!EmailDisabled()) {
        SmtpControl& smtp = SMTP1();
        smtp.Port = u"25"_qs; // a port written in the server name wins
        smtp.Host = gMailSettings.Server.trimmed();
        smtp.LoginName = gMailSettings.UserName.trimmed();
        smtp.LoginPassword = gMailSettings.Password.trimmed();
        smtp.Sender = gMailSettings.MailFrom.trimmed();
        smtp.Recipients = gMailSettings.SendTo.trimmed();
        smtp.CarbonCopy = gMailSettings.CopyTo.trimmed();
        smtp.MessageSubject = gMailSettings.Subject.trimmed();
        smtp.MessageText = trimSpaces(message);
        const SmtpResult result = SendAndWait(smtp);
        if (result.ok) {
            strLogString += stamp + LogText::EmailSent;
            outcome = MailOutcome::Sent;
        } else {
            strLogString += stamp + LogText::EmailFailed + oneLine(result.error);
            outcome = MailOutcome::Failed;
        }
    } else {
        strLogString += stamp + LogText::EmailWithheld;
    }
    AppendLog();
    return outcome;
}
