#include "QuotedTestSupport.h"

#include "RequestHead.h"
#include "engine/marketdata/sources/SimulatedMarket.h"

using namespace tradevane::market;
using namespace tradevane::market::test;
using namespace std::chrono_literals;

namespace {

const std::string kQuoteHead = "GET /download/quotes.csv?symbols=abc HTTP/1.1\r\nHost: x\r\n";

std::string headerLines(int count)
{
    std::string lines;
    for (int i = 0; i < count; ++i)
        lines += "X-Filler-" + std::to_string(i) + ": " + std::string(20, 'f') + "\r\n";
    return lines;
}

} // namespace

TEST(QuotedRequestHead, FindsTheEndTheLimitsAndABodyHoweverTheBytesArrive)
{
    const std::string head = "GET /a HTTP/1.1\r\nHost: x\r\ncontent-length:  0 \r\nno line end\n\r\n";
    const std::string next = "GET /b HTTP/1.1\r\n";
    RequestHead whole(8192, 64);
    EXPECT_EQ(whole.scan(head + next), RequestHead::State::Complete);
    EXPECT_EQ(whole.length(), head.size());
    EXPECT_FALSE(whole.announcesBody());
    RequestHead bytewise(8192, 64);
    for (std::size_t n = 1; n < head.size(); ++n)
        ASSERT_EQ(bytewise.scan(std::string_view(head).substr(0, n)), RequestHead::State::Incomplete) << n;
    EXPECT_EQ(bytewise.scan(head + next), RequestHead::State::Complete);
    EXPECT_EQ(bytewise.length(), head.size());
    bytewise.restart();
    EXPECT_EQ(bytewise.scan(next), RequestHead::State::Incomplete);
    EXPECT_EQ(bytewise.scan(next + "\r\n"), RequestHead::State::Complete);

    // 100 bytes and 3 header lines at most.
    const auto scan = [](const std::string& text) { return RequestHead(100, 3).scan(text); };
    const std::string line = "GET / HTTP/1.1\r\n"; // 16 bytes
    EXPECT_EQ(scan(line + "X: " + std::string(77, 'a') + "\r\n\r\n"), RequestHead::State::Complete);
    EXPECT_EQ(scan(line + "X: " + std::string(78, 'a') + "\r\n\r\n"), RequestHead::State::TooLarge);
    EXPECT_EQ(scan(line + "X: " + std::string(200, 'a')), RequestHead::State::TooLarge);
    EXPECT_EQ(scan("GET /" + std::string(200, 'a')), RequestHead::State::LineTooLong);
    EXPECT_EQ(scan(line + "A: 1\r\nB: 2\r\nC: 3\r\n\r\n"), RequestHead::State::Complete);
    EXPECT_EQ(scan(line + "A: 1\r\nB: 2\r\nC: 3\r\nD: 4\r\n"), RequestHead::State::TooManyLines);
    // A request line without CR is a head of its own: the server answers 400 at once.
    EXPECT_EQ(scan("GET / HTTP/1.1\nHost: x\n"), RequestHead::State::Complete);

    for (const char* header :
        {"Content-Length: 12", "CONTENT-LENGTH : 0x0", "content-length:", "Transfer-Encoding: chunked"}) {
        RequestHead withBody(8192, 64);
        EXPECT_EQ(withBody.scan(line + header + "\r\n\r\n"), RequestHead::State::Complete);
        EXPECT_TRUE(withBody.announcesBody()) << header;
    }

    EXPECT_EQ(RequestHead::method("GET /x?a=1 HTTP/1.1\r\nHost"), "GET");
    EXPECT_EQ(RequestHead::target("GET /x?a=1 HTTP/1.1\r\nHost"), "/x?a=1");
    EXPECT_EQ(RequestHead::target("GET /part"), "/part");
    EXPECT_EQ(RequestHead::target("GARBAGE\r\n"), "");
}

TEST(QuotedServiceLimits, SlowAndIdleClientsHoldNoWorkerAndAreClosedAtTheHeadDeadline)
{
    SimulatedMarket market(1);
    ServerLimits limits;
    limits.workers = 2;
    limits.headTimeout = 2s;
    RunningService running(market, {}, limits);
    const int port = running.server.port();

    // Four times as many clients as workers send a header line every 100 ms (for half a minute
    // at most), and twenty more connections send nothing at all.
    std::atomic<int> turnedAway {0};
    std::vector<std::string> answers(8);
    std::vector<std::thread> slow;
    for (std::size_t i = 0; i < answers.size(); ++i) {
        slow.emplace_back([&, i] {
            RawConnection connection(port);
            connection.send(kQuoteHead);
            for (int line = 0; line < 300 && !connection.answered(100ms); ++line)
                if (!connection.send("X-Line-" + std::to_string(line) + ": 1\r\n"))
                    break;
            answers[i] = connection.receive(true);
            ++turnedAway;
        });
    }
    std::vector<std::unique_ptr<RawConnection>> idle;
    for (int i = 0; i < 20; ++i)
        idle.push_back(std::make_unique<RawConnection>(port, "127.0.0.2"));
    std::this_thread::sleep_for(300ms);

    EXPECT_EQ(running.server.get(quotePath("abc")).status, 200);
    EXPECT_EQ(turnedAway, 0) << "the quote was answered only after the slow clients were closed";

    for (std::thread& t : slow)
        t.join();
    for (const std::string& answer : answers)
        EXPECT_TRUE(answer.starts_with("HTTP/1.1 408 ")) << answer;
    EXPECT_EQ(running.log.countContaining("-> 408 refused: request head not complete within 2 s"), 8u);
    for (const auto& connection : idle) {
        EXPECT_EQ(connection->receive(), "");
        EXPECT_TRUE(connection->closed());
    }
    EXPECT_EQ(running.server.get(quotePath("abc")).status, 200);
}

