#pragma once

#include "engine/settings/SourceSettings.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>

namespace tradevane {

// How the program ends, for scripts and service managers.
enum class ExitCode : int {
    Ok = 0,
    Failure = 1,
    NoConnection = 2, // START found no connection (headless)
    LicenceNotAccepted = 3,
    SettingsUnreadable = 4,
    AlreadyRunning = 5, // another Tradevane works on the same data folder
    DataFolderUnusable = 6,
    Usage = 64, // an unknown or malformed command-line option
};

constexpr int exitStatus(ExitCode code)
{
    return static_cast<int>(code);
}

struct ProgramOptions
{
    bool headless = false; // monitor without a window: tradevane --headless
    bool acceptLicence = false; // show the licence on the terminal and accept it
    bool help = false;
    QString dataFolder; // --data DIR; empty: the default data folder
    std::optional<SourceSettings> source; // --source: the prices of this run; none: source.ini
    // --preview STOCK: print what the stock's alert settings would have reported over its year of
    // prices (the stock number 1..10 or its symbol), from --from DATE on, as text or --json.
    QString preview;
    QDate previewFrom; // invalid: every day
    bool json = false;
};

struct ParsedOptions
{
    ProgramOptions options;
    QString error; // empty when the command line was understood
};

// Reads the command line (the program name first), before any application object exists. The
// window system's own options (-platform, -style, ...) are accepted and left to Qt.
ParsedOptions parseProgramOptions(const QStringList& arguments);

// The text of --help, its usage line naming `program`.
QString programUsageText(const QString& program);

} // namespace tradevane
