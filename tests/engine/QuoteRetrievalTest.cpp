#include "LoopbackHttpServer.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "engine/marketdata/PriceSource.h"
#include "engine/marketdata/QuoteRetrieval.h"
#include "platform/HttpFetch.h"

using namespace tradevane;

namespace {

using Answer = LoopbackHttpServer::Answer;

const QString kQuotePath = u"/download/quotes.csv"_qs;
const QString kStock3Error = u"Quote Download Error-Stock #:3 Bad symbol or Server down\r\n\r\n"_qs;

class QuoteDownload : public HttpServerTest
{
protected:
    void SetUp() override
    {
        HttpServerTest::SetUp();
        m_state.quote = {u"old0"_qs, u"old1"_qs, u"old2"_qs, u"old3"_qs, u"old4"_qs, u"old5"_qs, u"old6"_qs,
            u"old7"_qs, u"old8"_qs};
    }

    // Downloads and parses the quote of stock 3 as the engine does.
    void fetch(const QString& symbol = u"abc"_qs)
    {
        const auto servers = makePriceSource({}, m_app.settings.servers, m_app.fetcher, m_app.hub);
        parseQuote(m_stock, downloadedQuote(m_stock, *servers, symbol));
    }

    QStringList fields() const
    {
        const Quote& q = m_state.quote;
        return {q.symbol, q.last, q.date, q.time, q.change, q.open, q.high, q.low, q.volume};
    }

    void expectFailed()
    {
        EXPECT_TRUE(m_state.downloadError);
        EXPECT_TRUE(m_state.stockFailed);
    }

    AlertSettings m_settings;
    StockState m_state;
    StockContext m_stock {StockIndex::fromNumber(3), m_settings, m_state, m_app.log};
};

TEST_F(QuoteDownload, NineFieldLineFillsTheQuoteWithoutQuotesOrLineEnd)
{
    server->serve(kQuotePath, QByteArray("\"abc\",10.5,\"d1\",\"t1\",0.25,10.1,10.9,10.0,4200\r\n"));
    fetch(u"ABC"_qs);

    EXPECT_EQ(fields(),
        (QStringList {u"abc"_qs, u"10.5"_qs, u"d1"_qs, u"t1"_qs, u"0.25"_qs, u"10.1"_qs, u"10.9"_qs,
            u"10.0"_qs, u"4200"_qs}));
    EXPECT_EQ(server->requests().value(0), u"/download/quotes.csv?format=sl&ext=.csv&symbols=abc"_qs);
    EXPECT_FALSE(m_state.downloadError);
    EXPECT_FALSE(m_state.stockFailed);
    EXPECT_TRUE(log().isEmpty());
}

TEST_F(QuoteDownload, QuotedCommaSplitsTheFieldAndShiftsTheRest)
{
    server->serve(kQuotePath, QByteArray("\"abc\",\"1,234.5\",\"d1\",\"t1\",0.25,10.1,10.9,10.0,4200\r\n"));
    fetch();
    EXPECT_EQ(fields(),
        (QStringList {u"abc"_qs, u"1"_qs, u"234.5"_qs, u"d1"_qs, u"t1"_qs, u"0.25"_qs, u"10.1"_qs, u"10.9"_qs,
            u"10.0"_qs}));
}

TEST_F(QuoteDownload, EightFieldsFailWithoutLineEndAndPassWithIt)
{
    server->serve(kQuotePath, QByteArray("abc,10.5,d1,t1,0.25,10.1,10.9,10.0"));
    fetch();
    EXPECT_EQ(fields().mid(0, 8),
        (QStringList {
            u"abc"_qs, u"10.5"_qs, u"d1"_qs, u"t1"_qs, u"0.25"_qs, u"10.1"_qs, u"10.9"_qs, u"10.0"_qs}));
    EXPECT_EQ(m_state.quote.volume, u"old8"_qs);
    expectFailed();
    EXPECT_EQ(log(), kStock3Error);

    m_state = {};
    m_app.log.eraseLog(3);
    server->serve(kQuotePath, QByteArray("abc,10.5,d1,t1,0.25,10.1,10.9,10.0\r\n"));
    fetch();
    EXPECT_EQ(m_state.quote.low, u"10.0"_qs);
    EXPECT_EQ(m_state.quote.volume, QString());
    EXPECT_FALSE(m_state.stockFailed);
    EXPECT_EQ(log(), u"\r\n"_qs);
}

// Every way the download can fail logs why (the status line's reason as the server sends it, or the
// fetcher's code), then the quote error; the stock keeps its old quote and is out of the set. An
// empty body is the quote error alone.
TEST_F(QuoteDownload, EveryFailureLogsWhyThenTheQuoteError)
{
    const QString down = u"http://127.0.0.1:"_qs + QString::number(unusedLoopbackPort());
    const struct
    {
        Answer answer;
        QString server; // empty: the loopback server
        QString logged; // before the quote error: all of it when it ends with an empty line
    } cases[] = {
        {{.body = {}}, {}, {}},
        {{.status = 404, .body = "error page"}, {}, u"404 Not Found\r\n\r\n"_qs},
        {{.status = 500, .body = "error page"}, {}, u"500 Internal Server Error\r\n\r\n"_qs},
        {{.status = 503, .reason = u"Try Again Later"_qs, .body = "error page"}, {},
            u"503 Try Again Later\r\n\r\n"_qs},
        {{}, down, u"7 "_qs},
        {{.mode = Answer::Mode::Hang}, {}, u"28 "_qs},
        {{.mode = Answer::Mode::Huge, .size = 5'000'000}, {},
            u"63 "_qs + LogText::kResponseTooLarge + u"\r\n\r\n"_qs},
    };
    m_app.fetcher.setTimeouts(2000, 700);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.logged.toStdString());
        m_state.stockFailed = m_state.downloadError = false;
        m_app.log.eraseLog(3); // the log is one empty line
        server->serve(kQuotePath, c.answer);
        m_app.settings.servers.quoteServer = c.server.isEmpty() ? server->baseUrl() : c.server;
        fetch();
        if (c.logged.isEmpty() || c.logged.endsWith(u"\r\n\r\n"_qs)) {
            EXPECT_EQ(log(), u"\r\n"_qs + c.logged + kStock3Error);
        } else {
            EXPECT_TRUE(log().startsWith(u"\r\n"_qs + c.logged)) << log().toStdString();
            EXPECT_TRUE(log().endsWith(kStock3Error)) << log().toStdString();
        }
        expectFailed();
        EXPECT_EQ(m_state.quote.last, u"old1"_qs);
    }
}

TEST_F(QuoteDownload, SymbolIsLowerCasedAndCannotChangeTheRequest)
{
    server->serve(kQuotePath, QByteArray("x,1,d,t,0,1,1,1,1\r\n"));
    const QStringList symbols {u"BRK.B"_qs, u"BRK B"_qs, u"A&B"_qs, u"^GSPC"_qs, u"X#Y?Z=1"_qs};
    const QStringList sent {u"brk.b"_qs, u"brk%20b"_qs, u"a%26b"_qs, u"^gspc"_qs, u"x%23y%3Fz%3D1"_qs};
    for (const QString& symbol : symbols)
        fetch(symbol);
    QStringList received;
    for (const QString& target : server->requests())
        received << target.section(u"symbols="_qs, 1);
    EXPECT_EQ(received, sent);
}

} // namespace
