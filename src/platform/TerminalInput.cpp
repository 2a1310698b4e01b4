#include "platform/TerminalInput.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace tradevane {

bool isInteractiveTerminal(std::FILE* stream)
{
    return isatty(fileno(stream)) != 0;
}

} // namespace tradevane
