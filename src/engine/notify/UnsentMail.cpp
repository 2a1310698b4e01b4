#include "engine/notify/UnsentMail.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "platform/ProgramFolder.h"
#include "platform/RecordFile.h"
#include "platform/SettingsText.h"

#include <QFile>

namespace tradevane {

namespace {

const QByteArray kHeading = "Tradevane unsent alert mail 1\n";

void note(ActivityLog& log, const QString& text, int number)
{
    log.appendNote(text);
    log.appendLog(number);
}

} // namespace

QString unsentMailPath()
{
    return programFile(u"unsent.dat"_qs);
}

QByteArray encodeUnsentMail(const QString& message)
{
    return kHeading + message.toUtf8();
}

std::optional<QString> decodeUnsentMail(const QByteArray& bytes)
{
    if (!bytes.startsWith(kHeading) || bytes.size() == kHeading.size())
        return std::nullopt;
    const QString message = QString::fromUtf8(bytes.mid(kHeading.size()));
    // A file cut short inside a character is no whole message.
    if (message.contains(QChar::ReplacementCharacter))
        return std::nullopt;
    return message;
}

void keepUnsentMail(const QString& message, ActivityLog& log, int number)
{
    const FileError error = saveWholeFile(unsentMailPath(), encodeUnsentMail(message));
    if (!error.ok())
        note(log, LogText::kUnsentMailNotWritten + error.description, number);
}

std::optional<QString> readUnsentMail(ActivityLog& log, int number)
{
    const SmallFileRead file = readSmallFile(unsentMailPath());
    if (!file.exists)
        return std::nullopt;
    std::optional<QString> message;
    if (file.ok())
        message = decodeUnsentMail(file.bytes);
    if (!message) {
        note(log, LogText::kUnsentMailDamaged + (file.ok() ? u"not an alert mail"_qs : file.error), number);
        dropUnsentMail();
    }
    return message;
}

void dropUnsentMail()
{
    QFile::remove(unsentMailPath());
}

} // namespace tradevane
