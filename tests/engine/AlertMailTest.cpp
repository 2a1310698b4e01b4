#include "LoopbackSmtpServer.h"
#include "RunToEnd.h"
#include "TestSupport.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "engine/notify/AlertMail.h"
#include "platform/SmtpClient.h"

#include <QTcpServer>
#include <QTimer>

using namespace tradevane;

namespace {

const QDateTime kAlertTime(QDate(2026, 12, 4), QTime(16, 59, 30));

// Alert mail through the program's own mail settings to a real SMTP server on this machine.
class AlertMail : public ProgramTest
{
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        simulateClock(kAlertTime);
    }

    // Sends `message` as the engine does and runs until the send has ended.
    MailOutcome send(const QString& message)
    {
        std::optional<MailOutcome> outcome;
        const auto mail = sendAlertMail(
            message, m_app.settings, m_app.smtp, m_app.log, 11, [&](MailOutcome o) { outcome = o; });
        EXPECT_TRUE(runUntil([&] { return outcome.has_value(); }, 70000));
        return outcome.value_or(MailOutcome::Failed);
    }

    // Starts `server`; the test fails when no SMTP server can run here.
    void startServer(LoopbackSmtpServer& server)
    {
        QString error;
        ASSERT_TRUE(server.start(&error)) << error.toStdString();
    }

    void settings(const QString& server, const QString& to = u"ann@example.com"_qs, const QString& cc = {},
        const QString& subject = u"Message from Tradevane"_qs)
    {
        m_app.settings.mail.server = server;
        m_app.settings.mail.mailFrom = u"trader@example.com"_qs;
        m_app.settings.mail.sendTo = to;
        m_app.settings.mail.copyTo = cc;
        m_app.settings.mail.subject = subject;
        m_app.settings.mail.userName.clear();
        m_app.settings.mail.password.clear();
    }

    void login(const QString& user, const QString& password)
    {
        m_app.settings.mail.usePassword = true;
        m_app.settings.mail.userName = user;
        m_app.settings.mail.password = password;
    }

    QString stamp() const { return longTimeText(kAlertTime.time()); }
};

TEST_F(AlertMail, ReachesEveryRecipientWithProperHeadersAndTheBodyIntact)
{
    LoopbackSmtpServer server;
    ASSERT_NO_FATAL_FAILURE(startServer(server));
    settings(server.server(), u"ann@example.com, bob@example.org"_qs, u"carl@example.net"_qs);
    m_app.log.add(u"Data Error-Stock #:3\r\n"_qs);

    const QString message
        = u"   MESSAGE FROM: TRADEVANE\r\nIBM    Price above 120\r\n.dot line\r\n\r\nend  "_qs;
    EXPECT_EQ(send(message), MailOutcome::Sent);

    const QList<ReceivedMail> mails = server.received();
    ASSERT_EQ(mails.size(), 1);
    const ReceivedMail& mail = mails[0];
    EXPECT_EQ(mail.mailFrom, u"trader@example.com"_qs);
    EXPECT_EQ(
        mail.rcptTos, QStringList({u"ann@example.com"_qs, u"bob@example.org"_qs, u"carl@example.net"_qs}));
    EXPECT_EQ(mail.header(u"From"_qs), u"trader@example.com"_qs);
    EXPECT_EQ(mail.header(u"To"_qs), u"ann@example.com, bob@example.org"_qs);
    EXPECT_EQ(mail.header(u"Cc"_qs), u"carl@example.net"_qs);
    EXPECT_EQ(mail.header(u"Subject"_qs), u"Message from Tradevane"_qs);
    EXPECT_EQ(mail.header(u"MIME-Version"_qs), u"1.0"_qs);
    EXPECT_TRUE(mail.header(u"Content-Type"_qs).startsWith(u"text/plain; charset="_qs));
    EXPECT_EQ(QDateTime::fromString(mail.header(u"Date"_qs), Qt::RFC2822Date), kAlertTime);
    EXPECT_TRUE(mail.header(u"Message-ID"_qs).contains(u"@example.com>"_qs))
        << mail.header(u"Message-ID"_qs).toStdString();
    EXPECT_FALSE(mail.content.contains("\n\n")) << "every line ends in CR LF";
    // Leading and trailing spaces go, the lines in between stay as they were.
    EXPECT_EQ(mail.body(),
        QByteArray("MESSAGE FROM: TRADEVANE\r\nIBM    Price above 120\r\n.dot line\r\n\r\nend\r\n"));

    // The earlier note and the mail line leave in the same write.
    EXPECT_EQ(log(), u"Data Error-Stock #:3\r\n"_qs + stamp() + u" Email message sent.\r\n"_qs);
    EXPECT_TRUE(m_app.log.pending().isEmpty());
}

