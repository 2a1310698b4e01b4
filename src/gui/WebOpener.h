#pragma once

#include <QList>
#include <QUrl>

#include <functional>

namespace tradevane {

// Opens a web address in the desktop's default browser. The about window's link goes through
// here, so that tests can stand in for the browser.
using WebOpener = std::function<bool(const QUrl&)>;

// True when the address was handed to a browser.
bool OpenWebAddress(const QUrl& address);

// Replaces the opener; an empty one restores the desktop's browser.
void SetWebOpener(WebOpener opener);

// Test seam: records every address instead of opening it, and answers with `result`.
class WebOpenerRecorder
{
public:
    WebOpenerRecorder(); // installs itself
    ~WebOpenerRecorder(); // restores the desktop's browser

    void setResult(bool result) { m_result = result; }
    const QList<QUrl>& opened() const { return m_opened; }

private:
    QList<QUrl> m_opened;
    bool m_result = true;
};

} // namespace tradevane
