#pragma once

#include "LoopbackHttpServer.h"
#include "TestSupport.h"

#include "core/LogTexts.h"
#include "core/MainControls.h"
#include "core/ServerSettings.h"
#include "notify/UpdateLog.h"
#include "platform/InetControl.h"

// A fresh program whose quote and history servers are one loopback server, shared by the tests
// of a suite and emptied before each test.
class MarketDataTest : public ProgramTest
{
protected:
    static void SetUpTestSuite()
    {
        server = new LoopbackHttpServer;
        ASSERT_TRUE(server->start());
    }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }

    void SetUp() override
    {
        ProgramTest::SetUp();
        server->clear();
        gServerSettings = {server->baseUrl(), server->baseUrl()};
    }
    void TearDown() override
    {
        InetQuotes().setTimeouts(
            InetControl::kDefaultConnectTimeoutMs, InetControl::kDefaultTransferTimeoutMs);
        gServerSettings = DefaultServerSettings();
        ProgramTest::TearDown();
    }

    QString log() const { return QString::fromLatin1(readFile(u"activlog.dat"_qs)); }

    static inline LoopbackHttpServer* server = nullptr;
};
