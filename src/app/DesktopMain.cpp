// tradevane: the desktop program. With --headless or --preview it runs the headless program's code
// instead, as tradevane-headless does.
#include "app/HeadlessProgram.h"
#include "app/ProgramStart.h"
#include "engine/session/AppServices.h"
#include "gui/MessageBoxes.h"
#include "gui/SplashWindow.h"
#include "gui/WaveOutput.h"
#include "platform/MessageBox.h"

#include <QApplication>

namespace tradevane {
namespace {

int runWithWindows()
{
    // The program ends when the main window closes (or the terms are refused), never because
    // the start-up window went away before the main window appeared.
    QApplication::setQuitOnLastWindowClosed(false);
    AppServices services(playWaveOnDefaultOutput);
    SplashWindow splash(services);
    if (!splash.start())
        return 0;
    return QApplication::exec();
}

} // namespace
} // namespace tradevane

int main(int argc, char** argv)
{
    using namespace tradevane;
    // The command line is read first: help and mistakes need no display.
    const ParsedOptions parsed = parseProgramOptions(argumentsOf(argc, argv));
    if (const std::optional<int> status = answerWithoutRunning(parsed, u"tradevane"_qs))
        return *status;
    if (parsed.options.headless || !parsed.options.preview.isEmpty())
        return runHeadlessProgram(argc, argv, parsed.options);

    const QApplication app(argc, argv);
    installWidgetMessageBoxes();
    QCoreApplication::setApplicationName(u"tradevane"_qs);
    // A problem that ends the program before it starts: on the terminal, and in a box.
    const auto refuse = [](const QString& problem) {
        printLine(stderr, problem);
        msgBox(problem, MsgButtons::OkOnly, u"Tradevane"_qs, MsgIcon::Critical);
    };
    return runOnDataFolder(parsed.options, refuse, runWithWindows);
}
