#pragma once

namespace tradevane {

// Shows the program's message boxes as real QMessageBox windows and beeps through QApplication.
void installWidgetMessageBoxes();

} // namespace tradevane
