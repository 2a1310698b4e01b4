#include "LoopbackHttpServer.h"
#include "RunToEnd.h"

#include "engine/log/LogTexts.h"
#include "platform/HttpFetch.h"

#include <QTimer>

#include <curl/curl.h>

namespace {

using Answer = LoopbackHttpServer::Answer;

class TransferControl : public HttpServerTest
{
protected:
    void SetUp() override
    {
        HttpServerTest::SetUp();
        QObject::connect(&control, &InetControl::StateChanged, [this](int state) { states << state; });
    }

    void expectError(int code, const QString& info)
    {
        EXPECT_EQ(control.ResponseCode, code);
        EXPECT_EQ(control.ResponseInfo, info);
        ASSERT_FALSE(states.isEmpty());
        EXPECT_EQ(states.last(), InetControl::icError);
        EXPECT_EQ(states.count(InetControl::icError), 1);
        EXPECT_FALSE(control.StillExecuting());
    }

    InetControl control {app.hub};
    QList<int> states;
};

TEST_F(TransferControl, ReturnsTheBodyByteForByteAndReportsCompletion)
{
    server->serve(u"/quote"_qs, QByteArray("\"abc\",10.5\r\ncaf\xe9\r\n"));
    server->serve(u"/empty"_qs, QByteArray());

    const std::optional<QString> body = RunToEnd(control, url(u"/quote"_qs));
    ASSERT_TRUE(body.has_value());
    EXPECT_EQ(*body, u"\"abc\",10.5\r\ncaf\u00e9\r\n"_qs);
    EXPECT_EQ(control.ResponseCode, 200);
    EXPECT_EQ(control.ResponseInfo, u"OK"_qs);
    EXPECT_EQ(states, (QList<int> {InetControl::icConnecting, InetControl::icResponseCompleted}));

    const std::optional<QString> empty = RunToEnd(control, url(u"/empty"_qs));
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->isEmpty());
    EXPECT_EQ(states.count(InetControl::icError), 0);
}

// A server that is down and one that never answers are met where the quote download meets
// them: the stock fails with the control's code in the log.
TEST_F(TransferControl, ConnectionClosedWithoutAReplyIsAnError)
{
    server->serve(u"/hangup"_qs, {.mode = Answer::Mode::Close});
    EXPECT_FALSE(RunToEnd(control, url(u"/hangup"_qs)).has_value());
    EXPECT_EQ(control.ResponseCode, CURLE_GOT_NOTHING);
    EXPECT_EQ(states.last(), InetControl::icError);
}

TEST_F(TransferControl, BodyOverOneMebibyteIsRefused)
{
    server->serve(u"/unannounced"_qs, {.mode = Answer::Mode::Huge, .size = 5 * 1024 * 1024});
    server->serve(u"/announced"_qs, {.mode = Answer::Mode::Huge, .size = 5 * 1024 * 1024, .announce = true});
    server->serve(u"/justfits"_qs, {.mode = Answer::Mode::Huge, .size = InetControl::kMaxBodyBytes});

    EXPECT_FALSE(RunToEnd(control, url(u"/unannounced"_qs)).has_value());
    expectError(CURLE_FILESIZE_EXCEEDED, LogText::ResponseTooLarge);
    states.clear();
    EXPECT_FALSE(RunToEnd(control, url(u"/announced"_qs)).has_value());
    expectError(CURLE_FILESIZE_EXCEEDED, LogText::ResponseTooLarge);

    const std::optional<QString> fits = RunToEnd(control, url(u"/justfits"_qs));
    ASSERT_TRUE(fits.has_value());
    EXPECT_EQ(fits->size(), InetControl::kMaxBodyBytes);
}

TEST_F(TransferControl, RedirectsAreFollowedOnlyToTheWebAndOnlyAFew)
{
    server->serveRedirect(u"/old"_qs, url(u"/new"_qs), 301);
    server->serve(u"/new"_qs, QByteArray("moved here"));
    server->serveRedirect(u"/loop"_qs, url(u"/loop"_qs));
    server->serveRedirect(u"/local"_qs, u"file:///etc/hostname"_qs);

    EXPECT_EQ(RunToEnd(control, url(u"/old"_qs)), std::optional<QString>(u"moved here"_qs));
    EXPECT_EQ(control.ResponseCode, 200);

    EXPECT_FALSE(RunToEnd(control, url(u"/loop"_qs)).has_value());
    EXPECT_EQ(control.ResponseCode, CURLE_TOO_MANY_REDIRECTS);
    EXPECT_EQ(server->requests().count(u"/loop"_qs), InetControl::kMaxRedirects + 1);

    EXPECT_FALSE(RunToEnd(control, url(u"/local"_qs)).has_value());
    EXPECT_EQ(control.ResponseCode, CURLE_UNSUPPORTED_PROTOCOL);
    EXPECT_FALSE(RunToEnd(control, u"file:///etc/hostname"_qs).has_value());
    EXPECT_EQ(control.ResponseCode, CURLE_UNSUPPORTED_PROTOCOL);
}

