#include "LoopbackHttpServer.h"
#include "RunToEnd.h"

#include "engine/log/LogTexts.h"
#include "platform/HttpFetch.h"

#include <QTimer>

#include <curl/curl.h>

using namespace tradevane;

namespace {

using Answer = LoopbackHttpServer::Answer;

class Fetch : public HttpServerTest
{
protected:
    // A failure with this code and reason.
    static testing::AssertionResult failed(
        const std::optional<FetchResult>& result, int code, const QString& reason = {})
    {
        if (!result)
            return testing::AssertionFailure() << "no result";
        if (result->ok || result->code != code || (!reason.isEmpty() && result->reason != reason))
            return testing::AssertionFailure() << "ok " << result->ok << ", code " << result->code
                                               << ", reason " << result->reason.toStdString();
        return result->body.isEmpty() ? testing::AssertionSuccess() : testing::AssertionFailure() << "a body";
    }
    std::optional<QString> body(const QString& address)
    {
        const std::optional<FetchResult> result = runToEnd(m_fetcher, address);
        if (!result || !result->ok)
            return std::nullopt;
        return result->body;
    }

    HttpFetcher m_fetcher {m_app.hub};
};

TEST_F(Fetch, ReturnsTheBodyByteForByteWithItsStatus)
{
    server->serve(u"/quote"_qs, QByteArray("\"abc\",10.5\r\ncaf\xe9\r\n"));
    server->serve(u"/empty"_qs, QByteArray());

    const std::optional<FetchResult> result = runToEnd(m_fetcher, url(u"/quote"_qs));
    ASSERT_TRUE(result.has_value());
    EXPECT_TRUE(result->ok);
    EXPECT_EQ(result->body, u"\"abc\",10.5\r\ncaf\u00e9\r\n"_qs);
    EXPECT_EQ(result->code, 200);
    EXPECT_EQ(result->reason, u"OK"_qs);
    EXPECT_EQ(body(url(u"/empty"_qs)), std::optional<QString>(QString()));
}

// A reason phrase is the server's own text: it reaches the log and a terminal as one short line.
TEST_F(Fetch, AServersReasonArrivesCleanAndShort)
{
    server->serveStatus(u"/title"_qs, 503,
        u"\x1b]0;pwned\x07"
        "Busy \x1b[31mnow\x1b[0m\x07\x9b"
        "2J"_qs);
    server->serveStatus(u"/long"_qs, 500, QString(50'000, u'x'));
    EXPECT_TRUE(failed(runToEnd(m_fetcher, url(u"/title"_qs)), 503, u"Busy now"_qs));
    const std::optional<FetchResult> result = runToEnd(m_fetcher, url(u"/long"_qs));
    ASSERT_TRUE(failed(result, 500));
    EXPECT_EQ(result->reason, QString(197, u'x') + u"..."_qs);
}

// A server that is down and one that never answers are met where the quote download meets
// them: the stock fails with the fetcher's code in the log.
TEST_F(Fetch, ConnectionClosedWithoutAReplyIsAFailure)
{
    server->serve(u"/hangup"_qs, {.mode = Answer::Mode::Close});
    EXPECT_TRUE(failed(runToEnd(m_fetcher, url(u"/hangup"_qs)), CURLE_GOT_NOTHING));
    server->serveStatus(u"/missing"_qs, 404);
    EXPECT_TRUE(failed(runToEnd(m_fetcher, url(u"/missing"_qs)), 404, u"Not Found"_qs));
}

TEST_F(Fetch, BodyOverOneMebibyteIsRefused)
{
    server->serve(u"/unannounced"_qs, {.mode = Answer::Mode::Huge, .size = 5 * 1024 * 1024});
    server->serve(u"/announced"_qs, {.mode = Answer::Mode::Huge, .size = 5 * 1024 * 1024, .announce = true});
    server->serve(u"/justfits"_qs, {.mode = Answer::Mode::Huge, .size = HttpFetcher::kMaxBodyBytes});

    EXPECT_TRUE(failed(
        runToEnd(m_fetcher, url(u"/unannounced"_qs)), CURLE_FILESIZE_EXCEEDED, LogText::kResponseTooLarge));
    EXPECT_TRUE(failed(
        runToEnd(m_fetcher, url(u"/announced"_qs)), CURLE_FILESIZE_EXCEEDED, LogText::kResponseTooLarge));
    const std::optional<QString> fits = body(url(u"/justfits"_qs));
    ASSERT_TRUE(fits.has_value());
    EXPECT_EQ(fits->size(), HttpFetcher::kMaxBodyBytes);
}

TEST_F(Fetch, RedirectsAreFollowedOnlyToTheWebAndOnlyAFew)
{
    server->serveRedirect(u"/old"_qs, url(u"/new"_qs), 301);
    server->serve(u"/new"_qs, QByteArray("moved here"));
    server->serveRedirect(u"/loop"_qs, url(u"/loop"_qs));
    server->serveRedirect(u"/local"_qs, u"file:///etc/hostname"_qs);

    EXPECT_EQ(body(url(u"/old"_qs)), std::optional<QString>(u"moved here"_qs));
    EXPECT_TRUE(failed(runToEnd(m_fetcher, url(u"/loop"_qs)), CURLE_TOO_MANY_REDIRECTS));
    EXPECT_EQ(server->requests().count(u"/loop"_qs), HttpFetcher::kMaxRedirects + 1);
    EXPECT_TRUE(failed(runToEnd(m_fetcher, url(u"/local"_qs)), CURLE_UNSUPPORTED_PROTOCOL));
    EXPECT_TRUE(failed(runToEnd(m_fetcher, u"file:///etc/hostname"_qs), CURLE_UNSUPPORTED_PROTOCOL));
}

TEST_F(Fetch, HttpsCertificatesAreVerified)
{
    LoopbackHttpServer secure;
    ASSERT_TRUE(secure.start(true));
    secure.serve(u"/q"_qs, QByteArray("secret"));

    EXPECT_TRUE(failed(runToEnd(m_fetcher, secure.baseUrl() + u"/q"_qs), CURLE_PEER_FAILED_VERIFICATION));
    m_fetcher.setCaFile(secure.certificateFile());
    EXPECT_EQ(body(secure.baseUrl() + u"/q"_qs), std::optional<QString>(u"secret"_qs));
}

// An event handler that runs during a fetch may start another: it is refused at once and leaves
// the running fetch alone; a cancel from one ends the fetch without a report.
TEST_F(Fetch, NestedCallsFromAnEventHandler)
{
    server->serve(u"/slow"_qs, {.mode = Answer::Mode::Drip, .body = "slow body", .intervalMs = 30});
    server->serve(u"/other"_qs, QByteArray("other"));
    std::optional<bool> nested;
    QTimer::singleShot(60, [&] { nested = m_fetcher.fetch(url(u"/other"_qs), {}) != nullptr; });
    EXPECT_EQ(body(url(u"/slow"_qs)), std::optional<QString>(u"slow body"_qs));
    ASSERT_TRUE(nested.has_value());
    EXPECT_FALSE(*nested);
    EXPECT_FALSE(server->requests().contains(u"/other"_qs));

    server->serve(u"/endless"_qs,
        {.mode = Answer::Mode::Drip, .body = QByteArray(100, 'x'), .intervalMs = 100}); // ten seconds of body
    QTimer::singleShot(150, [&] { m_fetcher.cancel(); });
    EXPECT_FALSE(runToEnd(m_fetcher, url(u"/endless"_qs)).has_value());
    EXPECT_FALSE(m_fetcher.busy());
    m_fetcher.cancel(); // nothing running: no effect on the next fetch
    server->serve(u"/next"_qs, QByteArray("next"));
    EXPECT_EQ(body(url(u"/next"_qs)), std::optional<QString>(u"next"_qs));
}

// What fetch() handed out ends its own fetch only, whatever comes after it.
TEST_F(Fetch, TheHandleOfAnEndedFetchLeavesTheNextAlone)
{
    server->serve(u"/a"_qs, QByteArray("a"));
    server->serve(u"/b"_qs, QByteArray("b"));
    std::optional<FetchResult> first, second;
    auto handle = m_fetcher.fetch(url(u"/a"_qs), [&](const FetchResult& result) { first = result; });
    ASSERT_TRUE(runUntil([&] { return first.has_value(); }));
    auto next = m_fetcher.fetch(url(u"/b"_qs), [&](const FetchResult& result) { second = result; });
    handle.reset();
    ASSERT_TRUE(runUntil([&] { return second.has_value(); }));
    EXPECT_EQ(second->body, u"b"_qs);
}

TEST_F(Fetch, WindowTimersRunDuringASlowTransfer)
{
    server->serve(
        u"/slow"_qs, {.mode = Answer::Mode::Drip, .body = "0123456789", .intervalMs = 80}); // about 0.8 s
    int ticks = 0;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(40);

    EXPECT_EQ(body(url(u"/slow"_qs)), std::optional<QString>(u"0123456789"_qs));
    EXPECT_GE(ticks, 5);
}

} // namespace
