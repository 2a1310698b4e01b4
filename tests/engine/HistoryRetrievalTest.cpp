#include "LoopbackHttpServer.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "engine/marketdata/HistoryRetrieval.h"

namespace {

const QString kHistoryPath = u"/table.csv"_qs;

// A history response: a heading line and `lines` - 1 trading days of seven fields, each value
// naming its row and column ("A12o" is the open of row 12 of response A).
QByteArray response(int lines, const char* tag, const char* lineEnd = "\n")
{
    QByteArray text = "Date,Open,High,Low,Close,Volume,Adj Close";
    text += lineEnd;
    for (int row = 1; row < lines; ++row) {
        const QByteArray r = tag + QByteArray::number(row);
        text += r + "d," + r + "o," + r + "h," + r + "l," + r + "c," + r + "v," + r + "a" + lineEnd;
    }
    return text;
}

// Row `row` of a history array: date, open, high, low, close, volume.
QStringList row(const HistoryArray& history, int row)
{
    QStringList values;
    for (int k = 0; k < 6; ++k)
        values << history[static_cast<std::size_t>(6 * row + k)];
    return values;
}

QStringList expectedRow(const char* tag, int r)
{
    const QString p = QString::fromLatin1(tag) + QString::number(r);
    return {p + u'd', p + u'o', p + u'h', p + u'l', p + u'a', p + u'v'};
}

class HistoryDownload : public HttpServerTest
{
protected:
    void SetUp() override
    {
        HttpServerTest::SetUp();
        dates = SetHistoryDates(QDateTime(QDate(2003, 12, 5), QTime(9, 30)));
    }

    StockContext stock(int number)
    {
        return {
            StockIndex::fromNumber(number), settings, states[static_cast<std::size_t>(number - 1)], app.log};
    }
    HistoryArray& history(int number) { return states[static_cast<std::size_t>(number - 1)].history; }

    // Downloads and parses the history of stock `number`, as the engine does.
    void download(int number, const QString& symbol)
    {
        bool ended = false;
        QString body;
        const auto fetch = DownloadHistory(stock(number), app.InetQuotes(),
            HistoryRequest(server->baseUrl(), symbol, dates), [&](const QString& b) {
                body = b;
                ended = true;
            });
        ASSERT_TRUE(RunUntil([&] { return ended; }));
        StockContext s = stock(number);
        ParseHistory(s, body);
    }

    void fetch(int number, const QByteArray& body, const QString& symbol = u"abc"_qs)
    {
        server->serve(kHistoryPath, body);
        download(number, symbol);
    }

    HistoryDates dates;
    AlertSettings settings;
    std::array<StockState, kStockCount> states {};

    static QString dataError(int stock)
    {
        return LogText::DataError + QString::number(stock) + LogText::FileTooSmall + u"\r\n"_qs;
    }
};

TEST_F(HistoryDownload, RequestCarriesTheYearBeforeTodayInCalendarMonths)
{
    server->serve(kHistoryPath, response(210, "A"));
    download(1, u"IBM"_qs);

    // A year back across 29 February 2004 starts on 2 March 2003.
    dates = SetHistoryDates(QDateTime(QDate(2004, 3, 1), QTime(9, 30)));
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
        states = {};
        fetch(2, response(283, "B"));
        ASSERT_FALSE(states[1].stockFailed);
        const HistoryArray stock2 = history(2);
        history(5).fill(u"stale"_qs);

        fetch(5, response(lines, "A"));
        EXPECT_FALSE(states[4].stockFailed);
        EXPECT_FALSE(states[4].downloadError);
        EXPECT_TRUE(log().isEmpty()) << log().toStdString();
        EXPECT_EQ(row(history(5), 0),
            (QStringList {u"Date"_qs, u"Open"_qs, u"High"_qs, u"Low"_qs, u"Adj Close"_qs, u"Volume"_qs}));
        for (int r = 1; r < lines; ++r)
            ASSERT_EQ(row(history(5), r), expectedRow("A", r)) << "row " << r;
        for (std::size_t slot = 6 * static_cast<std::size_t>(lines); slot < kHistorySlots; ++slot)
            ASSERT_EQ(history(5)[slot], QString()) << "slot " << slot;
        EXPECT_EQ(history(2), stock2);
    }
}

TEST_F(HistoryDownload, LineCountOutsideTheArrayIsRefusedAndTheOldRowsKept)
{
    fetch(4, response(200, "A")); // 1401 fields: the shortest accepted
    EXPECT_FALSE(states[3].stockFailed);
    fetch(4, response(283, "A")); // 1698 slots: the longest accepted
    EXPECT_FALSE(states[3].stockFailed);
    const HistoryArray kept = history(4);

    fetch(4, response(199, "C"));
    EXPECT_EQ(log(), dataError(4));
    EXPECT_TRUE(states[3].stockFailed);
    EXPECT_TRUE(states[3].downloadError);
    EXPECT_EQ(history(4), kept);

    app.log.EraseLog(4);
    fetch(4, response(284, "C"));
    EXPECT_EQ(log(), u"\r\n"_qs + dataError(4));
    EXPECT_EQ(history(4), kept);

    // Ending inside a line before its close is a corrupt response.
    app.log.EraseLog(4);
    fetch(4, response(250, "C") + "2002-12-01,1,2,3,4");
    EXPECT_EQ(log(), u"\r\n"_qs + dataError(4));
    EXPECT_EQ(history(4), kept);
}

TEST_F(HistoryDownload, CrLfLinesKeepTheCarriageReturnOnTheClose)
{
    fetch(6, response(240, "A", "\r\n"));
    EXPECT_FALSE(states[5].stockFailed);
    EXPECT_EQ(row(history(6), 0)[4], u"Adj Close\r"_qs);
    EXPECT_EQ(row(history(6), 1),
        (QStringList {u"A1d"_qs, u"A1o"_qs, u"A1h"_qs, u"A1l"_qs, u"A1a\r"_qs, u"A1v"_qs}));
    EXPECT_EQ(row(history(6), 239)[4], u"A239a\r"_qs);
}

// (The engine logs the transfer control's own reason before these lines.)
TEST_F(HistoryDownload, FailedDownloadLogsTheDownloadAndDataErrors)
{
    history(7).fill(u"kept"_qs);
    server->serveStatus(kHistoryPath, 404);
    download(7, u"zzz"_qs);

    EXPECT_EQ(log(),
        LogText::DownloadError + u"7"_qs + LogText::BadSymbolOrServerDown + u"\r\n\r\n"_qs + dataError(7));
    EXPECT_TRUE(states[6].stockFailed);
    EXPECT_TRUE(states[6].downloadError);
    EXPECT_EQ(history(7)[0], u"kept"_qs);
}

} // namespace
