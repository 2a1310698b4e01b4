#include "engine/notify/AlertMail.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "engine/settings/SettingsStore.h"
#include "platform/Clock.h"
#include "platform/Deferred.h"
#include "platform/ReadableText.h"
#include "platform/SmtpClient.h"

namespace tradevane {

namespace {

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

std::unique_ptr<Pending> sendAlertMail(const QString& message, const SettingsStore& settings,
    SmtpClient& smtp, ActivityLog& log, int number, std::function<void(MailOutcome)> done)
{
    const QString stamp = longTimeText(now().time());
    if (settings.emailDisabled()) {
        log.add(stamp + LogText::kEmailWithheld);
        log.appendLog(number);
        return std::make_unique<Deferred>([done] { done(MailOutcome::Withheld); });
    }
    const MailSettings& mail = settings.mail;
    if (mail.usePassword && mail.passwordUnread) {
        log.add(stamp + LogText::kEmailFailed + LogText::kMailPasswordMissing);
        log.appendLog(number);
        return std::make_unique<Deferred>([done] { done(MailOutcome::Failed); });
    }
    const MailMessage alert {mail.mailFrom.trimmed(), mail.sendTo.trimmed(), mail.copyTo.trimmed(),
        mail.subject.trimmed(), trimSpaces(message)};
    const MailAccount account {mail.server.trimmed(), mail.userName.trimmed(), mail.password.trimmed()};
    return smtp.send(alert, account, [stamp, &log, number, done](const SmtpResult& result) {
        log.add(
            stamp + (result.ok ? LogText::kEmailSent : LogText::kEmailFailed + readableLine(result.error)));
        log.appendLog(number);
        done(result.ok ? MailOutcome::Sent : MailOutcome::Failed);
    });
}

} // namespace tradevane
