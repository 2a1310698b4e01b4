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
    app.settings.servers.QuoteServer = server.baseUrl() + u"/prices"_qs;
    ConnectionState state = RunToEnd(app.hub, app.settings.servers.QuoteServer);
    EXPECT_TRUE(state.connected);
    EXPECT_EQ(state.Flags, kConnectionReached | kConnectionLoopback);
    EXPECT_EQ(state.ConnectionName, u"127.0.0.1"_qs);
    EXPECT_TRUE(server.requests().isEmpty()); // a connection only, no request

    // An https address is checked the same way: the TCP connection is what counts.
    app.settings.servers.QuoteServer = u"https://127.0.0.1:"_qs + QString::number(server.port());
    state = RunToEnd(app.hub, app.settings.servers.QuoteServer);
    EXPECT_TRUE(state.connected);
    EXPECT_EQ(state.Flags, kConnectionReached | kConnectionLoopback | kConnectionSecure);
}

TEST_F(ConnectionCheck, OfflineWhenNothingAnswersOrNoAddressIsUsable)
{
    const QStringList addresses {
        u"http://127.0.0.1:"_qs + QString::number(UnusedLoopbackPort()), u"not an address"_qs};
    for (const QString& address : addresses) {
        SCOPED_TRACE(address.toStdString());
        app.settings.servers.QuoteServer = address;
        const ConnectionState state = RunToEnd(app.hub, app.settings.servers.QuoteServer);
        EXPECT_FALSE(state.connected);
        EXPECT_EQ(state.Flags, kConnectionOffline);
        EXPECT_TRUE(state.ConnectionName.isEmpty());
    }
}

} // namespace
