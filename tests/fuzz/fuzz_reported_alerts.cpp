// reported.dat, the alerts reported today, read by DecodeReportedAlerts.
#include "FuzzSupport.h"

#include "engine/alerts/AlertMemory.h"

using namespace tradevane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = fuzz::Bytes(data, size);
    const ReportedAlertsRead read = decodeReportedAlerts(bytes);
    if (!read.damage.isEmpty()) {
        FUZZ_CHECK(read.alerts.empty()); // a damaged file counts as empty, never half
        return 0;
    }
    for (const ReportedAlert& alert : read.alerts) {
        FUZZ_CHECK(alert.day.isValid());
        FUZZ_CHECK(alert.stock.index() >= 0 && alert.stock.index() < kStockCount);
        FUZZ_CHECK(static_cast<int>(alert.kind) >= 0 && static_cast<int>(alert.kind) < kAlertKinds);
    }
    // Written again it reads the same; every byte cut off the end is noticed.
    const QByteArray written = encodeReportedAlerts(read.alerts);
    const ReportedAlertsRead again = decodeReportedAlerts(written);
    FUZZ_CHECK(again.damage.isEmpty());
    FUZZ_CHECK(again.alerts == read.alerts);
    FUZZ_CHECK(!decodeReportedAlerts(written.left(written.size() - 1)).damage.isEmpty());
    return 0;
}
