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
        QString body;
        bool ended = false;
        const auto servers = makePriceSource({}, m_app.settings.servers, m_app.fetcher, m_app.hub);
        const auto download = downloadQuote(m_stock, *servers, symbol, [&](const QString& b) {
            body = b;
            ended = true;
        });
        ASSERT_TRUE(runUntil([&] { return ended; }, 30000));
        parseQuote(m_stock, body);
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

TEST_F(QuoteDownload, EmptyBodyLogsExactlyOneLine)
{
    server->serve(kQuotePath, QByteArray());
    fetch();
    EXPECT_EQ(log(), kStock3Error);
    expectFailed();
    EXPECT_EQ(m_state.quote.last, u"old1"_qs);
}

// The status line's reason as the server sends it; the error page is not a quote.
TEST_F(QuoteDownload, HttpErrorLogsCodeAndReasonThenTheQuoteError)
{
    const std::pair<int, QString> errors[]
        = {{404, u"Not Found"_qs}, {500, u"Internal Server Error"_qs}, {503, u"Try Again Later"_qs}};
    for (const auto& [status, reason] : errors) {
        m_state.stockFailed = m_state.downloadError = false;
        m_app.log.eraseLog(3);
        server->serveStatus(kQuotePath, status, status == 503 ? reason : QString());
        fetch();
        EXPECT_EQ(
            log(), u"\r\n"_qs + QString::number(status) + u' ' + reason + u"\r\n\r\n"_qs + kStock3Error);
        expectFailed();
        EXPECT_EQ(m_state.quote.last, u"old1"_qs);
    }
}

TEST_F(QuoteDownload, ServerDownFailsTheStock)
{
    m_app.settings.servers.quoteServer = u"http://127.0.0.1:"_qs + QString::number(unusedLoopbackPort());
    fetch();
    EXPECT_TRUE(log().startsWith(u"7 "_qs)) << log().toStdString();
    EXPECT_TRUE(log().endsWith(kStock3Error));
    expectFailed();
}

TEST_F(QuoteDownload, HangingServerEndsAtTheTimeout)
{
    server->serve(kQuotePath, {.mode = Answer::Mode::Hang});
    m_app.fetcher.setTimeouts(2000, 700);
    fetch();
    EXPECT_TRUE(log().startsWith(u"28 "_qs)) << log().toStdString();
    EXPECT_TRUE(log().endsWith(kStock3Error));
    expectFailed();
}

TEST_F(QuoteDownload, FiveMegabyteBodyIsRefused)
{
    server->serve(kQuotePath, {.mode = Answer::Mode::Huge, .size = 5'000'000});
    fetch();
    EXPECT_EQ(log(), u"63 "_qs + LogText::kResponseTooLarge + u"\r\n\r\n"_qs + kStock3Error);
    expectFailed();
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
