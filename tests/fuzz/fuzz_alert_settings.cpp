// Aset<n>.dat, a stock's alert settings record (62 bytes), read and written again.
#include "RecordRoundTrip.h"

#include "engine/settings/AlertSettingsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The symbol is the only text: bytes 3 to 9, after Enabled and RepeatAlerts.
    fuzz::CheckRoundTrip<AlertSettings>(
        fuzz::Bytes(data, size), kAlertSettingsLength, {{3, 3 + kSymbolWidth}});
    return 0;
}
