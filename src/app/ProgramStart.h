#pragma once

#include "app/ProgramOptions.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <optional>

namespace tradevane {

// What both programs do before they monitor.

// The command line as texts, the program's name first.
QStringList argumentsOf(int argc, char** argv);

// Writes `text` and a line end to `stream`, CR LF as LF.
void printLine(std::FILE* stream, const QString& text);

// Answers a command line that asks for no run (--help, or one that is not understood) and gives
// the exit status; nothing when the program is to run.
std::optional<int> answerWithoutRunning(const ParsedOptions& parsed, const QString& program);

// Uses the data folder the options name (created when missing) and holds it for this program
// while `run` runs, giving run's exit status. When the folder cannot be used or another
// Tradevane holds it, `refuse` hears why and the matching exit status is given.
int runOnDataFolder(const ProgramOptions& options, const std::function<void(const QString&)>& refuse,
    const std::function<int()>& run);

} // namespace tradevane
