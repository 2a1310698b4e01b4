#include "app/HeadlessProgram.h"

#include "app/HeadlessPreview.h"
#include "app/HeadlessRun.h"
#include "app/ProgramStart.h"
#include "engine/notify/SoundPlayer.h"
#include "engine/session/AppServices.h"
#include "platform/ProgramFolder.h"
#include "platform/RtfReader.h"
#include "platform/TerminalInput.h"
#include "platform/TerminationSignals.h"

#include <QCoreApplication>

namespace tradevane {

namespace {

int monitor(const ProgramOptions& options)
{
    AppServices services(silentDevice());
    // A preview's standard output holds the preview alone (a script may read it as JSON).
    const bool preview = !options.preview.isEmpty();
    HeadlessRun run(services, preview ? stderr : stdout, stderr);
    const auto licenceText = [] {
        return richTextFileAsPlainText(resourceFile(u"licence.doc"_qs))
            .value_or(u"The licence terms (licence.doc) cannot be read."_qs);
    };
    // Asked on a terminal; elsewhere (a service, a script) the option itself is the consent.
    const auto agree = [] {
        if (!isInteractiveTerminal(stdin))
            return true;
        std::fputs("Do you accept these terms? [y/N] ", stdout);
        std::fflush(stdout);
        char answer[16] = {};
        return std::fgets(answer, sizeof answer, stdin) && (answer[0] == 'y' || answer[0] == 'Y');
    };
    if (const std::optional<ExitCode> failed = run.prepare(options, licenceText, agree))
        return exitStatus(*failed);
    if (preview)
        return exitStatus(runHeadlessPreview(services, options, stdout, stderr));

    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::received, &run, &HeadlessRun::terminate);
    QObject::connect(
        &run, &HeadlessRun::finished, &run, [](ExitCode code) { QCoreApplication::exit(exitStatus(code)); },
        Qt::QueuedConnection);
    QMetaObject::invokeMethod(&run, &HeadlessRun::start, Qt::QueuedConnection);
    const int status = QCoreApplication::exec();
    services.engine.shutdown();
    return status;
}

} // namespace

int runHeadlessProgram(int& argc, char** argv, const ProgramOptions& options)
{
    // No window, so no display: a plain application, and the terminal for everything it says.
    const QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"tradevane"_qs);
    return runOnDataFolder(
        options, [](const QString& problem) { printLine(stderr, problem); },
        [&] { return monitor(options); });
}

} // namespace tradevane
