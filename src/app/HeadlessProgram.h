#pragma once

#include "app/ProgramOptions.h"

namespace tradevane {

// The program without a window, from its application object to its exit status: the licence on
// the terminal when asked for, then monitoring until SIGTERM or SIGINT. `argc` and `argv` go to
// the application object and must outlive it.
int runHeadlessProgram(int& argc, char** argv, const ProgramOptions& options);

} // namespace tradevane
