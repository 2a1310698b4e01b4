// The quote server's answer, read by ParseQuote into the nine fields of a stock's quote.
#include "FuzzSupport.h"

#include "engine/log/ActivityLog.h"
#include "engine/marketdata/QuoteRetrieval.h"

#include <QStringList>

using namespace tradevane;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::UseTemporaryProgramFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Every failed quote adds a note to the activity log: empty it now and then.
    static ActivityLog log;
    static unsigned runs = 0;
    if (++runs % 512 == 0)
        log.eraseLog(0);

    // The stock follows from the length, so that every stock number is used and an input always
    // gives the same run. The transfer control hands the body over as Latin-1.
    const StockIndex index(static_cast<int>(size % kStockCount));
    const QString body = QString::fromLatin1(fuzz::Bytes(data, size));
    const AlertSettings settings;
    StockState state;
    StockContext stock {index, settings, state, log};
    parseQuote(stock, body);

    FUZZ_CHECK(log.pending().isEmpty()); // the log took the note
    QString cleaned = body;
    cleaned.replace(u'\n', u',').replace(u'\r', u',').remove(u'"');
    const QStringList fields = cleaned.split(u',');
    const bool complete = !body.isEmpty() && fields.size() >= 9;
    FUZZ_CHECK(state.stockFailed == !complete);
    FUZZ_CHECK(state.downloadError == !complete);
    const Quote& q = state.quote;
    const QString* stored[9]
        = {&q.symbol, &q.last, &q.date, &q.time, &q.change, &q.open, &q.high, &q.low, &q.volume};
    for (int k = 0; k < 9; ++k) {
        if (body.isEmpty() || k >= fields.size()) {
            FUZZ_CHECK(stored[k]->isEmpty());
            continue;
        }
        FUZZ_CHECK(*stored[k] == fields[k]);
        for (QChar c : {u',', u'"', u'\r', u'\n'})
            FUZZ_CHECK(!stored[k]->contains(c));
    }
    return 0;
}