TEST(QuotedServiceLimits, ConnectionsBeyondTheLimitsAreTurnedAwayAndClosedOnesCountedBack)
{
    SimulatedMarket market(1);
    ServerLimits limits;
    limits.maxConnectionsPerAddress = 3;
    limits.maxConnections = 5;
    RunningService running(market, {}, limits);
    const int port = running.server.port();
    const auto open = [&](std::vector<std::unique_ptr<RawConnection>>& list, int count, const char* from) {
        for (int i = 0; i < count; ++i)
            list.push_back(std::make_unique<RawConnection>(port, from));
    };

    for (int round = 0; round < 2; ++round) {
        std::vector<std::unique_ptr<RawConnection>> first, second;
        open(first, 3, "127.0.0.1");
        EXPECT_TRUE(RawConnection(port, "127.0.0.1").receive().starts_with("HTTP/1.1 503 "));
        open(second, 2, "127.0.0.2");
        EXPECT_TRUE(RawConnection(port, "127.0.0.3").receive().starts_with("HTTP/1.1 503 "));
        // Their places come back when they close, and only once.
        for (const auto& connection : first)
            connection->hangUp();
        for (const auto& connection : second)
            connection->hangUp();
        RawConnection quote(port);
        quote.send(kQuoteHead + "Connection: close\r\n\r\n");
        EXPECT_TRUE(quote.receive().starts_with("HTTP/1.1 200 ")) << round;
    }
    EXPECT_EQ(running.log.countContaining("-> 503 refused: 3 connections from this address are open"), 2u);
    EXPECT_EQ(running.log.countContaining("-> 503 refused: 5 connections are open"), 2u);
}

TEST(QuotedServiceLimits, LargeHeadsAndBodiesAreRefusedUnreadAndLeaveNoMemoryBehind)
{
    SimulatedMarket market(1);
    RunningService running(market);
    const int port = running.server.port();
    const long residentBefore = residentMegabytes();

    const std::vector<std::pair<std::string, std::string>> cases = {
        {kQuoteHead + headerLines(100) + "\r\n", "431 refused: more than 64 header lines"},
        {kQuoteHead + "X-Big: " + std::string(20000, 'a') + "\r\n\r\n", "431 refused: request head longer"},
        {"GET /download/quotes.csv?symbols=" + std::string(20000, 'a') + " HTTP/1.1\r\n\r\n",
            "414 refused: request line longer"},
        {"POST /download/quotes.csv HTTP/1.1\r\nContent-Length: 4294967296\r\n\r\n" + std::string(1000, 'b'),
            "405 refused: only GET and HEAD are served"},
        {"PUT /table.csv HTTP/1.1\r\nHost: x\r\n\r\n", "405 refused: only GET and HEAD are served"},
        {kQuoteHead + "Content-Length: 4294967296\r\n\r\n", "413 refused: the request has a body"},
        {kQuoteHead + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n",
            "413 refused: the request has a body"},
    };
    for (const auto& [request, outcome] : cases) {
        RawConnection connection(port);
        connection.send(request);
        const std::string answer = connection.receive(true);
        EXPECT_TRUE(answer.starts_with("HTTP/1.1 " + outcome.substr(0, 4))) << outcome << "\n" << answer;
        const std::string logged = running.log.next();
        EXPECT_NE(logged.find(" -> " + outcome), std::string::npos) << logged;
    }

    // Clients that never end their headers, and one whose body never ends: the service stops
    // reading them long before they are done, without keeping what they sent.
    constexpr std::size_t kFlood = 32 * 1024 * 1024;
    std::vector<std::size_t> sent(5);
    std::vector<std::thread> floods;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        floods.emplace_back([&, i] {
            RawConnection connection(port, i == 0 ? "127.0.0.1" : "127.0.0.2");
            const bool body = i == 0;
            connection.send(body ? "POST /download/quotes.csv HTTP/1.1\r\nContent-Length: 4294967296\r\n\r\n"
                                 : kQuoteHead);
            const std::string chunk = body ? std::string(64 * 1024, 'b') : headerLines(2000);
            while (sent[i] < kFlood && connection.send(chunk))
                sent[i] += chunk.size();
        });
    }
    for (std::thread& t : floods)
        t.join();
    for (std::size_t bytes : sent)
        EXPECT_LT(bytes, kFlood);
    EXPECT_LT(residentMegabytes() - residentBefore, 64);
    EXPECT_EQ(running.server.get(quotePath("abc")).status, 200);
}
