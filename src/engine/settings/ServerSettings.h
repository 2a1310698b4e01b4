#pragma once

#include "platform/RecordFile.h"

#include <QString>

#include <optional>

namespace tradevane {

// Where the quotes and the daily histories come from: "servers.ini" in the program folder.
//
//   [servers]
//   QuoteServer=http://127.0.0.1:8470
//   HistoryServer=http://127.0.0.1:8470
//
// Each value is the base address (http or https, a host, optionally a port and a path) that the
// request paths are appended to.
struct ServerSettings
{
    QString quoteServer;
    QString historyServer;
};

ServerSettings defaultServerSettings();

class ActivityLog;

QString serverSettingsPath();

// Reads the text of servers.ini into `settings`; keys that the text does not give keep the value
// they had. Gives the offending line when the text is malformed (then `settings` may be partly
// filled and is not to be used).
std::optional<QString> parseServerSettings(const QString& text, ServerSettings& settings);

// Reads servers.ini into `settings`; run once at start-up. A missing file is written with
// the defaults. An unreadable or malformed file (a line that is neither a section, a comment nor
// key=value, an unknown key or an address that is not http or https with a host) is left as it
// is and the defaults are used, with a note in the activity log. A key that is missing takes its
// default.
void loadServerSettings(ServerSettings& settings, ActivityLog& log);

// An address as servers.ini may hold it (http or https, a host, no query), without trailing
// slashes; nothing when it is not one.
std::optional<QString> serverAddress(const QString& text);

// Replaces servers.ini as a whole: a failed write leaves the file as it was.
[[nodiscard]] FileError writeServerSettings(const ServerSettings& settings);

} // namespace tradevane
