// The history server's daily table, walked by ParseHistory into a stock's history array.
#include "FuzzSupport.h"

#include "core/VarDef.h"
#include "marketdata/DataRetrieval.h"
#include "notify/UpdateLog.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::UseTemporaryProgramFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Every failed table adds a note to the activity log: empty it now and then.
    static unsigned runs = 0;
    if (++runs % 512 == 0)
        EraseLog(0);

    // The stock follows from the length, so that every stock number is used and an input always
    // gives the same run. The transfer control hands the body over as Latin-1.
    const auto stock = static_cast<qint16>(1 + size % kStockCount);
    StockID = stock;
    gDownloadError[stock] = vbFalse;
    gStockFailed[stock] = vbFalse;
    // What an earlier parse left: a failed parse must keep it, a good one must replace all of it.
    HistoryArray& history = gHistory[stock];
    history.fill(u"earlier"_qs);
    DataRetrieval::HistoryText = QString::fromLatin1(fuzz::Bytes(data, size));
    ParseHistory();

    FUZZ_CHECK(StockID == stock);
    FUZZ_CHECK(strLogString.isEmpty()); // the log took the note
    const bool failed = gStockFailed[stock] == vbTrue;
    FUZZ_CHECK(failed == (gDownloadError[stock] == vbTrue));
    if (failed) {
        for (const QString& slot : history)
            FUZZ_CHECK(slot == u"earlier"_qs);
        return 0;
    }
    const QStringList& fields = DataRetrieval::HistoryFields;
    const int written = DataRetrieval::HistorySlotsWritten;
    FUZZ_CHECK(fields.size() >= DataRetrieval::kMinimumFields);
    FUZZ_CHECK(written > 0 && written <= kHistorySlots);
    // Row r holds fields 0, 1, 2, 3, 6 and 5 of line r (the close from the adjusted close).
    constexpr int kFieldOfSlot[6] = {0, 1, 2, 3, 6, 5};
    for (int slot = 0; slot < kHistorySlots; ++slot) {
        if (slot >= written) {
            FUZZ_CHECK(history[slot].isEmpty());
            continue;
        }
        const qsizetype source = slot / 6 * 7 + kFieldOfSlot[slot % 6];
        FUZZ_CHECK(source < fields.size());
        FUZZ_CHECK(history[slot] == fields[source]);
    }
    return 0;
}
