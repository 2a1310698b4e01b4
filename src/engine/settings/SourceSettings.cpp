#include "engine/settings/SourceSettings.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "engine/settings/ServerSettings.h"
#include "platform/ProgramFolder.h"
#include "platform/SettingsText.h"

#include <QFileInfo>

#include <array>

namespace tradevane {

namespace {

struct KindName
{
    SourceKind kind;
    QStringView name;
};
constexpr std::array<KindName, 4> kKindNames {{{SourceKind::Simulated, u"simulated"},
    {SourceKind::Replay, u"replay"}, {SourceKind::Live, u"live"}, {SourceKind::Servers, u"servers"}}};

std::optional<SourceKind> kindNamed(QStringView name)
{
    for (const KindName& k : kKindNames)
        if (name.compare(k.name, Qt::CaseInsensitive) == 0)
            return k.kind;
    return std::nullopt;
}

QString nameOf(SourceKind kind)
{
    for (const KindName& k : kKindNames)
        if (k.kind == kind)
            return k.name.toString();
    return {};
}

std::optional<quint64> seedOf(const QString& text)
{
    bool ok = false;
    const quint64 seed = text.trimmed().toULongLong(&ok);
    return ok ? std::optional<quint64>(seed) : std::nullopt;
}

} // namespace

QString sourceSettingsPath()
{
    return programFile(u"source.ini"_qs);
}

std::optional<QString> parseSourceSettings(const QString& text, SourceSettings& settings)
{
    bool kindGiven = false;
    const std::optional<IniStop> stop = walkIni(text,
        [&](const QString& section, const QString& key, const QString& value) -> std::optional<QString> {
            if (section.compare(u"source"_qs, Qt::CaseInsensitive) != 0)
                return {}; // other sections are not ours
            if (key.compare(u"Kind"_qs, Qt::CaseInsensitive) == 0) {
                const std::optional<SourceKind> kind = kindNamed(value.trimmed());
                if (!kind)
                    return key;
                settings.kind = *kind;
                kindGiven = true;
            } else if (key.compare(u"Seed"_qs, Qt::CaseInsensitive) == 0) {
                const std::optional<quint64> seed = seedOf(value);
                if (!seed)
                    return key;
                settings.seed = *seed;
            } else if (key.compare(u"ReplayFolder"_qs, Qt::CaseInsensitive) == 0) {
                settings.replayFolder = value.trimmed();
            } else {
                return key;
            }
            return {};
        });
    if (stop)
        return stop->line;
    if (!kindGiven)
        return u"Kind"_qs;
    if (settings.kind == SourceKind::Replay && settings.replayFolder.isEmpty())
        return u"ReplayFolder"_qs;
    return std::nullopt;
}

SourceLoad loadSourceSettings(ActivityLog& log)
{
    SourceLoad load;
    const SmallFileRead file = readSmallFile(sourceSettingsPath());
    if (!file.exists) {
        // A data folder from before the sources were built in keeps its servers; a fresh one asks.
        load.ask = !QFileInfo::exists(serverSettingsPath());
        load.settings.kind = load.ask ? SourceKind::Live : SourceKind::Servers;
        return load;
    }
    SourceSettings read;
    const std::optional<QString> problem
        = file.ok() ? parseSourceSettings(file.text(), read) : std::optional<QString>(file.error);
    if (problem) {
        log.appendNote(LogText::kSourceSettingsDamaged + *problem);
        log.appendLog(0); // read before any stock is chosen
        load.ask = true;
        load.settings.kind = SourceKind::Live;
        return load;
    }
    load.settings = read;
    return load;
}

FileError writeSourceSettings(const SourceSettings& settings)
{
    QByteArray text = "[source]\nKind=" + nameOf(settings.kind).toUtf8()
        + "\nSeed=" + QByteArray::number(settings.seed) + '\n';
    if (!settings.replayFolder.isEmpty())
        text += "ReplayFolder=" + settings.replayFolder.toUtf8() + '\n';
    return saveWholeFile(sourceSettingsPath(), text);
}

std::optional<SourceSettings> sourceFromArgument(const QString& text, QString* problem)
{
    const qsizetype colon = text.indexOf(u':');
    const QString name = colon < 0 ? text : text.left(colon);
    const QString rest = colon < 0 ? QString() : text.mid(colon + 1);
    const auto fail = [problem](const QString& why) -> std::optional<SourceSettings> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    SourceSettings settings;
    if (name == u"simulate"_qs || name == u"simulated"_qs) {
        settings.kind = SourceKind::Simulated;
        if (colon >= 0) {
            const std::optional<quint64> seed = seedOf(rest);
            if (!seed)
                return fail(u"the seed of the simulated market is not a whole number: "_qs + rest);
            settings.seed = *seed;
        }
    } else if (name == u"replay"_qs) {
        if (rest.trimmed().isEmpty())
            return fail(u"replay needs a folder: replay:DIR"_qs);
        settings.kind = SourceKind::Replay;
        settings.replayFolder = rest.trimmed();
    } else if (name == u"live"_qs && colon < 0) {
        settings.kind = SourceKind::Live;
    } else if (name == u"servers"_qs && colon < 0) {
        settings.kind = SourceKind::Servers;
    } else {
        return fail(u"unknown source (simulate[:SEED], replay:DIR, live or servers): "_qs + text);
    }
    return settings;
}

QString sourceDescription(const SourceSettings& settings, const QString& quoteServer)
{
    switch (settings.kind) {
    case SourceKind::Simulated:
        return u"simulated market (not real prices)"_qs;
    case SourceKind::Replay:
        return u"replay of "_qs + settings.replayFolder + u" (not real prices)"_qs;
    case SourceKind::Live:
        return u"live delayed prices from the internet"_qs;
    case SourceKind::Servers:
        break;
    }
    return u"quote server "_qs + quoteServer;
}

} // namespace tradevane
