#include "app/ProgramStart.h"

#include "platform/InstanceLock.h"
#include "platform/ProgramFolder.h"

namespace tradevane {

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

void printLine(std::FILE* stream, const QString& text)
{
    std::fprintf(stream, "%s\n", qPrintable(QString(text).replace(u"\r\n"_qs, u"\n"_qs)));
}

std::optional<int> answerWithoutRunning(const ParsedOptions& parsed, const QString& program)
{
    if (!parsed.error.isEmpty()) {
        printLine(stderr, parsed.error + u"\nTry '"_qs + program + u" --help'."_qs);
        return exitStatus(ExitCode::Usage);
    }
    if (parsed.options.help) {
        printLine(stdout, programUsageText(program));
        return exitStatus(ExitCode::Ok);
    }
    return std::nullopt;
}

int runOnDataFolder(const ProgramOptions& options, const std::function<void(const QString&)>& refuse,
    const std::function<int()>& run)
{
    setDataFolder(options.dataFolder);
    if (const QString problem = prepareDataFolder(); !problem.isEmpty()) {
        refuse(problem);
        return exitStatus(ExitCode::DataFolderUnusable);
    }
    const InstanceLock lock(programFolder());
    if (!lock.acquired()) {
        refuse(lock.refusalText());
        return exitStatus(ExitCode::AlreadyRunning);
    }
    return run();
}

} // namespace tradevane
