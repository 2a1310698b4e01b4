#include "TestSupport.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "engine/settings/ServerSettings.h"
#include "engine/settings/SourceSettings.h"

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

using DataSource = ProgramTest;

// A fresh data folder asks (the live source offered first); one that already had servers.ini keeps
// its servers without asking; a saved choice comes back as it was saved.
TEST_F(DataSource, FirstRunAsksAnOldFolderKeepsItsServersAndAChoiceRoundTrips)
{
    SourceLoad load = loadSourceSettings(m_app.log);
    EXPECT_TRUE(load.ask);
    EXPECT_EQ(load.settings.kind, SourceKind::Live);

    writeFile(u"servers.ini"_qs, "[servers]\nQuoteServer=http://10.0.0.1\n");
    load = loadSourceSettings(m_app.log);
    EXPECT_FALSE(load.ask);
    EXPECT_EQ(load.settings.kind, SourceKind::Servers);

    for (const SourceSettings& chosen : {SourceSettings {SourceKind::Simulated, 42, {}},
             SourceSettings {SourceKind::Replay, 1, u"/data/bars"_qs},
             SourceSettings {SourceKind::Live, 1, {}}, SourceSettings {SourceKind::Servers, 1, {}}}) {
        ASSERT_TRUE(writeSourceSettings(chosen).ok());
        load = loadSourceSettings(m_app.log);
        EXPECT_FALSE(load.ask);
        EXPECT_EQ(load.settings, chosen) << readFile(u"source.ini"_qs).toStdString();
    }
    EXPECT_TRUE(log().isEmpty());
}

TEST_F(DataSource, ADamagedFileIsNotedAndAskedAgain)
{
    for (const QByteArray& text : {QByteArray("[source]\nKind=stocks\n"),
             QByteArray("[source]\nKind=simulated\nSeed=x1\n"), QByteArray("[source]\nKind=replay\n"),
             QByteArray("[source]\nSeed=3\n"), QByteArray("\xff\xfe garbage")}) {
        SCOPED_TRACE(text.toStdString());
        m_app.log.eraseLog(0);
        writeFile(u"source.ini"_qs, text);
        const SourceLoad load = loadSourceSettings(m_app.log);
        EXPECT_TRUE(load.ask);
        EXPECT_TRUE(log().contains(LogText::kSourceSettingsDamaged)) << log().toStdString();
        EXPECT_EQ(readFile(u"source.ini"_qs), text); // left for the window to replace
    }
}

TEST(SourceArgument, ReadsEachSourceAndNamesWhatIsWrong)
{
    EXPECT_EQ(sourceFromArgument(u"simulate"_qs), (SourceSettings {SourceKind::Simulated, 1, {}}));
    EXPECT_EQ(sourceFromArgument(u"simulate:7"_qs), (SourceSettings {SourceKind::Simulated, 7, {}}));
    EXPECT_EQ(sourceFromArgument(u"replay:/tmp/bars"_qs),
        (SourceSettings {SourceKind::Replay, 1, u"/tmp/bars"_qs}));
    EXPECT_EQ(sourceFromArgument(u"live"_qs)->kind, SourceKind::Live);
    EXPECT_EQ(sourceFromArgument(u"servers"_qs)->kind, SourceKind::Servers);
    for (const QString& bad :
        {u"simulate:seven"_qs, u"simulate:-1"_qs, u"replay:"_qs, u"quotes"_qs, u"live:x"_qs}) {
        QString problem;
        EXPECT_FALSE(sourceFromArgument(bad, &problem)) << bad.toStdString();
        EXPECT_FALSE(problem.isEmpty());
    }
}

} // namespace
