#include "gui/WebOpener.h"

#include <QDesktopServices>

namespace tradevane {

namespace {

WebOpener& opener()
{
    static WebOpener current;
    return current;
}

} // namespace

bool OpenWebAddress(const QUrl& address)
{
    return opener() ? opener()(address) : QDesktopServices::openUrl(address);
}

void SetWebOpener(WebOpener o)
{
    opener() = std::move(o);
}

WebOpenerRecorder::WebOpenerRecorder()
{
    SetWebOpener([this](const QUrl& address) {
        m_opened.append(address);
        return m_result;
    });
}

WebOpenerRecorder::~WebOpenerRecorder()
{
    SetWebOpener({});
}

} // namespace tradevane
