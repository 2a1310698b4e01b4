#include "app/ProgramStart.h"

#include "platform/InstanceLock.h"
#include "platform/ProgramFolder.h"

namespace tradevane {

QStringList ArgumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

void PrintLine(std::FILE* stream, const QString& text)
{
    std::fprintf(stream, "%s\n", qPrintable(QString(text).replace(u"\r\n"_qs, u"\n"_qs)));
}

std::optional<int> AnswerWithoutRunning(const ParsedOptions& parsed, const QString& program)
{
    if (!parsed.error.isEmpty()) {
        PrintLine(stderr, parsed.error + u"\nTry '"_qs + program + u" --help'."_qs);
        return ExitStatus(ExitCode::Usage);
    }
    if (parsed.options.help) {
        PrintLine(stdout, ProgramUsageText(program));
        return ExitStatus(ExitCode::Ok);
    }
    return std::nullopt;
}

int RunOnDataFolder(const ProgramOptions& options, const std::function<void(const QString&)>& refuse,
    const std::function<int()>& run)
{
    SetDataFolder(options.dataFolder);
    if (const QString problem = PrepareDataFolder(); !problem.isEmpty()) {
        refuse(problem);
        return ExitStatus(ExitCode::DataFolderUnusable);
    }
    const InstanceLock lock(ProgramFolder());
    if (!lock.acquired()) {
        refuse(lock.refusalText());
        return ExitStatus(ExitCode::AlreadyRunning);
    }
    return run();
}

} // namespace tradevane
