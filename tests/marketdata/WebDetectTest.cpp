#include "LoopbackHttpServer.h"
#include "TestSupport.h"

#include "core/ServerSettings.h"
#include "core/WebDetect.h"

namespace {

using ConnectionCheck = ProgramTest;

TEST_F(ConnectionCheck, OnlineWhenTheQuoteServerAcceptsAConnection)
{
    LoopbackHttpServer server;
    ASSERT_TRUE(server.start());
    gServerSettings.QuoteServer = server.baseUrl() + u"/prices"_qs;
    qint32 flags = 0;
    QString name = u"before"_qs;
    EXPECT_TRUE(GetConnectionState(flags, name));
    EXPECT_EQ(flags, kConnectionReached | kConnectionLoopback);
    EXPECT_EQ(name, u"127.0.0.1"_qs);
    EXPECT_TRUE(IsConnected());
    EXPECT_TRUE(server.requests().isEmpty()); // a connection only, no request

    // An https address is checked the same way: the TCP connection is what counts.
    gServerSettings.QuoteServer = u"https://127.0.0.1:"_qs + QString::number(server.port());
    EXPECT_TRUE(GetConnectionState(flags, name));
    EXPECT_EQ(flags, kConnectionReached | kConnectionLoopback | kConnectionSecure);
}

TEST_F(ConnectionCheck, OfflineWhenNothingAnswersOrNoAddressIsUsable)
{
    const QStringList addresses {
        u"http://127.0.0.1:"_qs + QString::number(UnusedLoopbackPort()), u"not an address"_qs};
    for (const QString& address : addresses) {
        SCOPED_TRACE(address.toStdString());
        gServerSettings.QuoteServer = address;
        qint32 flags = 0;
        QString name = u"before"_qs;
        EXPECT_FALSE(GetConnectionState(flags, name));
        EXPECT_EQ(flags, kConnectionOffline);
        EXPECT_EQ(name, u"before"_qs);
        EXPECT_FALSE(IsConnected());
    }
}

} // namespace
