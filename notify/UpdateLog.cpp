#include "notify/UpdateLog.h"

#include "core/LogTexts.h"
#include "core/VarDef.h"
#include "platform/MsgBox.h"
#include "platform/ProgramFolder.h"

#include <QFile>

namespace {

const QString kNoteRule(36, u'=');

bool writeLog(QIODevice::OpenMode mode, const QString& text)
{
    QFile file(LogFilePath());
    if (!file.open(mode))
        return false;
    const QByteArray bytes = text.toLatin1() + "\r\n";
    return file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

QString LogFilePath()
{
    return ProgramFile(u"activlog.dat"_qs);
}

void AppendLog()
{
    if (strLogString.isEmpty())
        return;
    if (writeLog(QIODevice::Append, strLogString)) {
        strLogString.clear();
        return;
    }
    AppendNote(LogText::FileWriteError + QString::number(StockID) + LogText::LogFileSuffix);
    if (writeLog(QIODevice::Append, strLogString))
        strLogString.clear();
}

void EraseLog(qint16 Notify)
{
    strLogString.clear();
    if (!writeLog(QIODevice::WriteOnly | QIODevice::Truncate, strLogString)) {
        AppendNote(LogText::FileEraseError + QString::number(StockID) + LogText::LogFileSuffix);
        AppendLog();
        return;
    }
    if (Notify == 1)
        MsgBox(u"Log file erased !"_qs, MsgButtons::OkOnly, u"Done !"_qs);
}

void AppendNote(const QString& note)
{
    strLogString += note + u"\r\n"_qs + kNoteRule + u"\r\n"_qs;
}

QString ReadLogFile()
{
    QFile file(LogFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll());
}
