#pragma once

#include <QString>

namespace tradevane {

// The texts of the five help panels of the alert settings window. Lines end in CR LF; a blank
// line separates paragraphs.
namespace AlertHelp {
QString about();
QString movingAverages();
QString breakouts();
QString rateOfChange();
QString stochastic();
} // namespace AlertHelp

} // namespace tradevane
