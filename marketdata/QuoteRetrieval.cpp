#include "marketdata/QuoteRetrieval.h"

#include "core/LogTexts.h"
#include "core/MainControls.h"
#include "core/ServerSettings.h"
#include "core/VarDef.h"
#include "notify/UpdateLog.h"
#include "platform/InetControl.h"
#include "platform/LegacyWait.h"

#include <QStringList>
#include <QUrl>

QString QuoteRetrieval::QuoteText;

using QuoteRetrieval::QuoteText;

namespace {

constexpr int kQuoteFields = 9;

// Field k of a quote in the server's column order.
QString& quoteField(Quote& quote, int k)
{
    QString* fields[kQuoteFields] = {&quote.Symbol, &quote.Last, &quote.Date, &quote.Time, &quote.Change,
        &quote.Open, &quote.High, &quote.Low, &quote.Volume};
    return *fields[k];
}

bool isStock(int id)
{
    return id >= 0 && id <= kStockCount;
}

void quoteErrorPath()
{
    if (isStock(StockID))
        gDownloadError[StockID] = vbTrue;
    strLogString += LogText::QuoteDownloadError + QString::number(StockID) + LogText::BadSymbolOrServerDown
        + u"\r\n"_qs;
    AppendLog();
    if (isStock(StockID))
        gStockFailed[StockID] = vbTrue;
}

} // namespace

QString SymbolForRequest(const QString& symbol)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(symbol, "^"));
}

void DownloadQuote(QString& symbol)
{
    QuoteText.clear();
    symbol = symbol.toLower();
    const QString address = gServerSettings.QuoteServer
        + u"/download/quotes.csv?format=sl&ext=.csv&symbols="_qs + SymbolForRequest(symbol);
    QuoteText = OpenURLAndWait(InetQuotes(), address).value_or(QString());
    InetQuotes().Cancel();
}

void ParseQuote()
{
    if (QuoteText.isEmpty()) {
        quoteErrorPath();
        return;
    }
    QuoteText.replace(u'\n', u',');
    QuoteText.replace(u'\r', u',');
    QuoteText.remove(u'"');
    const QStringList fields = QuoteText.split(u',');
    if (!isStock(StockID)) {
        quoteErrorPath();
        return;
    }
    for (int k = 0; k < kQuoteFields; ++k) {
        // A short line keeps the fields stored so far and reports the quote as failed.
        if (k >= fields.size()) {
            quoteErrorPath();
            return;
        }
        quoteField(gQuotes[StockID], k) = fields[k];
    }
}
