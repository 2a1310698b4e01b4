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

bool openWebAddress(const QUrl& address)
{
    return opener() ? opener()(address) : QDesktopServices::openUrl(address);
}

void setWebOpener(WebOpener o)
{
    opener() = std::move(o);
}

} // namespace tradevane
