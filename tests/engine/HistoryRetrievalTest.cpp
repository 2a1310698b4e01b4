#include "LoopbackHttpServer.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "engine/marketdata/HistoryRetrieval.h"
#include "engine/marketdata/PriceSource.h"

using namespace tradevane;

namespace {

const QString kHistoryPath = u"/table.csv"_qs;

// A history response: a heading line and `lines` - 1 trading days of seven fields. The date names
// the row ("A12"), every other value is the row's number times 10 plus its column (1 open, 2 high,
// 3 low, 4 close, 5 volume, 6 adjusted close), plus `base`.
QByteArray response(int lines, const char* tag, const char* lineEnd = "\n", int base = 0)
{
    QByteArray text = "Date,Open,High,Low,Close,Volume,Adj Close";
    text += lineEnd;
    for (int row = 1; row < lines; ++row) {
        text += tag + QByteArray::number(row);
        for (int column = 1; column <= 6; ++column)
            text += ',' + QByteArray::number(base + 10 * row + column);
        text += lineEnd;
    }
    return text;
}

// A bar as text: date, open, high, low, close, volume ("-" for no value).
QStringList row(const PriceHistory& history, int row)
{
    const DailyBar& bar = history.at(static_cast<std::size_t>(row));
    QStringList values {bar.dateText};
    for (const std::optional<double>& value : {bar.open, bar.high, bar.low, bar.close, bar.volume})
        values << (value ? QString::number(*value) : u"-"_qs);
    return values;
}

// The bar of row `r` of a response: its close is the adjusted close.
QStringList expectedRow(const char* tag, int r, int base = 0)
{
    const auto value = [&](int column) { return QString::number(base + 10 * r + column); };
    return {QString::fromLatin1(tag) + QString::number(r), value(1), value(2), value(3), value(6), value(5)};
}

class HistoryDownload : public HttpServerTest
{
protected:
    void SetUp() override
    {
        HttpServerTest::SetUp();
        m_dates = setHistoryDates(QDateTime(QDate(2003, 12, 5), QTime(9, 30)));
    }

    StockContext stock(int number)
    {
        return {StockIndex::fromNumber(number), m_settings, m_states[static_cast<std::size_t>(number - 1)],
            m_app.log};
    }
    PriceHistory& history(int number) { return m_states[static_cast<std::size_t>(number - 1)].history; }

    // Downloads and parses the history of stock `number`, as the engine does.
    void download(int number, const QString& symbol)
    {
        const auto servers
            = makePriceSource({}, {server->baseUrl(), server->baseUrl()}, m_app.fetcher, m_app.hub);
        StockContext s = stock(number);
        parseHistory(s, downloadedHistory(s, *servers, symbol, m_dates));
    }

    void fetch(int number, const QByteArray& body, const QString& symbol = u"abc"_qs)
    {
        server->serve(kHistoryPath, body);
        download(number, symbol);
    }

    HistoryDates m_dates;
    AlertSettings m_settings;
    std::array<StockState, kStockCount> m_states {};

