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
    const std::optional<IniStop> stop = WalkIni(text,
        [&settings](
            const QString& section, const QString& key, const QString& value) -> std::optional<QString> {
            if (section.compare(u"servers"_qs, Qt::CaseInsensitive) != 0)
                return {}; // other sections are not ours
            QString* target = nullptr;
            if (key.compare(u"QuoteServer"_qs, Qt::CaseInsensitive) == 0)
                target = &settings.QuoteServer;
            else if (key.compare(u"HistoryServer"_qs, Qt::CaseInsensitive) == 0)
                target = &settings.HistoryServer;
            const std::optional<QString> address = baseAddress(value);
            if (!target || !address)
                return key;
            *target = *address;
            return {};
        });
    if (stop)
        return stop->line;
    return std::nullopt;
}

void LoadServerSettings(ServerSettings& settings, ActivityLog& log)
{
    const ServerSettings defaults = DefaultServerSettings();
    settings = defaults;

    const SmallFileRead file = ReadSmallFile(ServerSettingsPath());
    if (!file.exists) {
        const QByteArray text = "[servers]\nQuoteServer=" + defaults.QuoteServer.toUtf8()
            + "\nHistoryServer=" + defaults.HistoryServer.toUtf8() + '\n';
        if (const FileError error = SaveWholeFile(ServerSettingsPath(), text); !error.ok())
            note(log, LogText::ServerSettingsNotWritten + error.description);
        return;
    }
    if (!file.ok()) {
        note(log, LogText::ServerSettingsDefaults + file.error);
        return;
    }
    ServerSettings read = defaults;
    if (const std::optional<QString> badLine = ParseServerSettings(file.text(), read)) {
        note(log, LogText::ServerSettingsDefaults + *badLine);
        return;
    }
    settings = read;
}

} // namespace tradevane
