#pragma once

#include "engine/alerts/AlertEvaluation.h"
#include "engine/alerts/AlertMemory.h"
#include "engine/calendar/ExchangeCalendar.h"
#include "engine/marketdata/HistoryRetrieval.h"
#include "engine/model/StockState.h"
#include "platform/Pending.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace tradevane {

class ActivityLog;
class ChannelSender;
class HttpFetcher;
class PriceSource;
struct SourceCheck;
class SecretLoader;
class SettingsStore;
class SmtpClient;
class SoundPlayer;
class TransferHub;

// The monitoring engine: after a connection check it waits for the trading day's start time
// (sitting out weekends and, by the exchange calendar, holidays), downloads the daily history of
// every watched stock once a day, then until the stop time (or an earlier early close) fetches the
// quotes at the interval, shows them, computes the indicators and hands every alert due to the log,
// the alert sound, the notice window, the mail and the phone channels, day after day until
// stopped. The once-a-day alerts reported on a trading day are kept in reported.dat, so that a new
// START that day does not report them again.
//
// It never waits: an alarm, a finished transfer, sound or mail, or a button calls it, and it
// returns to the event loop after each step, holding the one thing it waits for. What it does goes
// out as signals of its state and its domain events; it never shows a window itself, so it runs
// with or without one, and the windows choose how each state looks. Its signals come in the middle of a step:
// an observer that wants to start or stop the engine in answer queues the call.
class MonitoringSession : public QObject
{
    Q_OBJECT

public:
    enum class State {
        Idle,
        CheckingConnection,
        WaitingWeekend,
        WaitingStart,
        History,
        WaitingQuoteStart,
        WaitingNextSet,
        QuoteSet,
        AlertSound, // the alerts of a set are reported: the sound plays
        SendingMail, // then the mail goes out
        SendingChannels, // then the phone channels get it
        Stopping,
    };
    Q_ENUM(State)

    // Everything the engine works with; they must outlive it.
    struct Services
    {
        const SettingsStore& settings;
        ActivityLog& log;
        TransferHub& hub;
        HttpFetcher& fetcher; // `InetQuotes`: quotes and histories
        SmtpClient& smtp; // `SMTP1`: the alert mail
        SoundPlayer& sound;
        ChannelSender& channels;
        SecretLoader& secrets; // the mail password and channel tokens read from the keyring
    };

    explicit MonitoringSession(Services services, QObject* parent = nullptr);
    ~MonitoringSession() override;

    // START: checks the connection, then runs. Does nothing unless the engine is idle.
    void start();
    // STOP: ends whatever is under way at once (a transfer, sound or mail in flight is cancelled,
    // a mail so cut off logs its failure line), shows the stopped look and logs the stop lines.
    // When it returns nothing runs any more.
    void stop();
    // The program is closing: ends everything as stop() does, without a line or a look.
    void shutdown();

    State state() const { return m_state; }
    bool isRunning() const { return m_state != State::Idle && m_state != State::CheckingConnection; }
    int quoteSetNumber() const { return m_quoteSetNumber; }
    const StockState& stock(StockIndex index) const { return m_stocks[index.index()]; }
    // The alert settings of the stock as the engine took them at START.
    const AlertSettings& alertSettings(StockIndex index) const { return m_alerts[index.index()]; }

    // The texts the engine shows and logs.
    static QString startTimeText(int hour, int minute); // "9:05", "14:30"
    static QString nextDownloadText(const QTime& now, int interval); // "Next download @ 11:03:20"
    static QString dateTimeText(const QDateTime& when);
    static bool isPlausible(const Quote& quote);
    // Today's row of the history: the bar of the quote's date, open, high, low, last and volume.
    static void storeTodaysRow(StockState& stock);
    // The set after `number`: after 32000 the count goes on with 2.
    static int nextQuoteSetNumber(int number);

signals:
    void runningLook(bool running);
    void quoteDisplayCleared();
    void statusChanged(const QString& text);
    void downloadFrequencyChanged(const QString& text);
    // Price, change, open, high, low and volume of stock `number`'s row, as received.
    void quoteRowShown(int number, const Quote& quote);
    void priceTextSet(int number, const QString& text);
    void symbolAlertColour(int number, bool alert); // red when an alert holds, else green
    void alertRaised(const QString& message);
    // A quote set has ended (after its line of asterisks).
    void quoteSetFinished();
    // START found no connection: the engine stays idle.
    void connectionRefused(const QString& message);
    void stateChanged(MonitoringSession::State state);

private:
    void enter(State state);
    void wait(std::unique_ptr<Pending> pending);
    void retire(std::unique_ptr<Pending> pending);
    // Waits for the moment `rule` gives (derived again when the clock is set), then goes on with
    // `next`.
    void waitFor(std::function<QDateTime(const QDateTime&)> rule, void (MonitoringSession::*next)());
    QDateTime now() const;
    StockContext context(StockIndex index);
    void status(const QString& text) { emit statusChanged(text); }
    // What the log's own notes call the stock in hand: its number during a loop over the stocks,
    // 11 once the loop has ended, 1 before the first loop of a run.
    int stockInHand() const { return m_cursor + 1; }
    void logLine(const QString& text);
    void tearDown();

    void connectionChecked(const SourceCheck& check);
    void dayHead();
    bool holidayAhead();
    std::function<bool(const QDateTime&)> closedDays() const;
    void tradingDay();
    void historyBegin();
    void armAllAlerts();
    void historyOfStock();
    void historyArrived(const QString& body);
    void historyDone();
    void quotesBegin();
    void nextSet();
    void quoteSet();
    void quoteOfStock();
    void quoteArrived(const std::optional<QString>& body);
    void nextStock(void (MonitoringSession::*step)());
    void quotesDone();
    void rememberReported();
    void alertSoundEnded();
    // Alert mail of `text`; `then` follows once the mail has its line in the log, unless the run
    // has ended meanwhile.
    void sendMail(const QString& text, void (MonitoringSession::*then)());
    void mailNow(const QString& text, void (MonitoringSession::*then)());
    void mailDone();
    void setDone();

    Services m_services;
    State m_state = State::Idle;
    std::unique_ptr<Pending> m_pending; // the one thing waited for
    std::vector<std::unique_ptr<Pending>> m_retired; // waits that ended, gone at the next event

    // Taken at START: the settings do not change under a run (only the sound choice may).
    std::array<AlertSettings, kStockCount> m_alerts {};
    TimeSettings m_time;
    std::unique_ptr<PriceSource> m_source; // chosen at START
    bool m_sourceInProgram = false; // its prices are named in the log each day
    std::optional<ExchangeCalendar> m_calendar; // none when the calendar is not followed

    std::array<StockState, kStockCount> m_stocks {};
    int m_cursor = 0; // the stock of the loop under way; kStockCount once the loop has ended
    HistoryDates m_dates;
    QDate m_lastTradingDay;
    QDate m_tradingDate; // the exchange's date of the trading day under way
    TimeSettings m_dayTime; // its times: the stop moved to an early close
    ReportedAlerts m_reported; // as reported.dat holds them
    AlertMessage m_message;

    int m_quoteSetNumber = 0; // the quote set under way or next, counted from START
};

} // namespace tradevane