TEST_F(AlertMail, LogsInOverStartTlsWithAVerifiedCertificate)
{
    LoopbackSmtpServer server({.user = u"trader"_qs, .password = u"s3cret"_qs, .startTls = true});
    ASSERT_NO_FATAL_FAILURE(startServer(server));
    settings(server.server());
    login(u"trader"_qs, u"s3cret"_qs);

    // An untrusted certificate stops the send before the login leaves.
    EXPECT_EQ(send(u"first"_qs), MailOutcome::Failed);
    EXPECT_TRUE(server.received().isEmpty());
    EXPECT_TRUE(log().contains(u"certificate"_qs, Qt::CaseInsensitive)) << log().toStdString();

    m_app.smtp.setCaFile(server.caFile());
    EXPECT_EQ(send(u"second"_qs), MailOutcome::Sent);
    const QList<ReceivedMail> mails = server.received();
    ASSERT_EQ(mails.size(), 1);
    EXPECT_TRUE(mails[0].tls);
    EXPECT_TRUE(mails[0].tlsAtLogin);
    EXPECT_EQ(mails[0].login, u"trader"_qs);
}

TEST_F(AlertMail, FailuresAreLoggedWithTheReasonAndNeverAsSent)
{
    struct Case
    {
        const char* what;
        SmtpServerOptions options;
        QString to;
        QString password;
        QString expected; // in the reason
    };
    const QList<Case> cases = {
        {"login refused", {.user = u"trader"_qs, .password = u"right"_qs}, u"ann@example.com"_qs, u"wrong"_qs,
            u"535"_qs},
        {"recipient rejected", {.reject = {u"nobody@example.com"_qs}},
            u"ann@example.com,nobody@example.com"_qs, {}, u"550 5.1.1 <nobody@example.com>"_qs},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoopbackSmtpServer server(c.options);
        ASSERT_NO_FATAL_FAILURE(startServer(server));
        settings(server.server(), c.to);
        if (!c.password.isEmpty())
            login(u"trader"_qs, c.password);
        m_app.log.eraseLog(11);
        EXPECT_EQ(send(u"alert"_qs), MailOutcome::Failed);
        EXPECT_TRUE(server.received().isEmpty());
        const QString line = log();
        EXPECT_TRUE(line.startsWith(u"\r\n"_qs + stamp() + u" Email message failed: "_qs))
            << line.toStdString();
        EXPECT_TRUE(line.contains(c.expected)) << line.toStdString();
        EXPECT_FALSE(line.contains(LogText::kEmailSent));
        EXPECT_TRUE(line.endsWith(u"\r\n"_qs) && line.count(u"\r\n"_qs) == 2) << "one line per mail";
    }
}

