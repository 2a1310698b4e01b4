#include "core/ServerSettings.h"

#include "platform/RecordFile.h"

#include "core/LogTexts.h"
#include "notify/UpdateLog.h"
#include "platform/ProgramFolder.h"

#include <QFile>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace {

const QString kFileName = u"servers.ini"_qs;
constexpr qint64 kMaxFileBytes = 64 * 1024; // a settings file of a few lines; more is not one

// The base address without trailing slashes, or nothing when it is not a usable web address.
std::optional<QString> baseAddress(const QString& value)
{
    QString address = value;
    while (address.endsWith(u'/'))
        address.chop(1);
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != u"http"_qs && url.scheme() != u"https"_qs) || url.host().isEmpty()
        || url.hasQuery() || url.hasFragment())
        return std::nullopt;
    return address;
}

// Read at start-up, before any stock has been chosen: a note of the log itself says stock 0.
void note(ActivityLog& log, const QString& text)
{
    log.AppendNote(text);
    log.AppendLog(0);
}

} // namespace

ServerSettings DefaultServerSettings()
{
    return {u"http://127.0.0.1:8470"_qs, u"http://127.0.0.1:8470"_qs};
}

QString ServerSettingsPath()
{
    return ProgramFile(kFileName);
}

std::optional<QString> ParseServerSettings(const QString& text, ServerSettings& settings)
{
    QString section;
    const QStringList lines = text.split(u'\n');
    for (const QString& rawLine : lines) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            return line;
        if (section.compare(u"servers"_qs, Qt::CaseInsensitive) != 0)
            continue; // other sections are not ours
        const QString key = line.left(equals).trimmed();
        QString* target = nullptr;
        if (key.compare(u"QuoteServer"_qs, Qt::CaseInsensitive) == 0)
            target = &settings.QuoteServer;
        else if (key.compare(u"HistoryServer"_qs, Qt::CaseInsensitive) == 0)
            target = &settings.HistoryServer;
        const std::optional<QString> address = baseAddress(line.mid(equals + 1).trimmed());
        if (!target || !address)
            return line;
        *target = *address;
    }
    return std::nullopt;
}

void LoadServerSettings(ServerSettings& settings, ActivityLog& log)
{
    const ServerSettings defaults = DefaultServerSettings();
    settings = defaults;

    QFile file(ServerSettingsPath());
    if (!file.exists()) {
        const QByteArray text = "[servers]\nQuoteServer=" + defaults.QuoteServer.toUtf8()
            + "\nHistoryServer=" + defaults.HistoryServer.toUtf8() + '\n';
        if (const FileError error = SaveWholeFile(ServerSettingsPath(), text); !error.ok())
            note(log, LogText::ServerSettingsNotWritten + error.description);
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        note(log, LogText::ServerSettingsDefaults + file.errorString());
        return;
    }
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        note(log, LogText::ServerSettingsDefaults + file.errorString());
        return;
    }
    if (bytes.size() > kMaxFileBytes) {
        note(log, LogText::ServerSettingsDefaults + file.fileName());
        return;
    }
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    ServerSettings read = defaults;
    if (const std::optional<QString> badLine = ParseServerSettings(text, read)) {
        note(log, LogText::ServerSettingsDefaults + *badLine);
        return;
    }
    settings = read;
}
