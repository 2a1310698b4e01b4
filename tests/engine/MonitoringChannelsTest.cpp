#include "CycleFixture.h"

#include "engine/log/LogTexts.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace tradevane;

namespace {

using Answer = LoopbackHttpServer::Answer;

const QString kBotToken = u"42:s3cretBot"_qs;
const QString kLines = u"ABC    : Price climbed above $12.00\nXYZ    : Price dropped below $46.00"_qs;

// The engine with a mail server and all three phone channels on, the channels served by the quote
// server's loopback host: ABC climbs above 12, XYZ falls below 46.
class MonitoringChannels : public MailCycleTest
{
protected:
    void SetUp() override
    {
        MailCycleTest::SetUp();
        schedule(10, 0, 11, 0, 5);
        AlertSettings& abc = watch(1, u"ABC"_qs);
        abc.on(AlertKind::PriceAbove) = true;
        abc.priceAbove = 12;
        AlertSettings& xyz = watch(2, u"XYZ"_qs);
        xyz.on(AlertKind::PriceBelow) = true;
        xyz.priceBelow = 46;
        m_http.serve(u"/table.csv"_qs, makeHistory(kMonday, 252, 10));
        m_http.serve(quoteTarget(u"abc"_qs), makeQuote(u"ABC"_qs, 12.5, 12, 12.6, 11.9, 5000));
        m_http.serve(quoteTarget(u"xyz"_qs), makeQuote(u"XYZ"_qs, 45, 49, 50.1, 44, 900));

        ChannelSettings& c = m_app.settings.channels;
        c.ntfy = {true, m_http.baseUrl(), u"desk"_qs, {}};
        c.telegram = {true, kBotToken, u"777"_qs};
        c.webhook = {true, m_http.baseUrl() + u"/hook"_qs, WebhookBody::Json, {}, {}};
        m_app.channels.telegramServer = m_http.baseUrl();
        m_app.channels.limits.timeoutMs = 2000;
        m_http.serve(u"/desk"_qs, QByteArray(R"({"id":"x1"})"));
        m_http.serve(telegramTarget(), QByteArray(R"({"ok":true})"));
        m_http.serveStatus(u"/hook"_qs, 204);
    }

    static QString telegramTarget() { return u"/bot"_qs + kBotToken + u"/sendMessage"_qs; }

    bool runSets(int sets)
    {
        return runFrom(QDateTime(kMonday, QTime(9, 59, 50)),
            [&] { return m_window.statusesStartingWith(u"Next download @"_qs) >= sets; });
    }

    QList<LoopbackHttpServer::Request> to(const QString& target) const
    {
        QList<LoopbackHttpServer::Request> found;
        for (const auto& request : m_http.received())
            if (request.target == target)
                found.append(request);
        return found;
    }