TEST_F(AlertMail, UnreachableOrSilentServersFailInTime)
{
    settings(u"127.0.0.1:"_qs + QString::number(unusedLoopbackPort()));
    EXPECT_EQ(send(u"alert"_qs), MailOutcome::Failed);
    EXPECT_TRUE(log().contains(u" Email message failed: "_qs)) << log().toStdString();

    QTcpServer silent; // takes connections and never greets
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    settings(u"127.0.0.1:"_qs + QString::number(silent.serverPort()));
    m_app.smtp.setTimeouts(500, 60'000);
    // Window events run while the server keeps silent; a second send from one of them is refused.
    SmtpResult second {true, {}};
    QTimer::singleShot(100, [this, &second] { second = runToEnd(m_app.smtp, {}, {}); });
    EXPECT_EQ(send(u"alert"_qs), MailOutcome::Failed);
    EXPECT_FALSE(second.ok);
    EXPECT_EQ(second.error, u"Another message is still being sent"_qs);
    EXPECT_TRUE(log().contains(u"imeout"_qs) || log().contains(u"timed out"_qs)) << log().toStdString();
}

TEST_F(AlertMail, LineBreaksInSettingsCannotAddHeadersOrRecipients)
{
    LoopbackSmtpServer server;
    ASSERT_NO_FATAL_FAILURE(startServer(server));
    settings(server.server(), u"ann@example.com"_qs, {}, {});
    m_app.settings.mail.subject = u"Alert\r\nBcc: eve@example.com"_qs;
    m_app.settings.mail.copyTo = u"carl@example.net\r\n\r\n"_qs;

    EXPECT_EQ(send(u"alert"_qs), MailOutcome::Sent);
    const QList<ReceivedMail> mails = server.received();
    ASSERT_EQ(mails.size(), 1);
    EXPECT_EQ(mails[0].header(u"Subject"_qs), u"AlertBcc: eve@example.com"_qs);
    EXPECT_TRUE(mails[0].header(u"Bcc"_qs).isEmpty());
    EXPECT_EQ(mails[0].header(u"Cc"_qs), u"carl@example.net"_qs);
    EXPECT_EQ(mails[0].rcptTos, QStringList({u"ann@example.com"_qs, u"carl@example.net"_qs}));
    EXPECT_EQ(mails[0].body(), QByteArray("alert\r\n"));
}

// Only plain addresses reach MAIL FROM and RCPT TO: anything else fails before a connection, so
// that no address can carry a second command.
TEST_F(AlertMail, AnAddressThatIsNoAddressFailsBeforeAnythingIsSent)
{
    LoopbackSmtpServer server;
    ASSERT_NO_FATAL_FAILURE(startServer(server));
    const struct
    {
        QString from, to, cc, named;
    } cases[] = {
        {u"me@example.com"_qs, u"ann@example.com, cc@x.com> NOTIFY=NEVER"_qs, {},
            u"recipient address \"cc@x.com> NOTIFY=NEVER\""_qs},
        {u"me@example.com> BODY=8BITMIME"_qs, u"ann@example.com"_qs, {}, u"sender"_qs},
        {u"me@example.com"_qs, u"ann@example.com"_qs, u"a b@x.com"_qs, u"copy"_qs},
        {u"me@example.com"_qs, u"ann@example.com"_qs, u"carl@x.net>\r\nRCPT TO:<eve@x.com"_qs, u"copy"_qs},
        {u"me@example.com"_qs, u"ann@@x.com"_qs, {}, u"recipient"_qs},
        {u"me@example.com"_qs, u"@x.com"_qs, {}, u"recipient"_qs},
        {u"me@example.com"_qs, u"Ann <ann@x.com> <eve@x.com>"_qs, {}, u"recipient"_qs},
        {u"me@example.com"_qs, u"ann\x01@x.com"_qs, {}, u"recipient"_qs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.to.toStdString() + " " + c.from.toStdString() + " " + c.cc.toStdString());
        settings(server.server(), c.to, c.cc, {});
        m_app.settings.mail.mailFrom = c.from;
        m_app.log.eraseLog(11);
        EXPECT_EQ(send(u"alert"_qs), MailOutcome::Failed);
        const QString line = log();
        EXPECT_TRUE(line.contains(u" Email message failed: The "_qs + c.named)) << line.toStdString();
        EXPECT_TRUE(line.contains(u"is not a mail address of the form name@example.com"_qs))
            << line.toStdString();
    }
    EXPECT_TRUE(server.received().isEmpty());
}

TEST_F(AlertMail, DisableEmailAsShownInTheOpenWindowElseAsStored)
{
    LoopbackSmtpServer server;
    ASSERT_NO_FATAL_FAILURE(startServer(server));
    settings(server.server());

    m_app.settings.mail.disableEmail = 1;
    EXPECT_EQ(send(u"alert"_qs), MailOutcome::Withheld);
    EXPECT_TRUE(server.received().isEmpty());
    EXPECT_EQ(log(), stamp() + u" Email alert(s) prepared but witheld - Disabled by user\r\n"_qs);

    // An open mail settings window with the box cleared but not saved: the mail goes.
    m_app.settings.setShownDisableEmail([] { return false; });
    EXPECT_EQ(send(u"alert"_qs), MailOutcome::Sent);
    EXPECT_EQ(server.received().size(), 1);

    // Ticked in the window, not stored: withheld.
    m_app.settings.mail.disableEmail = 0;
    m_app.settings.setShownDisableEmail([] { return true; });
    EXPECT_EQ(send(u"alert"_qs), MailOutcome::Withheld);
    EXPECT_EQ(server.received().size(), 1);
}

TEST_F(AlertMail, LoginNeverTravelsUnencryptedToAnotherMachine)
{
    const QString address = LoopbackSmtpServer::nonLoopbackAddress();
    ASSERT_FALSE(address.isEmpty()) << "this test needs a network address besides loopback";

    LoopbackSmtpServer plain({.host = address, .user = u"trader"_qs, .password = u"s3cret"_qs});
    ASSERT_NO_FATAL_FAILURE(startServer(plain));
    settings(plain.server());
    login(u"trader"_qs, u"s3cret"_qs);
    EXPECT_EQ(send(u"alert"_qs), MailOutcome::Failed);
    EXPECT_TRUE(log().contains(u"offers no encryption"_qs)) << log().toStdString();
    EXPECT_TRUE(plain.received().isEmpty());

    LoopbackSmtpServer secure(
        {.host = address, .user = u"trader"_qs, .password = u"s3cret"_qs, .startTls = true});
    ASSERT_NO_FATAL_FAILURE(startServer(secure));
    settings(secure.server());
    login(u"trader"_qs, u"s3cret"_qs);
    m_app.smtp.setCaFile(secure.caFile());
    EXPECT_EQ(send(u"alert"_qs), MailOutcome::Sent);
    ASSERT_EQ(secure.received().size(), 1);
    EXPECT_TRUE(secure.received()[0].tlsAtLogin);
}

TEST_F(AlertMail, Port465SpeaksTlsFromTheFirstByte)
{
    LoopbackSmtpServer server({.port = 465, .implicitTls = true});
    QString error;
    ASSERT_TRUE(server.start(&error))
        << "port 465 needs root or CAP_NET_BIND_SERVICE: " << error.toStdString();
    settings(u"localhost:465"_qs);
    m_app.smtp.setCaFile(server.caFile());
    EXPECT_EQ(send(u"alert"_qs), MailOutcome::Sent);
    ASSERT_EQ(server.received().size(), 1);
    EXPECT_TRUE(server.received()[0].tls);
}

// The pieces of the control that need no server.
TEST(SmtpServerText, PortInTheServerNameWinsAndBadOnesAreRefused)
{
    const struct
    {
        QString text, host;
        int port;
        bool implicitTls, loopback;
    } servers[] = {{u"smtp.example.com"_qs, u"smtp.example.com"_qs, 25, false, false},
        {u" smtp.example.com:465 "_qs, u"smtp.example.com"_qs, 465, true, false},
        {u"[::1]:2525"_qs, u"::1"_qs, 2525, false, true}, {u"localhost"_qs, u"localhost"_qs, 25, false, true},
        {u"127.4.5.6:587"_qs, u"127.4.5.6"_qs, 587, false, true},
        {u"127.example.com"_qs, u"127.example.com"_qs, 25, false, false},
        // Only an address that is one, or the name localhost, is this machine.
        {u"127.0.0.300"_qs, u"127.0.0.300"_qs, 25, false, false},
        {u"127.0.0.1.nip.io"_qs, u"127.0.0.1.nip.io"_qs, 25, false, false},
        {u"localhost.example.com"_qs, u"localhost.example.com"_qs, 25, false, false},
        {u"127.1"_qs, u"127.1"_qs, 25, false, true}, {u"[0:0::1]"_qs, u"0:0::1"_qs, 25, false, true},
        {u"[::ffff:127.0.0.2]:26"_qs, u"::ffff:127.0.0.2"_qs, 26, false, true},
        {u"192.168.1.1"_qs, u"192.168.1.1"_qs, 25, false, false}};
    QString error;
    for (const auto& s : servers) {
        const auto endpoint = Smtp::parseServer(s.text, u"25"_qs, &error);
        ASSERT_TRUE(endpoint) << s.text.toStdString();
        EXPECT_EQ(std::tuple(endpoint->host, endpoint->port, endpoint->implicitTls, endpoint->loopback),
            std::tuple(s.host, s.port, s.implicitTls, s.loopback))
            << s.text.toStdString();
    }
    for (const QString& bad : {u""_qs, u"   "_qs, u"mail.example.com:0"_qs, u"mail.example.com:70000"_qs,
             u"mail.example.com:25x"_qs, u"mail.example.com:"_qs, u"mail example.com"_qs, u"evil.com/path"_qs,
             u"user@evil.com"_qs, u"[::1"_qs}) {
        error.clear();
        EXPECT_FALSE(Smtp::parseServer(bad, u"25"_qs, &error)) << bad.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST(SmtpMessage, NonAsciiSubjectAndBodyAreEncoded)
{
    const QString subject = u"Alerte: cours élevé – "_qs + QString(40, u'é');
    const QByteArray encoded = Smtp::encodeSubject(subject);
    QString decoded;
    for (const QByteArray& word : encoded.split('\n')) {
        const QByteArray w = word.trimmed();
        ASSERT_TRUE(w.startsWith("=?UTF-8?B?") && w.endsWith("?=")) << w.toStdString();
        EXPECT_LE(w.size(), 75);
        decoded += QString::fromUtf8(QByteArray::fromBase64(w.mid(10, w.size() - 12)));
    }
    EXPECT_EQ(decoded, subject);
    EXPECT_EQ(Smtp::encodeSubject(u"Plain subject"_qs), QByteArray("Plain subject"));

    const QByteArray message = Smtp::buildMessage(u"a@x.com"_qs, {u"b@y.com"_qs}, {}, u"s"_qs,
        u"Prix: 12€\nlong "_qs + QString(200, u'x'), kAlertTime, u"id@x.com"_qs);
    EXPECT_TRUE(message.contains("Content-Type: text/plain; charset=UTF-8\r\n"));
    EXPECT_TRUE(message.contains("Content-Transfer-Encoding: quoted-printable\r\n"));
    EXPECT_TRUE(message.contains("Prix: 12=E2=82=AC\r\n"));
    for (const QByteArray& line : message.split('\n'))
        EXPECT_LE(line.size(), 78);
    EXPECT_FALSE(message.contains("Cc:"));
}

} // namespace
