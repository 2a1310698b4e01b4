#include "platform/ProgramEnd.h"

#include <QCoreApplication>

namespace tradevane {

namespace {

bool ending = false;

void leaveEventLoops()
{
    // Quits the main loop and every nested loop that is running; loops started afterwards
    // return at once, so a handler that is still waiting gets out quickly.
    QCoreApplication::exit(0);
}

std::function<void()>& handler()
{
    static std::function<void()> current = leaveEventLoops;
    return current;
}

} // namespace

void endProgram()
{
    ending = true;
    handler()();
}

bool programEnding()
{
    return ending;
}

void setProgramEndHandler(std::function<void()> h)
{
    handler() = h ? std::move(h) : std::function<void()>(leaveEventLoops);
    ending = false;
}

} // namespace tradevane
