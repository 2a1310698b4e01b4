#include "engine/session/MonitoringSession.h"

#include "engine/alerts/AlertEvaluation.h"
#include "engine/calendar/HolidayFile.h"
#include "engine/indicators/Indicators.h"
#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "engine/marketdata/PriceSource.h"
#include "engine/marketdata/QuoteRetrieval.h"
#include "engine/notify/AlertMail.h"
#include "engine/notify/Channels.h"
#include "engine/notify/SoundPlayer.h"
#include "engine/notify/UnsentMail.h"
#include "engine/session/SessionObserver.h"
#include "engine/session/WaitRules.h"
#include "engine/settings/KeyringSecrets.h"
#include "engine/settings/SettingsStore.h"
#include "platform/Clock.h"
#include "platform/Conversions.h"

#include <QLocale>

namespace tradevane {

namespace {

QString twoDigits(int value)
{
    return value < 10 ? u'0' + QString::number(value) : QString::number(value);
}

bool startsWithDigit(const QString& text)
{
    return !text.isEmpty() && text.front() >= u'0' && text.front() <= u'9';
}

} // namespace

MonitoringSession::MonitoringSession(Services services, QObject* parent)
    : QObject(parent)
    , m_services(services)
{ }

MonitoringSession::~MonitoringSession()
{
    // Whatever is still awaited ends silently: nothing is reported to an engine that is gone.
    m_state = State::Stopping;
    m_pending.reset();
    m_retired.clear();
}

QString MonitoringSession::startTimeText(int hour, int minute)
{
    return QString::number(hour) + u':' + twoDigits(minute);
}

QString MonitoringSession::nextDownloadText(const QTime& now, int interval)
{
    int nextMinute = now.minute() + interval;
    if (nextMinute > 59)
        nextMinute -= 60;
    const int nextHour = interval + now.minute() >= 60 ? now.hour() + 1 : now.hour();
    return u"Next download @ "_qs + QString::number(nextHour) + u':' + twoDigits(nextMinute) + u':'
        + twoDigits(now.second());
}

QString MonitoringSession::dateTimeText(const QDateTime& when)
{
    return QLocale::system().toString(when.date(), QLocale::ShortFormat) + u' ' + longTimeText(when.time());
}

bool MonitoringSession::isPlausible(const Quote& q)
{
    if (q.high.isEmpty() || q.open.isEmpty() || q.low.isEmpty())
        return false;
    return startsWithDigit(q.high) && startsWithDigit(q.low) && startsWithDigit(q.last);
}

void MonitoringSession::storeTodaysRow(StockState& stock)
{
    const Quote& q = stock.quote;
    if (stock.history.empty())
        stock.history.resize(1);
    stock.history.front() = barFromTexts(q.date, q.open, q.high, q.low, q.last, q.volume);
}

int MonitoringSession::nextQuoteSetNumber(int number)
{
    return number >= 32000 ? 2 : number + 1;
}

QDateTime MonitoringSession::now() const
{
    const Clock& clock = Clock::current();
    return clock.now().toTimeZone(clock.zone());
}

StockContext MonitoringSession::context(StockIndex index)
{
    return {index, m_alerts[index.index()], m_stocks[index.index()], m_services.log};
}

void MonitoringSession::enter(State state)
{
    m_state = state;
    emit stateChanged(state);
}

void MonitoringSession::wait(std::unique_ptr<Pending> pending)
{
    retire(std::exchange(m_pending, std::move(pending)));
}

void MonitoringSession::retire(std::unique_ptr<Pending> pending)
{
    // The next step usually begins inside the report of the wait before it: that wait goes only
    // once its report has returned, from the event loop.
    if (!pending)
        return;
    m_retired.push_back(std::move(pending));
    if (m_retired.size() == 1)
        QMetaObject::invokeMethod(
            this, [this] { m_retired.clear(); }, Qt::QueuedConnection);
}

void MonitoringSession::waitFor(
    std::function<QDateTime(const QDateTime&)> rule, void (MonitoringSession::*next)())
{
    wait(Clock::current().alarm(
        [rule = std::move(rule)](
            const QDateTime& moment) { return rule(moment.toTimeZone(Clock::current().zone())); },
        [this, next] {
            if (m_state != State::Stopping && m_state != State::Idle)
                (this->*next)();
        }));
}

void MonitoringSession::logLine(const QString& text)
{
    m_services.log.add(text);
    m_services.log.appendLog(stockInHand());
}

void MonitoringSession::start()
{
    if (m_state != State::Idle)
        return;
    enter(State::CheckingConnection);
    m_source = makePriceSource(
        m_services.settings.source, m_services.settings.servers, m_services.fetcher, m_services.hub);
    m_sourceInProgram = m_services.settings.source.kind != SourceKind::Servers;
    wait(m_source->check([this](const SourceCheck& check) {
        if (m_state == State::CheckingConnection)
            connectionChecked(check);
    }));
}

void MonitoringSession::connectionChecked(const SourceCheck& check)
{
    if (!check.ok()) {
        enter(State::Idle);
        emit connectionRefused(check.offline ? connectionRefusedText() : check.problem);
        return;
    }
    const SettingsStore& settings = m_services.settings;
    m_alerts = settings.alerts;
    m_time = settings.time;
    m_dayTime = m_time;
    // A run begins with a clean day: nothing of an earlier run is left to report.
    m_stocks.fill({});
    m_lastTradingDay = {};
    m_cursor = 0;

    emit runningLook(true);
    emit quoteDisplayCleared();
    m_quoteSetNumber = 1;
    m_services.log.dropPending();
    m_calendar.reset();
    if (settings.calendar.skipHolidays) {
        m_calendar.emplace();
        loadHolidayFile(*m_calendar, m_services.log, stockInHand());
    }
    m_reported = readReportedAlerts(m_services.log, stockInHand());
    status({});
    emit downloadFrequencyChanged(u' ' + QString::number(m_time.quoteInterval) + u" Minute(s)"_qs);
    // The alert mail of a run that ended before its mail did goes first.
    if (const std::optional<QString> unsent = readUnsentMail(m_services.log, stockInHand())) {
        logLine(LogText::kUnsentMailResent);
        sendMail(*unsent, &MonitoringSession::dayHead);
        return;
    }
    dayHead();
}

void MonitoringSession::dayHead()
{
    const QDateTime t = now();
    // With the exchange calendar the weekend is the exchange's: a computer whose mornings watch the
    // exchange's previous date works on its Saturday morning (the exchange's Friday) and sits out
    // its Monday morning (the exchange's Sunday).
    const int shift = m_calendar ? WaitRules::sessionShift(t, m_time) : 0;
    const QDateTime exchangeDay = t.addDays(shift);
    if (!WaitRules::weekendAt(exchangeDay, m_dayTime)) {
        tradingDay();
        return;
    }
    enter(State::WaitingWeekend);
    const int dayOfWeek = exchangeDay.date().dayOfWeek();
    if (dayOfWeek == Qt::Friday) {
        m_services.log.add(LogText::kWeekendFriday + u"\r\n"_qs);
        status(u"Awaiting Monday Open"_qs);
    } else {
        m_services.log.add(
            (dayOfWeek == Qt::Saturday ? LogText::kWeekendSaturday : LogText::kWeekendSunday) + u"\r\n"_qs);
        status(u"Awaiting Monday open"_qs);
    }
    m_services.log.appendLog(stockInHand());
    waitFor(
        [shift](
            const QDateTime& moment) { return WaitRules::weekendEnd(moment.addDays(shift)).addDays(-shift); },
        &MonitoringSession::tradingDay);
}

bool MonitoringSession::holidayAhead()
{
    if (!m_calendar)
        return false;
    const QDateTime t = now();
    const QDateTime start = WaitRules::startMomentAnyDay(t, m_time, m_lastTradingDay);
    const std::optional<QString> holiday
        = start.isValid() ? m_calendar->holiday(WaitRules::sessionDate(start, m_time)) : std::nullopt;
    const QDateTime resume = WaitRules::openStartMomentAnyDay(t, m_time, m_lastTradingDay, closedDays());
    if (!holiday || !resume.isValid())
        return false;
    // Sat out as a weekend is, until the day trading resumes begins.
    enter(State::WaitingWeekend);
    const QString weekday = QLocale::c().dayName(resume.date().dayOfWeek());
    m_services.log.add(LogText::kHolidayClosed + *holiday + LogText::kHolidayResumes + weekday + u"\r\n"_qs);
    status(u"Awaiting "_qs + weekday + u" open"_qs);
    m_services.log.appendLog(stockInHand());
    waitFor([day = resume.date()](const QDateTime& moment) { return WaitRules::dayStart(moment, day); },
        &MonitoringSession::tradingDay);
    return true;
}

std::function<bool(const QDateTime&)> MonitoringSession::closedDays() const
{
    if (!m_calendar)
        return {};
    // A trading day is closed when the session it would watch is not held: a holiday, or (for a
    // computer far from the exchange) its weekend. A day that begins after an early close still
    // runs its one quote set on the day's final prices, as the end-of-day schedules want.
    return [calendar = *m_calendar, time = m_time](const QDateTime& start) {
        const QDate session = WaitRules::sessionDate(start, time);
        return session.dayOfWeek() > 5 || calendar.holiday(session).has_value();
    };
}

void MonitoringSession::tradingDay()
{
    if (holidayAhead())
        return;
    enter(State::WaitingStart);
    const QString startText = startTimeText(m_time.startHour, m_time.startMinute);
    logLine(LogText::kWaitingForStart + startText);
    status(u"Awaiting Start Time - "_qs + startText);
    waitFor(
        [time = m_time, lastDay = m_lastTradingDay, closed = closedDays()](const QDateTime& t) {
            // The calendar's closed days include the exchange's weekend.
            return closed ? WaitRules::openStartMomentAnyDay(t, time, lastDay, closed)
                          : WaitRules::openStartMoment(t, time, lastDay, closed);
        },
        &MonitoringSession::historyBegin);
}

void MonitoringSession::historyBegin()
{
    enter(State::History);
    const QDateTime t = now();
    m_tradingDate = WaitRules::sessionDate(t, m_time);
    armAllAlerts();
    disarmReported(m_reported, m_tradingDate, m_alerts, m_stocks);
    logLine(dateTimeText(t) + LogText::kProcessingStarted);
    if (m_sourceInProgram)
        logLine(LogText::kPricesFrom + m_source->description());
    m_dayTime = m_time;
    if (const auto early = m_calendar ? m_calendar->earlyClose(m_tradingDate) : std::nullopt) {
        m_dayTime = WaitRules::earlyCloseTimes(m_time, t, early->close);
        if (m_dayTime.stopHour != m_time.stopHour || m_dayTime.stopMinute != m_time.stopMinute)
            logLine(LogText::kEarlyClose + early->name + LogText::kEarlyCloseEnd
                + startTimeText(m_dayTime.stopHour, m_dayTime.stopMinute));
    }
    status(u"Processing Started"_qs);
    m_dates = setHistoryDates(t);
    m_lastTradingDay = t.date();
    m_cursor = 0;
    historyOfStock();
}

void MonitoringSession::armAllAlerts()
{
    // A new trading day: every alert of every stock may be reported again.
    for (StockState& stock : m_stocks) {
        tradevane::armAllAlerts(stock.alerts);
        stock.reportedToday.clear();
    }
}

void MonitoringSession::historyOfStock()
{
    if (m_cursor == kStockCount) {
        historyDone();
        return;
    }
    const StockIndex index(m_cursor);
    const AlertSettings& settings = m_alerts[m_cursor];
    if (!settings.watched()) {
        nextStock(&MonitoringSession::historyOfStock);
        return;
    }
    wait(downloadHistory(
        context(index), *m_source, settings.symbol.trimmed(), m_dates, [this](const QString& body) {
            if (m_state == State::History)
                historyArrived(body);
        }));
}

void MonitoringSession::historyArrived(const QString& body)
{
    StockContext stock = context(StockIndex(m_cursor));
    parseHistory(stock, body);
    nextStock(&MonitoringSession::historyOfStock);
}

void MonitoringSession::nextStock(void (MonitoringSession::*step)())
{
    // The short pause after every stock, watched or not; it always returns to the event loop.
    const State during = m_state;
    wait(Clock::current().alarmAt(WaitRules::pauseEnd(now()), [this, step, during] {
        if (m_state != during)
            return;
        ++m_cursor;
        (this->*step)();
    }));
}

void MonitoringSession::historyDone()
{
    logLine(longTimeText(now().time()) + u' ' + LogText::kHistoricDataDownloaded);
    status(u"D/L Historic Data"_qs);
    enter(State::WaitingQuoteStart);
    waitFor([time = m_time](const QDateTime& t) { return WaitRules::quoteStartMoment(t, time); },
        &MonitoringSession::quotesBegin);
}

void MonitoringSession::quotesBegin()
{
    // The count goes on from day to day: only the first set after START follows the history at once.
    if (m_quoteSetNumber > 1)
        nextSet();
    else
        quoteSet();
}

void MonitoringSession::nextSet()
{
    enter(State::WaitingNextSet);
    const QDateTime t = now();
    const int nextMinute = (t.time().minute() + m_time.quoteInterval) % 60;
    const int nextSecond = t.time().second();
    status(nextDownloadText(t.time(), m_time.quoteInterval));
    // Counted from the end of the last set: the minute, then the second; the hour is not compared.
    waitFor([nextMinute, nextSecond](
                const QDateTime& moment) { return WaitRules::nextSetMoment(moment, nextMinute, nextSecond); },
        &MonitoringSession::quoteSet);
}

void MonitoringSession::quoteSet()
{
    enter(State::QuoteSet);
    status(u"Downloading Quotes"_qs);
    m_cursor = 0;
    quoteOfStock();
}

void MonitoringSession::quoteOfStock()
{
    if (m_cursor == kStockCount) {
        quotesDone();
        return;
    }
    const StockIndex index(m_cursor);
    const AlertSettings& settings = m_alerts[m_cursor];
    if (!m_stocks[m_cursor].stockFailed && settings.watched()) {
        wait(downloadQuote(context(index), *m_source, settings.symbol.trimmed(), [this](const QString& body) {
            if (m_state == State::QuoteSet)
                quoteArrived(body);
        }));
        return;
    }
    quoteArrived(std::nullopt);
}

void MonitoringSession::quoteArrived(const std::optional<QString>& body)
{
    StockContext stock = context(StockIndex(m_cursor));
    if (body)
        parseQuote(stock, *body);
    if (stock.settings.watched())
        stock.state.quoteValid = isPlausible(stock.state.quote);
    nextStock(&MonitoringSession::quoteOfStock);
}

void MonitoringSession::quotesDone()
{
    logLine(longTimeText(now().time()) + u' ' + LogText::kQuoteSetDownloaded
        + QString::number(m_quoteSetNumber) + LogText::kQuoteSetDownloadedEnd);

    // The rows of the main window: what was received, "?" where there is no usable price.
    for (const StockIndex index : allStocks()) {
        const StockState& stock = m_stocks[index.index()];
        const AlertSettings& settings = m_alerts[index.index()];
        if (!stock.stockFailed && settings.watched())
            emit quoteRowShown(index.number(), stock.quote);
        if (settings.watch != Watch::Off && (!(val(stock.quote.last) > 0) || stock.stockFailed))
            emit priceTextSet(index.number(), u"?"_qs);
    }
    // Today's row of every usable quote.
    for (const StockIndex index : allStocks()) {
        StockState& stock = m_stocks[index.index()];
        if (!stock.stockFailed && stock.quoteValid && m_alerts[index.index()].watched())
            storeTodaysRow(stock);
    }
    m_quoteSetNumber = nextQuoteSetNumber(m_quoteSetNumber);

    for (const StockIndex index : allStocks()) {
        StockContext stock = context(index);
        if (!stock.state.stockFailed && stock.state.quoteValid && stock.settings.watched())
            calcIndicators(stock);
    }
    m_message = evaluateAlerts([this](StockIndex index) { return context(index); }, now().time(),
        [this](StockIndex index, bool alert) { emit symbolAlertColour(index.number(), alert); });
    if (m_message.isEmpty()) {
        setDone();
        return;
    }
    enter(State::AlertSound);
    logLine(u"\r\n"_qs + m_message.text);
    rememberReported();
    wait(m_services.sound.playAlertSound(m_services.settings.sound, m_services.log, stockInHand(), [this] {
        if (m_state == State::AlertSound)
            alertSoundEnded();
    }));
}

void MonitoringSession::rememberReported()
{
    ReportedAlerts reported = reportedOn(m_tradingDate, m_alerts, m_stocks);
    if (reported == m_reported)
        return; // only alerts that repeat in every set were due
    m_reported = std::move(reported);
    // From now on these alerts are not reported again today: until the mail has gone, it is kept
    // where an abrupt end cannot take it.
    keepUnsentMail(m_message.text, m_services.log, stockInHand());
    writeReportedAlerts(m_reported, m_services.log, stockInHand());
}

void MonitoringSession::alertSoundEnded()
{
    emit alertRaised(m_message.text);
    sendMail(m_message.text, &MonitoringSession::mailDone);
}

void MonitoringSession::sendMail(const QString& text, void (MonitoringSession::*then)())
{
    enter(State::SendingMail);
    status(u"Sending Email"_qs);
    // Just after start-up the mail password and the channel tokens may still be on their way from
    // the keyring (at most its time-out).
    if (m_services.secrets.busy()) {
        wait(m_services.secrets.whenDone([this, text, then] {
            if (m_state == State::SendingMail)
                mailNow(text, then);
        }));
        return;
    }
    mailNow(text, then);
}

void MonitoringSession::mailNow(const QString& text, void (MonitoringSession::*then)())
{
    wait(sendAlertMail(
        text, m_services.settings, m_services.smtp, m_services.log, stockInHand(), [this, then](MailOutcome) {
            // The mail has its line in the log, whatever became of it: nothing is left to send.
            dropUnsentMail();
            if (m_state == State::SendingMail)
                (this->*then)();
        }));
}

void MonitoringSession::mailDone()
{
    // The channels that are on get the same lines at once, side by side; the set ends when the
    // last of them has answered (or given up).
    enter(State::SendingChannels);
    std::unique_ptr<Pending> sends = sendAlertToChannels(
        m_message, m_services.settings.channels, m_services.channels, m_services.log, stockInHand(), [this] {
            if (m_state == State::SendingChannels)
                setDone();
        });
    if (!sends) {
        setDone();
        return;
    }
    status(u"Sending to channels"_qs);
    wait(std::move(sends));
}

void MonitoringSession::setDone()
{
    logLine(QString(75, u'*'));
    emit quoteSetFinished();
    for (StockState& stock : m_stocks)
        stock.stockFailed = stock.downloadError = false;
    if (WaitRules::stopTimeReached(now(), m_dayTime))
        dayHead();
    else
        nextSet();
}

void MonitoringSession::tearDown()
{
    enter(State::Stopping);
    if (std::unique_ptr<Pending> pending = std::move(m_pending)) {
        pending->cancel(); // what it reports cannot move a stopping engine on
        retire(std::move(pending));
    }
}

void MonitoringSession::stop()
{
    tearDown();
    status(u"Processing Stopped"_qs);
    emit runningLook(false);
    logLine(LogText::kStoppedByUser + u"\r\n"_qs + QString(43, u'*') + u"\r\n"_qs);
    enter(State::Idle);
}

void MonitoringSession::shutdown()
{
    tearDown();
    enter(State::Idle);
}

} // namespace tradevane
