#include "engine/log/ActivityLog.h"

#include "engine/log/LogTexts.h"
#include "platform/MessageBox.h"
#include "platform/ProgramFolder.h"
#include "platform/RecordFile.h"

#include <QFile>

namespace tradevane {

namespace {

const QString kNoteRule(36, u'=');

bool writeLog(QIODevice::OpenMode mode, const QString& text)
{
    QFile file(logFilePath());
    // Unbuffered: what failed to go out is not written again when the file closes.
    if (!file.open(mode | QIODevice::Unbuffered, kOwnerOnly))
        return false;
    // A log from before it was kept private becomes so with its next record.
    if (file.permissions() != kOwnerOnly)
        file.setPermissions(kOwnerOnly);
    // A record goes in whole or not at all: one cut short by a full disk is taken out again, so
    // that the next attempt does not follow a fragment.
    const qint64 before = file.size();
    const QByteArray bytes = text.toLatin1() + "\r\n";
    if (file.write(bytes) == bytes.size())
        return true;
    file.resize(before);
    return false;
}

} // namespace

QString logFilePath()
{
    return programFile(u"activlog.dat"_qs);
}

QString readLogFile()
{
    QFile file(logFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll());
}

void ActivityLog::appendNote(const QString& note)
{
    m_pending += note + u"\r\n"_qs + kNoteRule + u"\r\n"_qs;
}

void ActivityLog::appendLog(int number)
{
    if (m_pending.isEmpty())
        return;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (writeLog(QIODevice::Append, m_pending)) {
            const QString record = std::exchange(m_pending, QString());
            emit appended(record);
            return;
        }
        if (attempt == 0)
            appendNote(LogText::kFileWriteError + QString::number(number) + LogText::kLogFileSuffix);
    }
}

void ActivityLog::eraseLog(int number, bool confirm)
{
    m_pending.clear();
    if (!writeLog(QIODevice::WriteOnly | QIODevice::Truncate, m_pending)) {
        appendNote(LogText::kFileEraseError + QString::number(number) + LogText::kLogFileSuffix);
        appendLog(number);
        return;
    }
    if (confirm)
        msgBox(u"Log file erased !"_qs, MsgButtons::OkOnly, u"Done !"_qs);
}

} // namespace tradevane
