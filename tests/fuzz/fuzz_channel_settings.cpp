// channels.ini, read by ParseChannelSettings.
#include "FuzzSupport.h"

#include "notify/ChannelSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(fuzz::Bytes(data, size));
    const ChannelSettingsRead read = ParseChannelSettings(text);
    if (!read.problem.isEmpty()) {
        // The reason names a line by its number, never repeating a value that may be a token.
        FUZZ_CHECK(read.problem.startsWith(u"line "_qs));
        return 0;
    }
    // What was read, written as the window writes it, reads back the same.
    const ChannelSettingsRead again
        = ParseChannelSettings(QString::fromUtf8(ChannelSettingsText(read.settings)));
    FUZZ_CHECK(again.problem.isEmpty());
    FUZZ_CHECK(again.settings == read.settings);
    return 0;
}
