#include "engine/marketdata/HistoryRetrieval.h"

#include "engine/marketdata/PriceSource.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "engine/marketdata/QuoteRetrieval.h"
#include "platform/Conversions.h"
#include "platform/Deferred.h"
#include "platform/HttpFetch.h"
#include "platform/ReadableText.h"

#include <QStringList>

namespace tradevane {

namespace {

constexpr int kLineFields = 7;

// The six texts of a row (date, open, high, low, close, volume) come from these fields of its
// line: the close from field 6, field 4 is unused.
constexpr int kLineFieldOfText[6] = {0, 1, 2, 3, 6, 5};
// The texts a history holds: six a row, of the 284th row its date, open and high.
constexpr int kHistoryTexts = 6 * kHistoryRows + 3;

// The download and data error paths: the stock is out of this quote set, the reason is logged.
void errorPath(const StockContext& stock, const QString& text)
{
    stock.state.downloadError = true;
    stock.state.lastError = text.trimmed();
    stock.log.add(text);
    stock.log.appendLog(stock.stock.number());
    stock.state.stockFailed = true;
}

void dataErrorPath(StockContext& stock)
{
    errorPath(stock, LogText::kDataError + QString::number(stock.stock.number()) + LogText::kFileTooSmall);
}

} // namespace

HistoryDates setHistoryDates(const QDateTime& now)
{
    HistoryDates d;
    d.today = now;
    d.toMonth = QString::number(now.date().month());
    d.toDay = QString::number(now.date().day());
    d.toYear = QString::number(now.date().year());
    // A count of days, not a calendar year: across a leap day the range starts a day later.
    d.fromDate = now.addDays(-365);
    d.fromMonth = QString::number(d.fromDate.date().month());
    d.fromDay = QString::number(d.fromDate.date().day());
    d.fromYear = QString::number(d.fromDate.date().year());
    return d;
}

QString historyRequest(const QString& server, const QString& symbol, const HistoryDates& d)
{
    return server + u"/table.csv?s="_qs + symbolForRequest(symbol.toLower()) + u"&a="_qs + d.fromMonth
        + u"&b="_qs + d.fromDay + u"&c="_qs + d.fromYear + u"&d="_qs + d.toMonth + u"&e="_qs + d.toDay
        + u"&f="_qs + d.toYear + u"&g=d&Ignore=.csv"_qs;
}

std::optional<PriceHistory> readHistoryTable(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    // Carriage returns stay: with CR LF lines the close of every row keeps one at its end.
    QString joined = text;
    joined.replace(u'\n', u',');
    joined.remove(u'"');
    const QStringList fields = joined.split(u',');
    const int lastField = static_cast<int>(fields.size()) - 1;
    if (lastField < kMinimumHistoryFields - 1)
        return std::nullopt;

    // The fields are taken in order, six of every seven, whatever the lines: a line of another
    // length shifts the rows after it.
    QStringList texts;
    for (int k = 0; k <= lastField; ++k) {
        const int column = k % kLineFields;
        if (column == kLineFields - 1)
            continue;
        const int source = k - column + kLineFieldOfText[column];
        if (texts.size() >= kHistoryTexts || source > lastField)
            return std::nullopt;
        texts.append(fields[source]);
    }
    // A row the texts end in has empty texts after them.
    while (texts.size() % 6 != 0)
        texts.append(QString());
    PriceHistory history;
    history.reserve(static_cast<std::size_t>(texts.size() / 6));
    for (qsizetype row = 0; row < texts.size(); row += 6)
        history.push_back(barFromTexts(
            texts[row], texts[row + 1], texts[row + 2], texts[row + 3], texts[row + 4], texts[row + 5]));
    return history;
}

std::unique_ptr<Pending> downloadHistory(const StockContext& stock, PriceSource& source,
    const QString& symbol, const HistoryDates& dates, std::function<void(const QString&)> done)
{
    auto failed = [stock, done] {
        errorPath(stock,
            LogText::kDownloadError + QString::number(stock.stock.number()) + LogText::kBadSymbolOrServerDown
                + u"\r\n"_qs);
        done(QString());
    };
    std::unique_ptr<Pending> fetch
        = source.fetchHistory(symbol, dates, [stock, done, failed](const FetchResult& result) {
              if (result.ok) {
                  done(result.body);
                  return;
              }
              transferFailed(stock, result);
              failed();
          });
    if (!fetch) // a fetcher that is busy fails the download like a server that does not answer
        fetch = std::make_unique<Deferred>(failed);
    return fetch;
}

std::unique_ptr<Pending> fetchHistory(PriceSource& source, const QString& symbol, const QDateTime& now,
    std::function<void(const FetchedHistory&)> done)
{
    std::unique_ptr<Pending> fetch
        = source.fetchHistory(symbol.trimmed(), setHistoryDates(now), [done](const FetchResult& result) {
              FetchedHistory fetched;
              if (!result.ok) {
                  fetched.problem = readableLine(u"The data source did not give the prices: "_qs
                      + QString::number(result.code) + u' ' + result.reason);
              } else {
                  fetched.history = readHistoryTable(result.body);
                  if (!fetched.history)
                      fetched.problem = u"The data source's answer is not a year of daily prices."_qs;
              }
              done(fetched);
          });
    if (!fetch) {
        fetch = std::make_unique<Deferred>([done] {
            done({std::nullopt, u"Another download is under way; try again in a moment."_qs});
        });
    }
    return fetch;
}

void parseHistory(StockContext& stock, const QString& historyText)
{
    std::optional<PriceHistory> history = readHistoryTable(historyText);
    if (!history) {
        dataErrorPath(stock);
        return;
    }
    // Replaced whole, so nothing of an earlier day is left behind the last row.
    stock.state.history = std::move(*history);
    stock.state.lastError.clear();
}

} // namespace tradevane
