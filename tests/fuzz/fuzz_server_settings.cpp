// servers.ini, read by ParseServerSettings.
#include "FuzzSupport.h"

#include "engine/settings/ServerSettings.h"

#include <QUrl>

using namespace tradevane;

namespace {

// An address as the settings keep it: http or https with a host, no query, fragment or trailing
// slash.
bool Usable(const QString& address)
{
    const QUrl url(address, QUrl::StrictMode);
    return url.isValid() && (url.scheme() == u"http"_qs || url.scheme() == u"https"_qs)
        && !url.host().isEmpty() && !url.hasQuery() && !url.hasFragment() && !address.endsWith(u'/');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(fuzz::Bytes(data, size));
    const ServerSettings defaults = defaultServerSettings();
    ServerSettings read = defaults;
    const std::optional<QString> badLine = parseServerSettings(text, read);
    if (badLine) {
        FUZZ_CHECK(!badLine->isEmpty());
        FUZZ_CHECK(text.contains(*badLine)); // the line as it stands in the file, trimmed
        return 0;
    }
    FUZZ_CHECK(Usable(read.quoteServer));
    FUZZ_CHECK(Usable(read.historyServer));

    // What was read, written as the program writes a new file, reads back the same.
    const QString written = u"[servers]\nQuoteServer="_qs + read.quoteServer + u"\nHistoryServer="_qs
        + read.historyServer + u"\n"_qs;
    ServerSettings again;
    FUZZ_CHECK(!parseServerSettings(written, again));
    FUZZ_CHECK(again.quoteServer == read.quoteServer);
    FUZZ_CHECK(again.historyServer == read.historyServer);
    return 0;
}
