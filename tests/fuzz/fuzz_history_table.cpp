// The history server's daily table, read by ParseHistory into a stock's daily bars.
#include "FuzzSupport.h"

#include "engine/log/ActivityLog.h"
#include "engine/marketdata/HistoryRetrieval.h"

#include <QStringList>

using namespace tradevane;

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
        log.eraseLog(0);

    const StockIndex index(static_cast<int>(size % kStockCount));
    const AlertSettings settings;
    StockState state;
    // What an earlier parse left: a failed parse must keep it, a good one must replace all of it.
    state.history.assign(3, barFromTexts(u"earlier"_qs, {}, {}, {}, {}, {}));
    const QString text = QString::fromLatin1(fuzz::Bytes(data, size));
    StockContext stock {index, settings, state, log};
    parseHistory(stock, text);

    FUZZ_CHECK(log.pending().isEmpty()); // the log took the note
    FUZZ_CHECK(state.stockFailed == state.downloadError);
    if (state.stockFailed) {
        FUZZ_CHECK(state.history.size() == 3);
        for (const DailyBar& bar : state.history)
            FUZZ_CHECK(bar.dateText == u"earlier"_qs);
        return 0;
    }
    // Row r holds fields 0, 1, 2, 3, 6 and 5 of line r (the close from the adjusted close), as far
    // as the fields go; the fields of a row after them are empty and read 0.
    QString joined = text;
    joined.replace(u'\n', u',').remove(u'"');
    const QStringList fields = joined.split(u',');
    FUZZ_CHECK(fields.size() >= kMinimumHistoryFields);
    constexpr qsizetype kFieldOfSlot[6] = {0, 1, 2, 3, 6, 5};
    const qsizetype n = fields.size();
    const qsizetype written = 6 * (n / 7) + std::min<qsizetype>(n % 7, 6);
    FUZZ_CHECK(static_cast<qsizetype>(state.history.size()) == (written + 5) / 6);
    FUZZ_CHECK(state.history.size() <= static_cast<std::size_t>(kHistoryRows + 1));
    for (qsizetype slot = 0; slot < 6 * static_cast<qsizetype>(state.history.size()); ++slot) {
        const qsizetype source = slot / 6 * 7 + kFieldOfSlot[slot % 6];
        const QString field = slot < written ? fields[source] : QString();
        FUZZ_CHECK(slot >= written || source < n);
        const DailyBar& bar = state.history[static_cast<std::size_t>(slot / 6)];
        switch (slot % 6) {
        case 0:
            FUZZ_CHECK(bar.dateText == field.trimmed());
            break;
        case 5:
            FUZZ_CHECK(bar.volume == volumeFromText(field));
            break;
        default: {
            const std::optional<double> prices[] = {bar.open, bar.high, bar.low, bar.close};
            FUZZ_CHECK(prices[slot % 6 - 1] == priceFromText(field));
        }
        }
    }
    return 0;
}
