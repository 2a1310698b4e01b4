// mailset.dat, the mail settings record (846 bytes), read and written again.
#include "RecordRoundTrip.h"

#include "engine/settings/MailSettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Three 16-bit integers, then nothing but texts.
    fuzz::CheckRoundTrip<MailSettings>(
        fuzz::Bytes(data, size), kMailSettingsLength, {{6, kMailSettingsLength}});
    return 0;
}
