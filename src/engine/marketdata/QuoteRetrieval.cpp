#include "engine/marketdata/QuoteRetrieval.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "engine/marketdata/PriceSource.h"
#include "platform/Deferred.h"
#include "platform/HttpFetch.h"

#include <QStringList>
#include <QUrl>

namespace tradevane {

namespace {

constexpr int kQuoteFields = 9;

// Field k of a quote in the server's column order.
QString& quoteField(Quote& quote, int k)
{
    QString* fields[kQuoteFields] = {&quote.symbol, &quote.last, &quote.date, &quote.time, &quote.change,
        &quote.open, &quote.high, &quote.low, &quote.volume};
    return *fields[k];
}

void quoteErrorPath(StockContext& stock)
{
    stock.state.downloadError = true;
    const QString text = LogText::kQuoteDownloadError + QString::number(stock.stock.number())
        + LogText::kBadSymbolOrServerDown;
    stock.state.lastError = text;
    stock.log.add(text + u"\r\n"_qs);
    stock.log.appendLog(stock.stock.number());
    stock.state.stockFailed = true;
}

} // namespace

QString symbolForRequest(const QString& symbol)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(symbol, "^"));
}

QString quoteRequest(const QString& server, const QString& symbol)
{
    return server + u"/download/quotes.csv?format=sl&ext=.csv&symbols="_qs
        + symbolForRequest(symbol.toLower());
}

std::unique_ptr<Pending> downloadQuote(const StockContext& stock, PriceSource& source, const QString& symbol,
    std::function<void(const QString&)> done)
{
    std::unique_ptr<Pending> fetch = source.fetchQuote(symbol, [stock, done](const FetchResult& result) {
        if (!result.ok)
            transferFailed(stock, result);
        done(result.body);
    });
    if (!fetch) // a fetcher that is busy fails the download like a server that does not answer
        fetch = std::make_unique<Deferred>([done] { done(QString()); });
    return fetch;
}

void transferFailed(const StockContext& stock, const FetchResult& result)
{
    stock.state.stockFailed = true;
    stock.log.add(QString::number(result.code) + u' ' + result.reason + u"\r\n"_qs);
    stock.log.appendLog(stock.stock.number());
}

bool splitQuoteLine(const QString& quoteText, Quote& quote)
{
    QString text = quoteText;
    text.replace(u'\n', u',');
    text.replace(u'\r', u',');
    text.remove(u'"');
    const QStringList fields = text.split(u',');
    for (int k = 0; k < kQuoteFields; ++k) {
        if (k >= fields.size())
            return false;
        quoteField(quote, k) = fields[k];
    }
    return true;
}

void parseQuote(StockContext& stock, const QString& quoteText)
{
    if (quoteText.isEmpty() || !splitQuoteLine(quoteText, stock.state.quote))
        quoteErrorPath(stock);
}

} // namespace tradevane
