#include "core/AppServices.h"
#include "core/HeadlessRun.h"
#include "core/ProgramOptions.h"
#include "core/frmSplash.h"
#include "platform/InstanceLock.h"
#include "platform/MsgBox.h"
#include "platform/MsgBoxGui.h"
#include "platform/ProgramFolder.h"
#include "platform/RichTextGui.h"
#include "platform/SoundPlayerGui.h"
#include "platform/TerminalInput.h"
#include "platform/TerminationSignals.h"

#include <QApplication>
#include <QCoreApplication>

#include <cstdio>
#include <memory>

namespace {

void printLine(std::FILE* stream, const QString& text)
{
    std::fprintf(stream, "%s\n", qPrintable(QString(text).replace(u"\r\n"_qs, u"\n"_qs)));
}

// A problem that ends the program before it starts: on the terminal, and in a box when there is
// a window system.
int refuse(bool headless, const QString& text, ExitCode code)
{
    printLine(stderr, text);
    if (!headless)
        MsgBox(text, MsgButtons::OkOnly, u"Tradevane"_qs, MsgIcon::Critical);
    return ExitStatus(code);
}

int runHeadless(const ProgramOptions& options)
{
    AppServices services(SilentDevice());
    HeadlessRun run(services, stdout, stderr);
    const auto licenceText = [] {
        return RichTextFileAsPlainText(ResourceFile(u"licence.doc"_qs))
            .value_or(u"The licence terms (licence.doc) cannot be read."_qs);
    };
    // Asked on a terminal; elsewhere (a service, a script) the option itself is the consent.
    const auto agree = [] {
        if (!IsInteractiveTerminal(stdin))
            return true;
        std::fputs("Do you accept these terms? [y/N] ", stdout);
        std::fflush(stdout);
        char answer[16] = {};
        return std::fgets(answer, sizeof answer, stdin) && (answer[0] == 'y' || answer[0] == 'Y');
    };
    if (const std::optional<ExitCode> failed = run.prepare(options, licenceText, agree))
        return ExitStatus(*failed);

    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &run, &HeadlessRun::terminate);
    QObject::connect(
        &run, &HeadlessRun::finished, &run, [](ExitCode code) { QCoreApplication::exit(ExitStatus(code)); },
        Qt::QueuedConnection);
    QMetaObject::invokeMethod(&run, &HeadlessRun::start, Qt::QueuedConnection);
    const int status = QCoreApplication::exec();
    services.engine.shutdown();
    return status;
}

int runWithWindows()
{
    // The program ends when the main window closes (or the terms are refused), never because
    // the start-up window went away before the main window appeared.
    QApplication::setQuitOnLastWindowClosed(false);
    AppServices services(PlayWaveOnDefaultOutput);
    frmSplash splash(services);
    if (!splash.Start())
        return 0;
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv)
{
    // The command line is read first: help and mistakes need no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const ParsedOptions parsed = ParseProgramOptions(arguments);
    if (!parsed.error.isEmpty()) {
        printLine(stderr, parsed.error + u"\nTry 'tradevane --help'."_qs);
        return ExitStatus(ExitCode::Usage);
    }
    const ProgramOptions& options = parsed.options;
    if (options.help) {
        printLine(stdout, ProgramUsageText());
        return ExitStatus(ExitCode::Ok);
    }

    // Without a window the program needs no display: a plain application, and the terminal for
    // everything it says.
    std::unique_ptr<QCoreApplication> app;
    if (options.headless) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        app = std::make_unique<QApplication>(argc, argv);
        InstallWidgetMessageBoxes();
    }
    QCoreApplication::setApplicationName(u"tradevane"_qs);

    SetDataFolder(options.dataFolder);
    if (const QString problem = PrepareDataFolder(); !problem.isEmpty())
        return refuse(options.headless, problem, ExitCode::DataFolderUnusable);
    const InstanceLock lock(ProgramFolder());
    if (!lock.acquired())
        return refuse(options.headless, lock.refusalText(), ExitCode::AlreadyRunning);

    return options.headless ? runHeadless(options) : runWithWindows();
}
