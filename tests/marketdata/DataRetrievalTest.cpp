#include "LoopbackHttpServer.h"

#include "core/LogTexts.h"
#include "core/VarDef.h"
#include "marketdata/DataRetrieval.h"
#include "notify/UpdateLog.h"

namespace {

const QString kHistoryPath = u"/table.csv"_qs;

// A history response: a heading line and `lines` - 1 trading days of seven fields, each value
// naming its row and column ("A12o" is the open of row 12 of response A).
QByteArray history(int lines, const char* tag, const char* lineEnd = "\n")
{
    QByteArray text = "Date,Open,High,Low,Close,Volume,Adj Close";
    text += lineEnd;
    for (int row = 1; row < lines; ++row) {
        const QByteArray r = tag + QByteArray::number(row);
        text += r + "d," + r + "o," + r + "h," + r + "l," + r + "c," + r + "v," + r + "a" + lineEnd;
    }
    return text;
}

// Row `row` of stock `stock`'s history array: date, open, high, low, close, volume.
QStringList row(int stock, int row)
{
    QStringList values;
    for (int k = 0; k < 6; ++k)
        values << gHistory[stock][6 * row + k];
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
        simulateClock(QDateTime(QDate(2003, 12, 5), QTime(9, 30)));
        SetHistoryDates();
    }

    void fetch(int stock, const QByteArray& body, QString symbol = u"abc"_qs)
    {
        server->serve(kHistoryPath, body);
        StockID = static_cast<qint16>(stock);
        DownloadHistory(symbol);
        ParseHistory();
    }

    static QString dataError(int stock)
    {
        return LogText::DataError + QString::number(stock) + LogText::FileTooSmall + u"\r\n"_qs;
    }
};

TEST_F(HistoryDownload, RequestCarriesTheYearBeforeTodayInCalendarMonths)
{
    server->serve(kHistoryPath, history(210, "A"));
    QString symbol = u"IBM"_qs;
    StockID = 1;
    DownloadHistory(symbol);
    EXPECT_EQ(symbol, u"ibm"_qs);

    // A year back across 29 February 2004 starts on 2 March 2003.
    clock->set(QDateTime(QDate(2004, 3, 1), QTime(9, 30)));
    SetHistoryDates();
    QString capital = u"MSFT"_qs;
    DownloadHistory(capital);

    EXPECT_EQ(server->requests(),
        (QStringList {u"/table.csv?s=ibm&a=12&b=5&c=2002&d=12&e=5&f=2003&g=d&Ignore=.csv"_qs,
            u"/table.csv?s=msft&a=3&b=2&c=2003&d=3&e=1&f=2004&g=d&Ignore=.csv"_qs}));
    EXPECT_EQ(DataRetrieval::HistoryUrl, server->baseUrl() + server->requests().value(1));
}

// Rows are the response's lines in order, fields 0, 1, 2, 3, 6, 5; a year of trading days fits,
// and nothing of an earlier, longer parse of another stock is left behind the last row.
TEST_F(HistoryDownload, YearOfDataIsAcceptedWithoutLeftovers)
{
    for (const int lines : {230, 250, 253}) {
        SCOPED_TRACE(lines);
        ResetProgramState();
        fetch(2, history(283, "B"));
        ASSERT_EQ(gStockFailed[2], vbFalse);
        const HistoryArray stock2 = gHistory[2];
        gHistory[5].fill(u"stale"_qs);

        fetch(5, history(lines, "A"));
        EXPECT_EQ(gStockFailed[5], vbFalse);
        EXPECT_EQ(gDownloadError[5], vbFalse);
        EXPECT_TRUE(log().isEmpty()) << log().toStdString();
        EXPECT_EQ(DataRetrieval::LastFieldIndex, 7 * lines);
        EXPECT_EQ(row(5, 0),
            (QStringList {u"Date"_qs, u"Open"_qs, u"High"_qs, u"Low"_qs, u"Adj Close"_qs, u"Volume"_qs}));
        for (int r = 1; r < lines; ++r)
            ASSERT_EQ(row(5, r), expectedRow("A", r)) << "row " << r;
        for (int slot = 6 * lines; slot < kHistorySlots; ++slot)
            ASSERT_EQ(gHistory[5][slot], QString()) << "slot " << slot;
        EXPECT_EQ(gHistory[2], stock2);
    }
}

TEST_F(HistoryDownload, LineCountOutsideTheArrayIsRefusedAndTheOldRowsKept)
{
    fetch(4, history(200, "A")); // 1401 fields: the shortest accepted
    EXPECT_EQ(gStockFailed[4], vbFalse);
    fetch(4, history(283, "A")); // 1698 slots: the longest accepted
    EXPECT_EQ(gStockFailed[4], vbFalse);
    const HistoryArray kept = gHistory[4];

    fetch(4, history(199, "C"));
    EXPECT_EQ(log(), dataError(4));
    EXPECT_EQ(gStockFailed[4], vbTrue);
    EXPECT_EQ(gDownloadError[4], vbTrue);
    EXPECT_EQ(gHistory[4], kept);

    EraseLog(2);
    fetch(4, history(284, "C"));
    EXPECT_EQ(log(), u"\r\n"_qs + dataError(4));
    EXPECT_EQ(gHistory[4], kept);

    // Ending inside a line before its close is a corrupt response.
    EraseLog(2);
    fetch(4, history(250, "C") + "2002-12-01,1,2,3,4");
    EXPECT_EQ(log(), u"\r\n"_qs + dataError(4));
    EXPECT_EQ(gHistory[4], kept);
}

TEST_F(HistoryDownload, CrLfLinesKeepTheCarriageReturnOnTheClose)
{
    fetch(6, history(240, "A", "\r\n"));
    EXPECT_EQ(gStockFailed[6], vbFalse);
    EXPECT_EQ(row(6, 0)[4], u"Adj Close\r"_qs);
    EXPECT_EQ(row(6, 1), (QStringList {u"A1d"_qs, u"A1o"_qs, u"A1h"_qs, u"A1l"_qs, u"A1a\r"_qs, u"A1v"_qs}));
    EXPECT_EQ(row(6, 239)[4], u"A239a\r"_qs);
}

TEST_F(HistoryDownload, FailedDownloadLogsTheTransferDownloadAndDataErrors)
{
    gHistory[7].fill(u"kept"_qs);
    server->serveStatus(kHistoryPath, 404);
    StockID = 7;
    QString symbol = u"zzz"_qs;
    DownloadHistory(symbol);
    EXPECT_EQ(DataRetrieval::HistoryText, QString());
    ParseHistory();

    EXPECT_EQ(log(),
        u"404 Not Found\r\n\r\n"_qs + LogText::DownloadError + u"7"_qs + LogText::BadSymbolOrServerDown
            + u"\r\n\r\n"_qs + dataError(7));
    EXPECT_EQ(gStockFailed[7], vbTrue);
    EXPECT_EQ(gDownloadError[7], vbTrue);
    EXPECT_EQ(gHistory[7][0], u"kept"_qs);
}

} // namespace
