// mailset.dat, the mail settings record (846 bytes), read and written again.
#include "RecordRoundTrip.h"

#include "engine/settings/MailSettingsFile.h"

using namespace tradevane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Three 16-bit integers, then nothing but texts. The two switches settle, the reserved number
    // comes back as it was; the two spare texts the program does not use come back blank.
    fuzz::CheckRoundTrip<MailSettings>(fuzz::Bytes(data, size), kMailSettingsLength,
        {{6, kMailSettingsLength}}, {{0, 2}, {4, 6}, {kMailSettingsLength - 600, kMailSettingsLength}});
    return 0;
}
