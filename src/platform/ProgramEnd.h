#pragma once

#include <functional>

namespace tradevane {

// Ending the program. Every way out (Exit, closing the main window, refusing the licence terms)
// goes through EndProgram(), which leaves the main event loop and every waiting loop nested in
// it, so main() returns even when a button handler is still inside a long loop.
void endProgram();

// True once EndProgram() was called: start-up stops, loops give up at their next test.
bool programEnding();

// Test seam: tests record the request instead of leaving the test runner's event loops, which
// would make every later modal window return at once. An empty handler restores the real one;
// either way the ending flag is cleared.
void setProgramEndHandler(std::function<void()> handler);

} // namespace tradevane