    // The log after the mail line: the channels' lines.
    QString afterMail() const
    {
        const QString text = log();
        return text.mid(text.indexOf(LogText::kEmailSent));
    }
};

TEST_F(MonitoringChannels, EveryChannelGetsTheMailsAlertLinesAfterTheMailThenTheSetEnds)
{
    ASSERT_TRUE(runSets(2));
    ASSERT_EQ(m_smtp.received().size(), 1);
    const QString mail = QString::fromLatin1(m_smtp.received()[0].body());
    EXPECT_TRUE(mail.contains(QString(kLines).replace(u"\n"_qs, u"\r\n"_qs))) << mail.toStdString();

    // One alert set, so each channel once, with the same lines the mail had.
    ASSERT_EQ(to(u"/desk"_qs).size(), 1);
    EXPECT_EQ(QString::fromUtf8(to(u"/desk"_qs)[0].body), kLines);
    ASSERT_EQ(to(telegramTarget()).size(), 1);
    EXPECT_EQ(QJsonDocument::fromJson(to(telegramTarget())[0].body).object().value(u"text"_qs).toString(),
        u"Tradevane alert\n"_qs + kLines);
    ASSERT_EQ(to(u"/hook"_qs).size(), 1);
    const QJsonArray alerts
        = QJsonDocument::fromJson(to(u"/hook"_qs)[0].body).object().value(u"alerts"_qs).toArray();
    ASSERT_EQ(alerts.size(), 2);
    EXPECT_EQ(alerts[0].toObject().value(u"stock"_qs).toInt(), 1);
    EXPECT_EQ(alerts[0].toObject().value(u"symbol"_qs).toString(), u"ABC"_qs);
    EXPECT_EQ(alerts[1].toObject().value(u"stock"_qs).toInt(), 2);
    EXPECT_EQ(alerts[1].toObject().value(u"line"_qs).toString(), u"XYZ    : Price dropped below $46.00"_qs);

    // The channels' lines come after the mail's and before the set's asterisks.
    const QString tail = afterMail();
    const qsizetype end = tail.indexOf(QString(75, u'*'));
    ASSERT_GT(end, 0) << tail.toStdString();
    const QString lines = tail.left(end);
    for (const QString& sent : {LogText::kNtfySent, LogText::kTelegramSent, LogText::kWebhookSent})
        EXPECT_EQ(lines.count(longTimeText(QTime(10, 0)) + sent), 1) << lines.toStdString();
    EXPECT_EQ(m_window.statuses(u"Sending Email"_qs).size(), 1);
    EXPECT_EQ(m_window.statuses(u"Sending to channels"_qs).size(), 1);
    const auto sending = m_window.states.indexOf(State::SendingMail);
    ASSERT_GE(sending, 0);
    EXPECT_EQ(m_window.states.mid(sending, 3),
        QList<State>({State::SendingMail, State::SendingChannels, State::WaitingNextSet}));
}

// A channel that fails in any way costs its own line only: the mail, the other channels and the
// next quote set go on as ever.
TEST_F(MonitoringChannels, FailingChannelsEachLogOneLineAndNothingElseChanges)
{
    m_http.serveStatus(u"/desk"_qs, 500);
    m_http.serve(telegramTarget(), Answer {.mode = Answer::Mode::Hang});
    m_app.settings.channels.webhook.url
        = u"http://127.0.0.1:"_qs + QString::number(unusedLoopbackPort()) + u"/h"_qs;
    alerts(2).repeatAlerts = true; // the second set reports again
    ASSERT_TRUE(runSets(2));
    EXPECT_EQ(m_smtp.received().size(), 2);
    const QString text = log();
    EXPECT_EQ(text.count(LogText::kEmailSent), 2);
    EXPECT_EQ(text.count(LogText::kNtfyFailed + u"500 Internal Server Error"_qs), 2);
    EXPECT_EQ(text.count(LogText::kTelegramFailed), 2);
    EXPECT_EQ(text.count(LogText::kWebhookFailed), 2);
    for (const QString& sent : {LogText::kNtfySent, LogText::kTelegramSent, LogText::kWebhookSent})
        EXPECT_FALSE(text.contains(sent));
    EXPECT_EQ(text.count(QString(75, u'*')), 2);
    EXPECT_FALSE(text.contains(kBotToken));
    EXPECT_EQ(m_app.hub.transfersRunning(), 0);
}

TEST_F(MonitoringChannels, EmailDisabledStillSendsToTheChannels)
{
    m_app.settings.mail.disableEmail = 1;
    ASSERT_TRUE(runSets(1));
    EXPECT_TRUE(m_smtp.received().isEmpty());
    EXPECT_TRUE(log().contains(LogText::kEmailWithheld));
    EXPECT_EQ(to(u"/desk"_qs).size(), 1);
    EXPECT_EQ(to(u"/hook"_qs).size(), 1);
}

TEST_F(MonitoringChannels, NoChannelOnEndsTheSetAfterTheMailAsBefore)
{
    m_app.settings.channels = {};
    ASSERT_TRUE(runSets(1));
    EXPECT_EQ(m_smtp.received().size(), 1);
    EXPECT_TRUE(to(u"/desk"_qs).isEmpty());
    EXPECT_TRUE(log().contains(LogText::kEmailSent + u"\r\n"_qs + QString(75, u'*')));
}

// STOP while a channel waits for a silent server: its line says it was cut off, then come the stop
// lines; nothing of the set follows.
TEST_F(MonitoringChannels, StopCancelsTheChannelsStillSending)
{
    m_http.serve(u"/hook"_qs, Answer {.mode = Answer::Mode::Hang});
    m_app.channels.limits.timeoutMs = 3'600'000;
    SimulatedClock& sim = simulateClock(QDateTime(kMonday, QTime(9, 59, 50)));
    m_app.engine.start();
    ASSERT_TRUE(sim.runUntil(
        [&] { return log().contains(LogText::kTelegramSent) && log().contains(LogText::kNtfySent); },
        QDateTime(kMonday, QTime(10, 30))));
    ASSERT_EQ(m_app.hub.transfersRunning(), 1);
    m_app.engine.stop();
    EXPECT_EQ(m_app.hub.transfersRunning(), 0);
    EXPECT_TRUE(log().endsWith(
        longTimeText(QTime(10, 0)) + LogText::kWebhookFailed + u"sending cancelled\r\n"_qs + stopLines()))
        << log().toStdString();
    EXPECT_FALSE(log().contains(QString(75, u'*')));
}

} // namespace
