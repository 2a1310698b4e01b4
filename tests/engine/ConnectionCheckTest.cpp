#include "LoopbackHttpServer.h"
#include "RunToEnd.h"
#include "TestSupport.h"

#include "engine/marketdata/ConnectionCheck.h"
#include "engine/marketdata/PriceSource.h"
#include "engine/settings/ServerSettings.h"

#include <QDir>

using namespace tradevane;

namespace {

using ConnectionCheck = ProgramTest;

TEST_F(ConnectionCheck, OnlineWhenTheQuoteServerAcceptsAConnection)
{
    LoopbackHttpServer server;
    ASSERT_TRUE(server.start());
    m_app.settings.servers.quoteServer = server.baseUrl() + u"/prices"_qs;
    ConnectionState state = runToEnd(m_app.hub, m_app.settings.servers.quoteServer);
    EXPECT_TRUE(state.connected);
    EXPECT_EQ(state.flags, kConnectionReached | kConnectionLoopback);
    EXPECT_EQ(state.connectionName, u"127.0.0.1"_qs);
    EXPECT_TRUE(server.requests().isEmpty()); // a connection only, no request

    // An https address is checked the same way: the TCP connection is what counts.
    m_app.settings.servers.quoteServer = u"https://127.0.0.1:"_qs + QString::number(server.port());
    state = runToEnd(m_app.hub, m_app.settings.servers.quoteServer);
    EXPECT_TRUE(state.connected);
    EXPECT_EQ(state.flags, kConnectionReached | kConnectionLoopback | kConnectionSecure);
}

TEST_F(ConnectionCheck, OfflineWhenNothingAnswersOrNoAddressIsUsable)
{
    const QStringList addresses {
        u"http://127.0.0.1:"_qs + QString::number(unusedLoopbackPort()), u"not an address"_qs};
    for (const QString& address : addresses) {
        SCOPED_TRACE(address.toStdString());
        m_app.settings.servers.quoteServer = address;
        const ConnectionState state = runToEnd(m_app.hub, m_app.settings.servers.quoteServer);
        EXPECT_FALSE(state.connected);
        EXPECT_EQ(state.flags, kConnectionOffline);
        EXPECT_TRUE(state.connectionName.isEmpty());
    }
}

// What START says when a source cannot give prices: which source failed and why, in one sentence;
// only an unreachable internet keeps the old words.
TEST_F(ConnectionCheck, EachSourceSaysWhatIsWrong)
{
    const auto check = [this](const SourceSettings& settings, const ServerSettings& servers) {
        const auto source = makePriceSource(settings, servers, m_app.fetcher, m_app.hub);
        std::optional<SourceCheck> answer;
        const auto pending = source->check([&](const SourceCheck& c) { answer = c; });
        EXPECT_TRUE(runUntil([&] { return answer.has_value(); }));
        return answer.value_or(SourceCheck {u"no answer"_qs});
    };
    const QString closed = u"http://127.0.0.1:"_qs + QString::number(unusedLoopbackPort());
    SourceCheck answer = check({}, {closed, closed});
    EXPECT_FALSE(answer.offline);
    EXPECT_TRUE(answer.problem.startsWith(u"No quote server answers at "_qs + closed))
        << answer.problem.toStdString();

    EXPECT_TRUE(check({SourceKind::Simulated, 1, {}}, {}).ok());

    const QString folder = m_folder.filePath(u"bars"_qs);
    answer = check({SourceKind::Replay, 1, folder}, {});
    EXPECT_TRUE(answer.problem.contains(u"does not exist"_qs)) << answer.problem.toStdString();
    ASSERT_TRUE(QDir().mkdir(folder));
    answer = check({SourceKind::Replay, 1, folder}, {});
    EXPECT_TRUE(answer.problem.contains(u"is empty"_qs)) << answer.problem.toStdString();
    writeFile(u"bars/ABC.csv"_qs, "Date,Open,High,Low,Close,Volume\n");
    EXPECT_TRUE(check({SourceKind::Replay, 1, folder}, {}).ok());
}

} // namespace
