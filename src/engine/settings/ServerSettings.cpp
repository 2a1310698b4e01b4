#include "engine/settings/ServerSettings.h"

#include "platform/RecordFile.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsText.h"

#include <QUrl>

#include <optional>

namespace tradevane {

namespace {

const QString kFileName = u"servers.ini"_qs;

} // namespace

std::optional<QString> serverAddress(const QString& value)
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

namespace {

// Read at start-up, before any stock has been chosen: a note of the log itself says stock 0.
void note(ActivityLog& log, const QString& text)
{
    log.appendNote(text);
    log.appendLog(0);
}

} // namespace

ServerSettings defaultServerSettings()
{
    return {u"http://127.0.0.1:8470"_qs, u"http://127.0.0.1:8470"_qs};
}

QString serverSettingsPath()
{
    return programFile(kFileName);
}

std::optional<QString> parseServerSettings(const QString& text, ServerSettings& settings)
{
    const std::optional<IniStop> stop = walkIni(text,
        [&settings](
            const QString& section, const QString& key, const QString& value) -> std::optional<QString> {
            if (section.compare(u"servers"_qs, Qt::CaseInsensitive) != 0)
                return {}; // other sections are not ours
            QString* target = nullptr;
            if (key.compare(u"QuoteServer"_qs, Qt::CaseInsensitive) == 0)
                target = &settings.quoteServer;
            else if (key.compare(u"HistoryServer"_qs, Qt::CaseInsensitive) == 0)
                target = &settings.historyServer;
            const std::optional<QString> address = serverAddress(value);
            if (!target || !address)
                return key;
            *target = *address;
            return {};
        });
    if (stop)
        return stop->line;
    return std::nullopt;
}

void loadServerSettings(ServerSettings& settings, ActivityLog& log)
{
    const ServerSettings defaults = defaultServerSettings();
    settings = defaults;

    const SmallFileRead file = readSmallFile(serverSettingsPath());
    if (!file.exists) {
        if (const FileError error = writeServerSettings(defaults); !error.ok())
            note(log, LogText::kServerSettingsNotWritten + error.description);
        return;
    }
    if (!file.ok()) {
        note(log, LogText::kServerSettingsDefaults + file.error);
        return;
    }
    ServerSettings read = defaults;
    if (const std::optional<QString> badLine = parseServerSettings(file.text(), read)) {
        note(log, LogText::kServerSettingsDefaults + *badLine);
        return;
    }
    settings = read;
}

FileError writeServerSettings(const ServerSettings& settings)
{
    return saveWholeFile(serverSettingsPath(),
        "[servers]\nQuoteServer=" + settings.quoteServer.toUtf8()
            + "\nHistoryServer=" + settings.historyServer.toUtf8() + '\n');
}

} // namespace tradevane
