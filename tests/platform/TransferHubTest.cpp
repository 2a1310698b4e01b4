#include "LoopbackHttpServer.h"

#include "platform/TransferHub.h"

#include <QTest>

using namespace tradevane;

namespace {

using Answer = LoopbackHttpServer::Answer;

// The hub on its own, with plain easy handles: what it promises every transfer of the program.
class Hub : public HttpServerTest
{
protected:
    // An easy handle that fetches `target` into `sink`.
    static CURL* fetch(const QString& target, QByteArray* sink)
    {
        CURL* easy = curl_easy_init();
        const QByteArray address = url(target).toUtf8();
        curl_easy_setopt(easy, CURLOPT_URL, address.constData());
        curl_easy_setopt(easy, CURLOPT_WRITEDATA, sink);
        curl_easy_setopt(
            easy, CURLOPT_WRITEFUNCTION, +[](char* data, size_t size, size_t n, void* user) {
                static_cast<QByteArray*>(user)->append(data, static_cast<qsizetype>(size * n));
                return size * n;
            });
        return easy;
    }

    TransferHub m_hub;
};

TEST_F(Hub, CompletionsArriveFromTheEventLoopAndMayStartTheNextTransfer)
{
    server->serve(u"/a"_qs, QByteArray("first"));
    server->serve(u"/b"_qs, QByteArray("second"));
    QByteArray first, second;
    std::unique_ptr<Transfer> next;
    bool secondDone = false;
    bool insideStart = true;
    std::unique_ptr<Transfer> transfer = m_hub.start(fetch(u"/a"_qs, &first), [&](const Transfer::Result& r) {
        EXPECT_FALSE(insideStart);
        EXPECT_EQ(r.code, CURLE_OK);
        EXPECT_FALSE(r.cancelled);
        transfer.reset(); // the owner may let go of a transfer inside its own completion
        next = m_hub.start(fetch(u"/b"_qs, &second), [&](const Transfer::Result&) { secondDone = true; });
    });
    insideStart = false;
    ASSERT_TRUE(runUntil([&] { return secondDone; }, 10000));
    EXPECT_EQ(first, "first");
    EXPECT_EQ(second, "second");
    EXPECT_EQ(m_hub.transfersRunning(), 0);
}

TEST_F(Hub, CancelReportsAtOnceWhileConnectingOrReadingAndNothingComesLater)
{
    // Cut off while the body drips in, and while the server keeps silent.
    server->serve(u"/drip"_qs, {.mode = Answer::Mode::Drip, .body = QByteArray(50, 'x'), .intervalMs = 100});
    for (const QString& target : {u"/drip"_qs, u"/hang"_qs}) {
        server->serve(u"/hang"_qs, {.mode = Answer::Mode::Hang});
        QByteArray sink;
        QList<Transfer::Result> results;
        std::unique_ptr<Transfer> transfer
            = m_hub.start(fetch(target, &sink), [&](const Transfer::Result& r) { results.append(r); });
        QTest::qWait(150);
        transfer->cancel();
        ASSERT_EQ(results.size(), 1);
        EXPECT_TRUE(results[0].cancelled);
        transfer->cancel(); // twice changes nothing
        QTest::qWait(150);
        EXPECT_EQ(results.size(), 1);
        EXPECT_EQ(m_hub.transfersRunning(), 0);
    }
}

TEST_F(Hub, CancelInsideACompletionAndDestroyingUnfinishedTransfersAreQuiet)
{
    server->serve(u"/a"_qs, QByteArray("a"));
    server->serve(u"/hang"_qs, {.mode = Answer::Mode::Hang});
    QByteArray sinkA, sinkB;
    int reports = 0;
    std::unique_ptr<Transfer> hanging;
    std::unique_ptr<Transfer> quick = m_hub.start(fetch(u"/a"_qs, &sinkA), [&](const Transfer::Result&) {
        ++reports;
        hanging->cancel(); // another transfer's report runs inside this one's
        quick->cancel(); // its own: already reported
    });
    hanging = m_hub.start(fetch(u"/hang"_qs, &sinkB), [&](const Transfer::Result& r) {
        ++reports;
        EXPECT_TRUE(r.cancelled);
    });
    ASSERT_TRUE(runUntil([&] { return reports == 2; }, 10000));

    // Destroyed while running: nothing is reported, and the hub lets go of it.
    bool reported = false;
    hanging = m_hub.start(fetch(u"/hang"_qs, &sinkB), [&](const Transfer::Result&) { reported = true; });
    QTest::qWait(100);
    hanging.reset();
    QTest::qWait(100);
    EXPECT_FALSE(reported);
    EXPECT_EQ(m_hub.transfersRunning(), 0);
}

TEST_F(Hub, ManyTransfersLeaveNoSocketWatchBehind)
{
    server->serve(u"/q"_qs, QByteArray("quote"));
    for (int i = 0; i < 200; ++i) {
        QByteArray sink;
        bool done = false;
        auto transfer = m_hub.start(fetch(u"/q"_qs, &sink), [&](const Transfer::Result&) { done = true; });
        ASSERT_TRUE(runUntil([&] { return done; }, 10000)) << i;
        ASSERT_EQ(sink, "quote");
    }
    // Each answer ends its connection, so every socket has been given back.
    EXPECT_TRUE(runUntil([&] { return m_hub.socketsWatched() == 0; }, 5000)) << m_hub.socketsWatched();
}

TEST_F(Hub, CancelAllEndsEveryTransfer)
{
    server->serve(u"/hang"_qs, {.mode = Answer::Mode::Hang});
    QByteArray a, b;
    int cancelled = 0;
    const auto count = [&](const Transfer::Result& r) { cancelled += r.cancelled ? 1 : 0; };
    auto first = m_hub.start(fetch(u"/hang"_qs, &a), count);
    auto second = m_hub.start(fetch(u"/hang"_qs, &b), count);
    QTest::qWait(100);
    m_hub.cancelAll();
    EXPECT_EQ(cancelled, 2);
    EXPECT_EQ(m_hub.transfersRunning(), 0);
}

} // namespace
