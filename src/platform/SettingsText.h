#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

namespace tradevane {

// The small text files of settings and lists (servers.ini, calendar.ini, channels.ini,
// holidays.txt, reported.dat): read whole under a size cap, and their ini lines walked.

struct SmallFileRead
{
    bool exists = false; // no file is not an error: its reader falls back to the defaults
    QString error; // why an existing file could not be read; empty when it was
    QByteArray bytes;

    bool ok() const { return exists && error.isEmpty(); }
    QString text() const; // the bytes as UTF-8, without a leading byte-order mark
};

// A file of settings holds a few lines; one larger than `maxBytes` is not one and is not read.
[[nodiscard]] SmallFileRead readSmallFile(const QString& path, qint64 maxBytes = qint64 {64} * 1024);

// Where an ini text stopped being read: its 1-based line number and text, and what the entry's
// handler said of it (empty for a line that is neither a comment, a [section] nor key=value).
struct IniStop
{
    int number = 0;
    QString line;
    QString reason;
};

// Calls `entry` with the section (as written, without brackets), key and value of each key=value
// line in order, all trimmed. Blank lines and lines starting with ';' or '#' are skipped; CR LF,
// LF and a lone CR all end a line. Stops at the first line that is not key=value, or at the first
// entry whose handler returns a reason.
using IniEntry
    = std::function<std::optional<QString>(const QString& section, const QString& key, const QString& value)>;
[[nodiscard]] std::optional<IniStop> walkIni(const QString& text, const IniEntry& entry);

// "1" or "true" is on, "0" or "false" off (either case); anything else is no flag.
std::optional<bool> iniFlag(const QString& value);

} // namespace tradevane
