#pragma once

#include <QString>

namespace tradevane {

// The texts of the five help panels of the alert settings window. Lines end in CR LF; a blank
// line separates paragraphs.
namespace AlertHelp {
QString About();
QString MovingAverages();
QString Breakouts();
QString RateOfChange();
QString Stochastic();
} // namespace AlertHelp

} // namespace tradevane
