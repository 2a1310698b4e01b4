#pragma once

#include "platform/RecordFile.h"

#include <QString>

#include <optional>

namespace tradevane {

class ActivityLog;

// Where the prices come from: "source.ini" in the data folder.
//
//   [source]
//   Kind=simulated        simulated, replay, live or servers
//   Seed=1                the simulated market's seed
//   ReplayFolder=/path    the folder of SYMBOL.csv files the replay reads
//
// "servers" means the quote and history servers of servers.ini.
enum class SourceKind { Simulated, Replay, Live, Servers };

struct SourceSettings
{
    SourceKind kind = SourceKind::Servers;
    quint64 seed = 1;
    QString replayFolder;
    bool operator==(const SourceSettings&) const = default;
};

QString sourceSettingsPath();

// Reads the text of source.ini; the offending line when it is damaged (an unknown key or kind, a
// seed that is no whole number, a replay without a folder).
std::optional<QString> parseSourceSettings(const QString& text, SourceSettings& settings);

// What the start-up found: the source to use, and whether the user is to be asked (a fresh data
// folder, or a damaged source.ini, which is noted in the log).
struct SourceLoad
{
    SourceSettings settings;
    bool ask = false;
};

// Reads source.ini at start-up, before servers.ini: without it, a data folder whose servers.ini
// already names servers keeps using them, and a fresh one asks (the live source preselected).
SourceLoad loadSourceSettings(ActivityLog& log);

// Replaces source.ini as a whole: a failed write leaves the file as it was.
[[nodiscard]] FileError writeSourceSettings(const SourceSettings& settings);

// A source as a command line gives it: "simulate[:SEED]", "replay:DIR", "live" or "servers".
// The problem in words when the text is none of these.
std::optional<SourceSettings> sourceFromArgument(const QString& text, QString* problem = nullptr);

// The source in words: "simulated market (not real prices)", "live delayed prices from the
// internet", "replay of /data/bars (not real prices)", "quote server http://..." .
QString sourceDescription(const SourceSettings& settings, const QString& quoteServer);

} // namespace tradevane