    static QString dataError(int stock)
    {
        return LogText::kDataError + QString::number(stock) + LogText::kFileTooSmall + u"\r\n"_qs;
    }
};

TEST_F(HistoryDownload, RequestCarriesTheYearBeforeTodayInCalendarMonths)
{
    server->serve(kHistoryPath, response(210, "A"));
    download(1, u"IBM"_qs);

    // A year back across 29 February 2004 starts on 2 March 2003.
    m_dates = setHistoryDates(QDateTime(QDate(2004, 3, 1), QTime(9, 30)));
    download(1, u"MSFT"_qs);

    EXPECT_EQ(server->requests(),
        (QStringList {u"/table.csv?s=ibm&a=12&b=5&c=2002&d=12&e=5&f=2003&g=d&Ignore=.csv"_qs,
            u"/table.csv?s=msft&a=3&b=2&c=2003&d=3&e=1&f=2004&g=d&Ignore=.csv"_qs}));
}

// Rows are the response's lines in order, fields 0, 1, 2, 3, 6, 5; a year of trading days fits,
// and nothing of an earlier, longer parse of another stock is left behind the last row.
TEST_F(HistoryDownload, YearOfDataIsAcceptedWithoutLeftovers)
{
    for (const int lines : {230, 250, 253}) {
        SCOPED_TRACE(lines);
        m_states = {};
        fetch(2, response(283, "B"));
        ASSERT_FALSE(m_states[1].stockFailed);
        const QStringList stock2 = row(history(2), 282);
        history(5).assign(300, barFromTexts(u"stale"_qs, {}, {}, {}, {}, {}));

        fetch(5, response(lines, "A"));
        EXPECT_FALSE(m_states[4].stockFailed);
        EXPECT_FALSE(m_states[4].downloadError);
        EXPECT_TRUE(log().isEmpty()) << log().toStdString();
        // The heading line holds no prices; its volume text begins with no number, which counts 0.
        EXPECT_EQ(
            row(history(5), 0), (QStringList {u"Date"_qs, u"-"_qs, u"-"_qs, u"-"_qs, u"-"_qs, u"0"_qs}));
        for (int r = 1; r < lines; ++r)
            ASSERT_EQ(row(history(5), r), expectedRow("A", r)) << "row " << r;
        // The line end after the last line begins one more row, with nothing in it.
        ASSERT_EQ(history(5).size(), static_cast<std::size_t>(lines + 1));
        EXPECT_EQ(
            row(history(5), lines), (QStringList {QString(), u"0"_qs, u"0"_qs, u"0"_qs, u"0"_qs, u"0"_qs}));
        EXPECT_EQ(row(history(2), 282), stock2);
    }
}

TEST_F(HistoryDownload, LineCountOutsideTheArrayIsRefusedAndTheOldRowsKept)
{
    fetch(4, response(200, "A")); // 1401 fields: the shortest accepted
    EXPECT_FALSE(m_states[3].stockFailed);
    fetch(4, response(283, "A")); // 1698 slots: the longest accepted
    EXPECT_FALSE(m_states[3].stockFailed);
    const PriceHistory kept = history(4);

    fetch(4, response(199, "C", "\n", 100000));
    EXPECT_EQ(log(), dataError(4));
    EXPECT_TRUE(m_states[3].stockFailed);
    EXPECT_TRUE(m_states[3].downloadError);
    EXPECT_EQ(row(history(4), 282), row(kept, 282));

    m_app.log.eraseLog(4);
    fetch(4, response(284, "C", "\n", 100000));
    EXPECT_EQ(log(), u"\r\n"_qs + dataError(4));
    EXPECT_EQ(row(history(4), 282), row(kept, 282));

    // Ending inside a line before its close is a corrupt response.
    m_app.log.eraseLog(4);
    fetch(4, response(250, "C", "\n", 100000) + "2002-12-01,1,2,3,4");
    EXPECT_EQ(log(), u"\r\n"_qs + dataError(4));
    EXPECT_EQ(row(history(4), 282), row(kept, 282));
}

TEST_F(HistoryDownload, CrLfLinesReadAsLfLines)
{
    fetch(6, response(240, "A", "\r\n"));
    EXPECT_FALSE(m_states[5].stockFailed);
    EXPECT_EQ(row(history(6), 1), expectedRow("A", 1));
    EXPECT_EQ(row(history(6), 239), expectedRow("A", 239));
}

TEST_F(HistoryDownload, FailedDownloadLogsTheServersAnswerAndTheDownloadAndDataErrors)
{
    history(7).assign(3, barFromTexts(u"kept"_qs, {}, {}, {}, {}, {}));
    server->serveStatus(kHistoryPath, 404);
    download(7, u"zzz"_qs);

    EXPECT_EQ(log(),
        u"404 Not Found\r\n\r\n"_qs + LogText::kDownloadError + u"7"_qs + LogText::kBadSymbolOrServerDown
            + u"\r\n\r\n"_qs + dataError(7));
    EXPECT_TRUE(m_states[6].stockFailed);
    EXPECT_TRUE(m_states[6].downloadError);
    EXPECT_EQ(history(7)[0].dateText, u"kept"_qs);
}

} // namespace
