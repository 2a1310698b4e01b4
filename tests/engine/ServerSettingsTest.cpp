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
    m_app.settings.servers = {u"http://old"_qs, u"http://old"_qs};
    loadServerSettings(m_app.settings.servers, m_app.log);
    EXPECT_EQ(readFile(u"servers.ini"_qs),
        QByteArray("[servers]\nQuoteServer=http://127.0.0.1:8470\nHistoryServer=http://127.0.0.1:8470\n"));
    EXPECT_EQ(m_app.settings.servers.quoteServer, u"http://127.0.0.1:8470"_qs);
    EXPECT_EQ(m_app.settings.servers.historyServer, u"http://127.0.0.1:8470"_qs);
    EXPECT_TRUE(log().isEmpty());
}

TEST_F(ServerAddresses, UsersAddressesAreRead)
{
    writeFile(u"servers.ini"_qs,
        "\xEF\xBB\xBF; where the prices come from\r\n[other]\r\nQuoteServer=http://ignored\r\n\r\n"
        "[servers]\r\n quoteserver = https://quotes.example.net:8443/api/ \r\n");
    loadServerSettings(m_app.settings.servers, m_app.log);
    EXPECT_EQ(m_app.settings.servers.quoteServer, u"https://quotes.example.net:8443/api"_qs);
    EXPECT_EQ(m_app.settings.servers.historyServer, u"http://127.0.0.1:8470"_qs); // missing: its default
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
        m_app.log.eraseLog(0);
        writeFile(u"servers.ini"_qs, text);
        loadServerSettings(m_app.settings.servers, m_app.log);
        EXPECT_EQ(m_app.settings.servers.quoteServer, u"http://127.0.0.1:8470"_qs);
        EXPECT_EQ(m_app.settings.servers.historyServer, u"http://127.0.0.1:8470"_qs);
        const QString line = QString::fromLatin1(text.trimmed().split('\n').last()); // the offending line
        EXPECT_EQ(log(),
            u"\r\n"_qs + LogText::kServerSettingsDefaults + line + u"\r\n"_qs + QString(36, u'=')
                + u"\r\n\r\n"_qs);
        EXPECT_EQ(readFile(u"servers.ini"_qs), text); // the user's file is left for the user to mend
    }
}

TEST_F(ServerAddresses, UnreadableFileFallsBackToTheDefaultsAndIsLogged)
{
    QDir(m_folder.path()).mkdir(u"servers.ini"_qs);
    m_app.settings.servers = {u"http://old"_qs, u"http://old"_qs};
    loadServerSettings(m_app.settings.servers, m_app.log);
    EXPECT_EQ(m_app.settings.servers.quoteServer, u"http://127.0.0.1:8470"_qs);
    EXPECT_TRUE(log().startsWith(LogText::kServerSettingsDefaults)) << log().toStdString();
}

} // namespace
