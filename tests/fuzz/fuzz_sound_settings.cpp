// soundset.dat, the sound settings record (12 bytes), read and written again.
#include "RecordRoundTrip.h"

#include "engine/settings/SoundSettingsFile.h"

using namespace tradevane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Every switch settles: on as -1, and of several sounds only the last.
    fuzz::WrittenAgain<SoundSettings>(fuzz::Bytes(data, size), kSoundSettingsLength);
    return 0;
}
