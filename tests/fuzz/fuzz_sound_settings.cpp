// soundset.dat, the sound settings record (12 bytes), read and written again.
#include "RecordRoundTrip.h"

#include "engine/settings/SoundSettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::CheckRoundTrip<SoundSettings>(fuzz::Bytes(data, size), kSoundSettingsLength, {});
    return 0;
}
