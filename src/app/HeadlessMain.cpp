// tradevane-headless: Tradevane without a window, for servers and service managers. It links the
// engine and the platform layer only.
#include "app/HeadlessProgram.h"
#include "app/ProgramStart.h"

int main(int argc, char** argv)
{
    using namespace tradevane;
    const ParsedOptions parsed = parseProgramOptions(argumentsOf(argc, argv));
    if (const std::optional<int> status = answerWithoutRunning(parsed, u"tradevane-headless"_qs))
        return *status;
    return runHeadlessProgram(argc, argv, parsed.options);
}
