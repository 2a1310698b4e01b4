// channels.ini, read by ParseChannelSettings.
#include "FuzzSupport.h"

#include "engine/settings/ChannelSettings.h"

using namespace tradevane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(fuzz::Bytes(data, size));
    const ChannelSettingsRead read = parseChannelSettings(text);
    if (!read.problem.isEmpty()) {
        // The reason names a line by its number, never repeating a value that may be a token.
        FUZZ_CHECK(read.problem.startsWith(u"line "_qs));
        return 0;
    }
    // What was read, written as the window writes it with the tokens in the file, reads back the same.
    ChannelSettings inFile = read.settings;
    inFile.tokenStore = TokenStore::File;
    const ChannelSettingsRead again = parseChannelSettings(QString::fromUtf8(channelSettingsText(inFile)));
    FUZZ_CHECK(again.problem.isEmpty());
    FUZZ_CHECK(again.settings == read.settings);
    FUZZ_CHECK(again.settings.tokenStore == TokenStore::File);
    // Written with the tokens in the keyring, the text holds none of them, and reads back with each
    // channel that has one waiting for it.
    ChannelSettings inKeyring = read.settings;
    inKeyring.tokenStore = TokenStore::Keyring;
    const ChannelSettingsRead marked
        = parseChannelSettings(QString::fromUtf8(channelSettingsText(inKeyring)));
    FUZZ_CHECK(marked.problem.isEmpty());
    FUZZ_CHECK(marked.settings.tokenStore == TokenStore::Keyring);
    for (const Channel channel : kChannels) {
        const bool hasToken = !channelToken(inKeyring, channel).trimmed().isEmpty();
        FUZZ_CHECK(marked.settings.tokenUnread[static_cast<std::size_t>(channel)] == hasToken);
        FUZZ_CHECK(channelToken(marked.settings, channel).isEmpty());
    }
    return 0;
}
