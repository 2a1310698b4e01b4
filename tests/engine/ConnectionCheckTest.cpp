#include "LoopbackHttpServer.h"
#include "RunToEnd.h"
#include "TestSupport.h"

#include "RunToEnd.h"
#include "engine/marketdata/ConnectionCheck.h"
#include "engine/settings/ServerSettings.h"

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

} // namespace
