#pragma once

#include <cstdio>

namespace tradevane {

// Whether `stream` is a terminal a person types into (not a pipe, a file or /dev/null).
bool isInteractiveTerminal(std::FILE* stream);

} // namespace tradevane