TEST_F(TransferControl, HttpsCertificatesAreVerified)
{
    LoopbackHttpServer secure;
    ASSERT_TRUE(secure.start(true));
    secure.serve(u"/q"_qs, QByteArray("secret"));

    EXPECT_FALSE(RunToEnd(control, secure.baseUrl() + u"/q"_qs).has_value());
    EXPECT_EQ(control.ResponseCode, CURLE_PEER_FAILED_VERIFICATION);
    EXPECT_EQ(states.last(), InetControl::icError);

    control.setCaFile(secure.certificateFile());
    EXPECT_EQ(RunToEnd(control, secure.baseUrl() + u"/q"_qs), std::optional<QString>(u"secret"_qs));
}

// An event handler that runs during a transfer may start another: it is refused at once, raises
// no error and leaves the running transfer alone.
TEST_F(TransferControl, NestedCallFromAnEventHandlerIsRefused)
{
    server->serve(u"/slow"_qs, {.mode = Answer::Mode::Drip, .body = "slow body", .intervalMs = 30});
    server->serve(u"/other"_qs, QByteArray("other"));
    std::optional<bool> nested;
    QTimer::singleShot(60, [&] { nested = control.OpenURL(url(u"/other"_qs), {}) != nullptr; });

    EXPECT_EQ(RunToEnd(control, url(u"/slow"_qs)), std::optional<QString>(u"slow body"_qs));
    ASSERT_TRUE(nested.has_value());
    EXPECT_FALSE(*nested);
    EXPECT_EQ(states, (QList<int> {InetControl::icConnecting, InetControl::icResponseCompleted}));
    EXPECT_FALSE(server->requests().contains(u"/other"_qs));
}

TEST_F(TransferControl, CancelFromAnEventHandlerEndsTheTransfer)
{
    server->serve(u"/endless"_qs,
        {.mode = Answer::Mode::Drip, .body = QByteArray(100, 'x'), .intervalMs = 100}); // ten seconds of body
    QTimer::singleShot(150, [&] { control.Cancel(); });
    EXPECT_FALSE(RunToEnd(control, url(u"/endless"_qs)).has_value());
    EXPECT_EQ(states.count(InetControl::icError), 0);
    EXPECT_FALSE(control.StillExecuting());

    control.Cancel(); // nothing running: no effect on the next transfer
    server->serve(u"/next"_qs, QByteArray("next"));
    EXPECT_EQ(RunToEnd(control, url(u"/next"_qs)), std::optional<QString>(u"next"_qs));
}

// What OpenURL handed out ends its own fetch only, whatever comes after it.
TEST_F(TransferControl, TheHandleOfAnEndedFetchLeavesTheNextAlone)
{
    server->serve(u"/a"_qs, QByteArray("a"));
    server->serve(u"/b"_qs, QByteArray("b"));
    std::optional<QString> first, second;
    auto handle = control.OpenURL(url(u"/a"_qs), [&](const std::optional<QString>& body) { first = body; });
    ASSERT_TRUE(RunUntil([&] { return first.has_value(); }));
    auto next = control.OpenURL(url(u"/b"_qs), [&](const std::optional<QString>& body) { second = body; });
    handle.reset();
    ASSERT_TRUE(RunUntil([&] { return second.has_value(); }));
    EXPECT_EQ(*second, u"b"_qs);
}

TEST_F(TransferControl, WindowTimersRunDuringASlowTransfer)
{
    server->serve(
        u"/slow"_qs, {.mode = Answer::Mode::Drip, .body = "0123456789", .intervalMs = 80}); // about 0.8 s
    int ticks = 0;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(40);

    EXPECT_EQ(RunToEnd(control, url(u"/slow"_qs)), std::optional<QString>(u"0123456789"_qs));
    EXPECT_GE(ticks, 5);
}

} // namespace
