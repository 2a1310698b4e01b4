// timeset.dat, the time settings record (14 bytes), read and written again.
#include "RecordRoundTrip.h"

#include "engine/settings/TimeSettingsFile.h"

using namespace tradevane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::CheckRoundTrip<TimeSettings>(fuzz::Bytes(data, size), kTimeSettingsLength, {});
    return 0;
}
