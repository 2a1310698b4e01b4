#pragma once

#include <QUrl>

#include <functional>

namespace tradevane {

// Opens a web address in the desktop's default browser. The about window's link goes through
// here, so that tests can stand in for the browser.
using WebOpener = std::function<bool(const QUrl&)>;

// True when the address was handed to a browser.
bool openWebAddress(const QUrl& address);

// Replaces the opener; an empty one restores the desktop's browser.
void setWebOpener(WebOpener opener);

} // namespace tradevane
