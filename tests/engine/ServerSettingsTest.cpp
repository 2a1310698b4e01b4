#include "TestSupport.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "engine/settings/ServerSettings.h"

#include <QDir>

using namespace tradevane;

namespace {

using ServerAddresses = ProgramTest;

TEST_F(ServerAddresses, MissingFileIsWrittenWithTheDefaults)
{
    app.settings.servers = {u"http://old"_qs, u"http://old"_qs};
    LoadServerSettings(app.settings.servers, app.log);
    EXPECT_EQ(readFile(u"servers.ini"_qs),
        QByteArray("[servers]\nQuoteServer=http://127.0.0.1:8470\nHistoryServer=http://127.0.0.1:8470\n"));
    EXPECT_EQ(app.settings.servers.QuoteServer, u"http://127.0.0.1:8470"_qs);
    EXPECT_EQ(app.settings.servers.HistoryServer, u"http://127.0.0.1:8470"_qs);
    EXPECT_TRUE(log().isEmpty());
}

TEST_F(ServerAddresses, UsersAddressesAreRead)
{
    writeFile(u"servers.ini"_qs,
        "\xEF\xBB\xBF; where the prices come from\r\n[other]\r\nQuoteServer=http://ignored\r\n\r\n"
        "[servers]\r\n quoteserver = https://quotes.example.net:8443/api/ \r\n");
    LoadServerSettings(app.settings.servers, app.log);
    EXPECT_EQ(app.settings.servers.QuoteServer, u"https://quotes.example.net:8443/api"_qs);
    EXPECT_EQ(app.settings.servers.HistoryServer, u"http://127.0.0.1:8470"_qs); // missing: its default
    EXPECT_TRUE(log().isEmpty());
}

TEST_F(ServerAddresses, MalformedFileFallsBackToTheDefaultsAndIsLogged)
{
    const QList<QByteArray> files {"[servers]\nQuoteServer http://10.0.0.1\n",
        "[servers]\nQuoteServer=ftp://10.0.0.1\n", "[servers]\nQuoteSever=http://10.0.0.1\n",
        "[servers]\nHistoryServer=http://10.0.0.1\nQuoteServer=not an address\n",
        "[servers]\nQuoteServer=http://10.0.0.1/?symbols=\n"};
    for (const QByteArray& text : files) {
        SCOPED_TRACE(text.toStdString());
        app.log.EraseLog(0);
        writeFile(u"servers.ini"_qs, text);
        LoadServerSettings(app.settings.servers, app.log);
        EXPECT_EQ(app.settings.servers.QuoteServer, u"http://127.0.0.1:8470"_qs);
        EXPECT_EQ(app.settings.servers.HistoryServer, u"http://127.0.0.1:8470"_qs);
        const QString line = QString::fromLatin1(text.trimmed().split('\n').last()); // the offending line
        EXPECT_EQ(log(),
            u"\r\n"_qs + LogText::ServerSettingsDefaults + line + u"\r\n"_qs + QString(36, u'=')
                + u"\r\n\r\n"_qs);
        EXPECT_EQ(readFile(u"servers.ini"_qs), text); // the user's file is left for the user to mend
    }
}

TEST_F(ServerAddresses, UnreadableFileFallsBackToTheDefaultsAndIsLogged)
{
    QDir(folder.path()).mkdir(u"servers.ini"_qs);
    app.settings.servers = {u"http://old"_qs, u"http://old"_qs};
    LoadServerSettings(app.settings.servers, app.log);
    EXPECT_EQ(app.settings.servers.QuoteServer, u"http://127.0.0.1:8470"_qs);
    EXPECT_TRUE(log().startsWith(LogText::ServerSettingsDefaults)) << log().toStdString();
}

} // namespace
