// The history server's daily table, walked by ParseHistory into a stock's history array.
#include "FuzzSupport.h"

#include "engine/log/ActivityLog.h"
#include "engine/marketdata/HistoryRetrieval.h"

#include <QStringList>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::UseTemporaryProgramFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Every failed table adds a note to the activity log: empty it now and then.
    static ActivityLog log;
    static unsigned runs = 0;
    if (++runs % 512 == 0)
        log.EraseLog(0);

    const StockIndex index(static_cast<int>(size % kStockCount));
    const AlertSettings settings;
    StockState state;
    // What an earlier parse left: a failed parse must keep it, a good one must replace all of it.
    state.history.fill(u"earlier"_qs);
    const QString text = QString::fromLatin1(fuzz::Bytes(data, size));
    StockContext stock {index, settings, state, log};
    ParseHistory(stock, text);

    FUZZ_CHECK(log.pending().isEmpty()); // the log took the note
    FUZZ_CHECK(state.stockFailed == state.downloadError);
    if (state.stockFailed) {
        for (const QString& slot : state.history)
            FUZZ_CHECK(slot == u"earlier"_qs);
        return 0;
    }
    // Row r holds fields 0, 1, 2, 3, 6 and 5 of line r (the close from the adjusted close), as far
    // as the fields go; the slots after them are empty.
    QString joined = text;
    joined.replace(u'\n', u',').remove(u'"');
    const QStringList fields = joined.split(u',');
    FUZZ_CHECK(fields.size() >= kMinimumHistoryFields);
    constexpr qsizetype kFieldOfSlot[6] = {0, 1, 2, 3, 6, 5};
    const qsizetype n = fields.size();
    const auto written = static_cast<std::size_t>(6 * (n / 7) + std::min<qsizetype>(n % 7, 6));
    FUZZ_CHECK(written <= state.history.size());
    for (std::size_t slot = 0; slot < state.history.size(); ++slot) {
        if (slot >= written) {
            FUZZ_CHECK(state.history[slot].isEmpty());
            continue;
        }
        const qsizetype source = static_cast<qsizetype>(slot / 6) * 7 + kFieldOfSlot[slot % 6];
        FUZZ_CHECK(source < n);
        FUZZ_CHECK(state.history[slot] == fields[source]);
    }
    return 0;
}
