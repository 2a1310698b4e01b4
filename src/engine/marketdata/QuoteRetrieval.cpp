#include "engine/marketdata/QuoteRetrieval.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
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
    QString* fields[kQuoteFields] = {&quote.Symbol, &quote.Last, &quote.Date, &quote.Time, &quote.Change,
        &quote.Open, &quote.High, &quote.Low, &quote.Volume};
    return *fields[k];
}

void quoteErrorPath(StockContext& stock)
{
    stock.state.downloadError = true;
    const QString text = LogText::QuoteDownloadError + QString::number(stock.stock.number())
        + LogText::BadSymbolOrServerDown;
    stock.state.lastError = text;
    stock.log.add(text + u"\r\n"_qs);
    stock.log.AppendLog(stock.stock.number());
    stock.state.stockFailed = true;
}

} // namespace

QString SymbolForRequest(const QString& symbol)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(symbol, "^"));
}

QString QuoteRequest(const QString& server, const QString& symbol)
{
    return server + u"/download/quotes.csv?format=sl&ext=.csv&symbols="_qs
        + SymbolForRequest(symbol.toLower());
}

std::unique_ptr<Pending> DownloadQuote(const StockContext& stock, HttpFetcher& fetcher,
    const QString& request, std::function<void(const QString&)> done)
{
    std::unique_ptr<Pending> fetch = fetcher.fetch(request, [stock, done](const FetchResult& result) {
        if (!result.ok)
            TransferFailed(stock, result);
        done(result.body);
    });
    if (!fetch) // a fetcher that is busy fails the download like a server that does not answer
        fetch = std::make_unique<Deferred>([done] { done(QString()); });
    return fetch;
}

void TransferFailed(const StockContext& stock, const FetchResult& result)
{
    stock.state.stockFailed = true;
    stock.log.add(QString::number(result.code) + u' ' + result.reason + u"\r\n"_qs);
    stock.log.AppendLog(stock.stock.number());
}

bool SplitQuoteLine(const QString& QuoteText, Quote& quote)
{
    QString text = QuoteText;
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

void ParseQuote(StockContext& stock, const QString& QuoteText)
{
    if (QuoteText.isEmpty() || !SplitQuoteLine(QuoteText, stock.state.quote))
        quoteErrorPath(stock);
}

} // namespace tradevane
