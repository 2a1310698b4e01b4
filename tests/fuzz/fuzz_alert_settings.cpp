// Aset<n>.dat, a stock's alert settings record (62 bytes), read and written again.
#include "RecordRoundTrip.h"

#include "engine/settings/AlertSettingsFile.h"

using namespace tradevane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The symbol is the only text: bytes 3 to 9, after Enabled and RepeatAlerts. The watch flag, the
    // repeat switch and the alert switches settle; the periods, day counts, limits, prices and the
    // reserved byte come back as they were.
    fuzz::CheckRoundTrip<AlertSettings>(fuzz::Bytes(data, size), kAlertSettingsLength,
        {{3, 3 + kSymbolWidth}}, {{0, 3}, {10, 16}, {28, 30}, {34, 36}, {40, 44}, {60, 61}});
    return 0;
}
