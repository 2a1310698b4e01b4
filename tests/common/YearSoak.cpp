#include "YearSoak.h"

#include "CycleFixture.h"
#include "LoopbackHttpServer.h"
#include "LoopbackSmtpServer.h"
#include "SimulatedClock.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "engine/session/AppServices.h"
#include "engine/session/StartupLoad.h"
#include "engine/settings/AlertSettingsFile.h"
#include "engine/settings/CalendarSettings.h"
#include "engine/settings/MailSettingsFile.h"
#include "engine/settings/ServerSettings.h"
#include "engine/settings/TermsFile.h"
#include "engine/settings/TimeSettingsFile.h"
#include "platform/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QUrlQuery>

#include <algorithm>
#include <map>
#include <set>

using namespace tradevane;

namespace {

const QTimeZone kExchangeZone("America/New_York");
constexpr int kStocks = 10;
constexpr double kLevel = 12.0; // every stock's price-above level
constexpr int kSetSeconds = 60; // the quote interval

// The days the US exchanges are closed and close early (13:00 New York time), as published,
// written out here rather than taken from the engine's calendar, which is what the soak checks.
const std::map<QDate, QString>& closedSessions()
{
    static const std::map<QDate, QString> closed {
        {QDate(2026, 1, 1), u"New Year's Day"_qs},
        {QDate(2026, 1, 19), u"Martin Luther King Jr. Day"_qs},
        {QDate(2026, 2, 16), u"Washington's Birthday"_qs},
        {QDate(2026, 4, 3), u"Good Friday"_qs},
        {QDate(2026, 5, 25), u"Memorial Day"_qs},
        {QDate(2026, 6, 19), u"Juneteenth"_qs},
        {QDate(2026, 7, 3), u"Independence Day (observed)"_qs},
        {QDate(2026, 9, 7), u"Labor Day"_qs},
        {QDate(2026, 11, 26), u"Thanksgiving Day"_qs},
        {QDate(2026, 12, 25), u"Christmas Day"_qs},
        {QDate(2027, 1, 1), u"New Year's Day"_qs},
        {QDate(2027, 1, 18), u"Martin Luther King Jr. Day"_qs},
        {QDate(2027, 2, 15), u"Washington's Birthday"_qs},
    };
    return closed;
}
const QDate kListsEnd(2027, 3, 1); // the lists above hold up to here
const std::set<QDate> kEarlyCloses {QDate(2026, 11, 27), QDate(2026, 12, 24)};

QString number(qint64 n)
{
    return QLocale::c().toString(n);
}

QString mib(qint64 bytes)
{
    return QString::number(static_cast<double>(bytes) / (1024.0 * 1024.0), 'f', 1) + u" MiB"_qs;
}

// What the process holds, read from /proc.
struct Resources
{
    qint64 residentBytes = 0;
    int descriptors = 0;
    int timers = 0; // alarms waiting on the clock: every wait of the engine is one
};

qint64 residentBytes()
{
    QFile status(u"/proc/self/status"_qs);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return 0;
}

int openDescriptors()
{
    return static_cast<int>(
        QDir(u"/proc/self/fd"_qs).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size());
}

// One trading day of the plan, on the computer's clock.
struct Day
{
    QDate local; // the computer's date
    QDate session; // the exchange's
    int startMinute = 0; // minutes of the computer's day
    int stopMinute = 0; // the stop time, or the early close when that comes first
    bool earlyClose = false;
    int clockSets = 0; // +1 for each hour the clock is set back during the day, -1 for each forward
};

enum class Fault {
    QuotesAway,
    QuotesBack,
    MailDown,
    MailUp,
    MailSlow,
    MailFast,
    ClockForward,
    ClockBack,
    RestartInQuotes, // stop and start again while the quotes of a set come in
    RestartInMail, // ... while an alert mail goes out
    DayEnd,
};

struct Event
{
    QDateTime at; // true time, in the computer's zone
    Fault fault = Fault::DayEnd;
    int day = 0; // index into the days
    int detail = 0; // the stock after whose quote request a restart comes
    int downSeconds = 0; // how long a restarted program is away
};

struct SetSeen
{
    QDateTime trueTime;
    QDateTime clock;
};

struct AlertCount
{
    int logged = 0; // alert lines in the log
    int mailed = 0; // ... in a message whose mail was sent
    int failed = 0; // ... in a message whose mail failed with a reason
};

class Soak
{
public:
    explicit Soak(const SoakPlan& plan)
        : m_plan(plan)
        , m_random(plan.seed)
        , m_faultRandom(plan.seed ^ 0x5eedU)
    { }

    SoakResult run();

private:
    bool planDays(QString* error);
    void planFaults();
    void writeSettings();
    void buildProgram();
    void restart(int downSeconds);
    void fire(const Event& event);
    void armNext();
    QDateTime trueNow() const { return m_clock->now().addSecs(-m_offsetSeconds); }
    LoopbackHttpServer::Answer answer(const LoopbackHttpServer::Request& request);
    LoopbackHttpServer::Answer quoteAnswer(int stock);
    void onLogRecord(const QString& record);
    void onSetFinished();
    int dayIndexOf(const QDate& local) const;
    Resources sample() const;
    SoakResult report();
    void checkDay(int index);
    void reportSets(SoakResult& result) const;
    void reportAlerts(SoakResult& result) const;
    void reportResources(SoakResult& result) const;

    SoakPlan m_plan;
    QRandomGenerator m_random; // the schedule of faults
    QRandomGenerator m_faultRandom; // which quote answers fail
    QList<Day> m_days;
    std::map<QDate, int> m_dayOfLocal;
    QList<Event> m_events;
    int m_nextEvent = 0;
    bool m_finished = false;

    QTemporaryDir m_folder;
    LoopbackHttpServer m_http;
    LoopbackSmtpServer m_smtp;
    std::unique_ptr<SimulatedClock> m_clock;
    std::unique_ptr<AppServices> m_services;
    std::unique_ptr<Pending> m_alarm;
    QObject m_context; // what queued restarts run in
    qint64 m_offsetSeconds = 0; // how far the computer's clock is set off the true time

    int m_restartAfterStock = 0; // armed: restart after this stock's quote request (1..10)
    int m_restartDown = 0;
    bool m_restartInMail = false;
    QList<std::pair<QDateTime, int>> m_restarts; // true time, seconds away
    int m_outages = 0;
    int m_mailDownDays = 0;
    int m_mailSlowDays = 0;
    int m_clockSets = 0;

    QList<SetSeen> m_sets; // since the last trading day ended
    struct SetCheck
    {
        qint64 due = 0;
        qint64 held = 0;
        int missed = 0;
        int doubled = 0;
        int offSchedule = 0;
        int outside = 0;
    } m_setCheck;
    struct AlertCheck
    {
        int mailed = 0;
        int failed = 0;
        int missing = 0;
        int twice = 0;
    } m_alertCheck;
    std::map<std::pair<int, int>, AlertCount> m_alerts; // (day, stock), until the day is checked
    QList<int> m_pendingAlert; // the stocks of the last alert message, until its mail line
    int m_pendingDay = -1;
    int m_mailsSent = 0;
    int m_mailsFailed = 0;
    std::array<int, kStocks> m_mailedLines {};
    int m_hangs = 0;
    int m_errors = 0;
    int m_garbage = 0;
    qint64 m_quoteAnswers = 0;

    QList<qint64> m_logSizes; // activlog.dat at the end of each trading day
    Resources m_firstWeek;
    Resources m_end;
};

bool Soak::planDays(QString* error)
{
    const int middle = (m_plan.startHour + m_plan.stopHour) * 30;
    QDate local = m_plan.firstSession.addDays(-2);
    const bool wholeYear = m_plan.tradingDays == 0;
    while (wholeYear || m_days.size() < m_plan.tradingDays) {
        Day day;
        day.local = local;
        day.session
            = QDateTime(local, QTime(middle / 60, middle % 60), m_plan.zone).toTimeZone(kExchangeZone).date();
        local = local.addDays(1);
        if (wholeYear && day.session.year() > m_plan.firstSession.year())
            break;
        if (day.session < m_plan.firstSession || day.session.dayOfWeek() > 5
            || closedSessions().count(day.session))
            continue;
        if (day.session >= kListsEnd) {
            *error = u"the soak knows the exchange calendar only up to "_qs + kListsEnd.toString(Qt::ISODate);
            return false;
        }
        day.startMinute = m_plan.startHour * 60;
        day.stopMinute = m_plan.stopHour * 60;
        if (kEarlyCloses.count(day.session)) {
            const QDateTime close
                = QDateTime(day.session, QTime(13, 0), kExchangeZone).toTimeZone(m_plan.zone);
            const int closeMinute = close.time().hour() * 60 + close.time().minute();
            if (close.date() == day.local && closeMinute < day.stopMinute) {
                day.stopMinute = closeMinute;
                day.earlyClose = true;
            }
        }
        m_dayOfLocal[day.local] = static_cast<int>(m_days.size());
        m_days.append(day);
    }
    if (m_days.isEmpty())
        *error = u"the plan holds no trading day"_qs;
    return !m_days.isEmpty();
}

// A moment `minute` minutes into the computer's day `local`, plus `seconds`.
QDateTime at(const QDate& local, int minute, int seconds, const QTimeZone& zone)
{
    return QDateTime(local, QTime(minute / 60, minute % 60, seconds), zone);
}

void Soak::planFaults()
{
    std::map<int, QList<int>> weeks; // by the week of the local date
    std::map<int, QList<int>> months;
    for (int i = 0; i < m_days.size(); ++i) {
        int year = 0;
        const int week = m_days[i].local.weekNumber(&year);
        weeks[year * 100 + week].append(i);
        months[m_days[i].local.year() * 100 + m_days[i].local.month()].append(i);
        m_events.append({at(m_days[i].local, 23 * 60, 0, m_plan.zone), Fault::DayEnd, i});
    }
    const auto length = [this](int day) { return m_days[day].stopMinute - m_days[day].startMinute; };
    const auto pick
        = [this](const QList<int>& days) { return days[m_random.bounded(static_cast<int>(days.size()))]; };
    bool inMail = false;
    for (const auto& [week, days] : weeks) {
        // The program is away in the first third of its day, the quote server in the second: a
        // restart never meets an outage (its connection check would find no server).
        const int restartDay = pick(days);
        const int restartMinute
            = m_days[restartDay].startMinute + 5 + m_random.bounded(length(restartDay) / 3 - 5);
        m_events.append({at(m_days[restartDay].local, restartMinute, 30, m_plan.zone),
            inMail ? Fault::RestartInMail : Fault::RestartInQuotes, restartDay, 1 + m_random.bounded(kStocks),
            5 + m_random.bounded(50)});
        inMail = !inMail;
        const int outageDay = pick(days);
        const int outageMinute = m_days[outageDay].startMinute + length(outageDay) / 3
            + m_random.bounded(length(outageDay) / 3 - 10);
        m_events.append(
            {at(m_days[outageDay].local, outageMinute, 15, m_plan.zone), Fault::QuotesAway, outageDay});
        m_events.append(
            {at(m_days[outageDay].local, outageMinute + 10, 15, m_plan.zone), Fault::QuotesBack, outageDay});
    }
    for (const auto& [month, days] : months) {
        QList<int> left = days;
        const auto take = [&](const std::function<bool(int)>& fits) {
            QList<int> choice;
            std::copy_if(left.begin(), left.end(), std::back_inserter(choice), fits);
            if (choice.isEmpty())
                return -1;
            const int day = pick(choice);
            left.removeOne(day);
            return day;
        };
        const auto wholeDay = [&](int day, Fault begin, Fault end) {
            if (day < 0)
                return;
            m_events.append({at(m_days[day].local, 0, 30, m_plan.zone), begin, day});
            m_events.append({at(m_days[day].local, 22 * 60, 0, m_plan.zone), end, day});
        };
        wholeDay(take([](int) { return true; }), Fault::MailDown, Fault::MailUp);
        wholeDay(take([](int) { return true; }), Fault::MailSlow, Fault::MailFast);
        const int jumpDay = take([this](int day) { return !m_days[day].earlyClose; });
        if (jumpDay >= 0) {
            // Forward a fifth into the day, back (an hour and) a third of the day later: the clock
            // never leaves the day's hours.
            const int forward = m_days[jumpDay].startMinute + length(jumpDay) / 5 + m_random.bounded(10);
            const int back = forward + std::max(61, length(jumpDay) / 3);
            m_events.append(
                {at(m_days[jumpDay].local, forward, 45, m_plan.zone), Fault::ClockForward, jumpDay});
            m_events.append({at(m_days[jumpDay].local, back, 45, m_plan.zone), Fault::ClockBack, jumpDay});
        }
    }
    std::stable_sort(
        m_events.begin(), m_events.end(), [](const Event& a, const Event& b) { return a.at < b.at; });
}

void Soak::writeSettings()
{
    for (int i = 0; i < kStocks; ++i) {
        AlertSettings s;
        s.watch = Watch::On;
        s.symbol = QStringLiteral("S%1").arg(i + 1, 2, 10, QLatin1Char('0'));
        s.highestHighDays = s.lowestLowDays = 20;
        s.averagePeriods = kDefaultAveragePeriods;
        s.on(AlertKind::PriceAbove) = true;
        s.priceAbove = kLevel;
        (void)writeAlertSettings(StockIndex(i), s);
    }
    TimeSettings time;
    time.startHour = time.quoteStartHour = m_plan.startHour;
    time.stopHour = m_plan.stopHour;
    time.quoteInterval = kSetSeconds / 60;
    (void)writeTimeSettings(time);
    MailSettings mail;
    mail.server = m_smtp.server();
    mail.mailFrom = u"tradevane@example.com"_qs;
    mail.sendTo = u"trader@example.com"_qs;
    mail.subject = u"Stock alerts"_qs;
    (void)writeMailSettings(mail);
    CalendarSettings calendar;
    calendar.skipHolidays = true;
    (void)writeCalendarSettings(calendar);
    (void)writeTermsAccepted();
    QFile servers(serverSettingsPath());
    if (servers.open(QIODevice::WriteOnly))
        servers.write(u"[servers]\nQuoteServer=%1\nHistoryServer=%1\n"_qs.arg(m_http.baseUrl()).toLatin1());
}

void Soak::buildProgram()
{
    m_services = std::make_unique<AppServices>();
    (void)loadSettingsFiles(*m_services);
    m_services->fetcher.setTimeouts(2000, m_plan.stalledQuoteMs);
    m_services->smtp.setTimeouts(2000, 10'000);
    QObject::connect(&m_services->log, &ActivityLog::appended, &m_context,
        [this](const QString& record) { onLogRecord(record); });
    MonitoringSession& engine = m_services->engine;
    QObject::connect(&engine, &MonitoringSession::quoteSetFinished, &m_context, [this] { onSetFinished(); });
    QObject::connect(&engine, &MonitoringSession::statusChanged, &m_context, [this](const QString& status) {
        if (m_restartInMail && status == u"Sending Email"_qs) {
            m_restartInMail = false;
            QMetaObject::invokeMethod(
                &m_context, [this, down = m_restartDown] { restart(down); }, Qt::QueuedConnection);
        }
    });
}

void Soak::restart(int downSeconds)
{
    // As SIGTERM does: the stop lines, a mail in flight cut off and logged as failed. Then nothing
    // of the program is left but its files.
    m_services->engine.stop();
    m_services.reset();
    m_restarts.append({trueNow(), downSeconds});
    m_clock->advance(downSeconds * 1000LL);
    buildProgram();
    m_services->engine.start();
}

LoopbackHttpServer::Answer Soak::answer(const LoopbackHttpServer::Request& request)
{
    const QUrlQuery query(request.target.section(u'?', 1));
    if (request.target.startsWith(u"/table.csv"_qs)) {
        const QDate today(query.queryItemValue(u"f"_qs).toInt(), query.queryItemValue(u"d"_qs).toInt(),
            query.queryItemValue(u"e"_qs).toInt());
        return {.body = makeHistory(today, 252, 10)};
    }
    const QString symbol = query.queryItemValue(u"symbols"_qs).toUpper();
    const int stock = symbol.mid(1).toInt();
    if (!symbol.startsWith(u'S') || stock < 1 || stock > kStocks)
        return {.status = 404, .body = "no such page"};
    if (stock == m_restartAfterStock) {
        m_restartAfterStock = 0;
        QMetaObject::invokeMethod(
            &m_context, [this, down = m_restartDown] { restart(down); }, Qt::QueuedConnection);
    }
    return quoteAnswer(stock);
}

LoopbackHttpServer::Answer Soak::quoteAnswer(int stock)
{
    using Mode = LoopbackHttpServer::Answer::Mode;
    ++m_quoteAnswers;
    const quint32 draw = m_faultRandom.bounded(300U);
    if (draw == 0) {
        ++m_hangs;
        return {.mode = Mode::Hang};
    }
    if (draw == 1) {
        ++m_errors;
        return {.status = 500, .body = "internal error"};
    }
    if (draw == 2) {
        ++m_garbage;
        return {.body = "<html><body>\x01\x7f garbage, not a quote</body></html>\r\n"};
    }
    // Each stock crosses its level once a day, at a minute drawn from the day and the stock, within
    // the first half of the shortest day, and stays above it.
    const QDateTime now = trueNow();
    const int day = dayIndexOf(now.date());
    const int minute = now.time().hour() * 60 + now.time().minute();
    const quint64 mix = QRandomGenerator(m_plan.seed + static_cast<quint32>(day * 16 + stock)).generate64();
    const int halfDay
        = std::max(10, (m_days[std::max(day, 0)].stopMinute - m_days[std::max(day, 0)].startMinute) / 2);
    const bool above = day >= 0
        && minute >= m_days[day].startMinute + 5 + static_cast<int>(mix % static_cast<quint64>(halfDay - 5));
    const QString symbol = QStringLiteral("S%1").arg(stock, 2, 10, QLatin1Char('0'));
    return {.body = above ? makeQuote(symbol, kLevel + 0.5, 10.9, kLevel + 0.6, 10.8, 5000)
                          : makeQuote(symbol, kLevel - 1.0, 10.9, kLevel - 0.9, 10.8, 4000)};
}

int Soak::dayIndexOf(const QDate& local) const
{
    const auto found = m_dayOfLocal.find(local);
    return found == m_dayOfLocal.end() ? -1 : found->second;
}

void Soak::onLogRecord(const QString& record)
{
    static const QRegularExpression alertLine(
        u"^S(\\d\\d) *: Price climbed above \\$12\\.00"_qs, QRegularExpression::MultilineOption);
    if (record.contains(u"SUBJECT: STOCK ALERTS"_qs)) {
        m_pendingAlert.clear();
        m_pendingDay = dayIndexOf(m_clock->now().date());
        for (auto it = alertLine.globalMatch(record); it.hasNext();) {
            const int stock = it.next().captured(1).toInt();
            m_pendingAlert.append(stock);
            ++m_alerts[{m_pendingDay, stock}].logged;
        }
        return;
    }
    const bool sent = record.contains(LogText::kEmailSent);
    const qsizetype failedAt = record.indexOf(LogText::kEmailFailed);
    if (!sent && failedAt < 0)
        return;
    const bool withReason
        = failedAt >= 0 && !record.mid(failedAt + LogText::kEmailFailed.size()).trimmed().isEmpty();
    (sent ? m_mailsSent : m_mailsFailed) += 1;
    for (const int stock : std::as_const(m_pendingAlert)) {
        AlertCount& count = m_alerts[{m_pendingDay, stock}];
        if (sent) {
            ++count.mailed;
            ++m_mailedLines[stock - 1];
        } else if (withReason) {
            ++count.failed;
        }
    }
    m_pendingAlert.clear();
}

void Soak::onSetFinished()
{
    m_sets.append({trueNow(), m_clock->now()});
}

Resources Soak::sample() const
{
    return {residentBytes(), openDescriptors(), m_clock->alarmsWaiting()};
}

void Soak::fire(const Event& event)
{
    switch (event.fault) {
    case Fault::QuotesAway:
        ++m_outages;
        m_http.suspend();
        break;
    case Fault::QuotesBack:
        m_http.resume();
        break;
    case Fault::MailDown:
        ++m_mailDownDays;
        m_smtp.stop();
        break;
    case Fault::MailUp: {
        QString error;
        m_smtp.restart(&error);
        break;
    }
    case Fault::MailSlow:
        ++m_mailSlowDays;
        m_smtp.setDelay(m_plan.slowMailMs);
        break;
    case Fault::MailFast:
        m_smtp.setDelay(0);
        break;
    case Fault::ClockForward:
    case Fault::ClockBack: {
        ++m_clockSets;
        const int hour = event.fault == Fault::ClockForward ? 3600 : -3600;
        m_days[event.day].clockSets += event.fault == Fault::ClockForward ? -1 : 1;
        m_offsetSeconds += hour;
        m_clock->set(m_clock->now().addSecs(hour));
        break;
    }
    case Fault::RestartInQuotes:
        m_restartAfterStock = event.detail;
        m_restartDown = event.downSeconds;
        break;
    case Fault::RestartInMail:
        m_restartInMail = true;
        m_restartDown = event.downSeconds;
        break;
    case Fault::DayEnd:
        checkDay(event.day);
        m_logSizes.append(QFileInfo(logFilePath()).size());
        if (event.day == std::min(4, static_cast<int>(m_days.size()) - 1))
            m_firstWeek = sample();
        if (event.day == m_days.size() - 1) {
            m_end = sample();
            m_finished = true;
        }
        break;
    }
}

void Soak::armNext()
{
    if (m_nextEvent >= m_events.size())
        return;
    m_alarm = m_clock->alarm(
        [this](const QDateTime&) { return m_events[m_nextEvent].at.addSecs(m_offsetSeconds); },
        [this] {
            const Event event = m_events[m_nextEvent++];
            fire(event);
            armNext();
        });
}

SoakResult Soak::run()
{
    SoakResult result;
    if (!m_folder.isValid() || !planDays(&result.error))
        return result.error.isEmpty() ? SoakResult {u"no temporary folder"_qs, {}} : result;
    if (!m_http.start())
        return {u"the quote server did not start"_qs, {}};
    if (!m_smtp.start(&result.error))
        return result;
    m_http.setResponder([this](const LoopbackHttpServer::Request& request) { return answer(request); });
    setProgramFolder(m_folder.path());
    writeSettings();
    planFaults();

    // The program starts at midnight before the first trading day.
    m_clock = std::make_unique<SimulatedClock>(
        QDateTime(m_days.front().local, QTime(0, 0), m_plan.zone), m_plan.zone);
    m_clock->busy = [this] { return m_services && m_services->hub.transfersRunning() > 0; };
    Clock::install(m_clock.get());
    buildProgram();
    m_services->engine.start();
    armNext();
    m_clock->runUntil([this] { return m_finished; }, {});
    m_alarm.reset();
    m_services->engine.shutdown();
    m_services.reset();
    Clock::install(nullptr);
    setProgramFolder({});
    m_http.stop();
    result = report();
    m_smtp.stop();
    return result;
}

SoakResult Soak::report()
{
    SoakResult result;
    const int early = static_cast<int>(
        std::count_if(m_days.begin(), m_days.end(), [](const Day& d) { return d.earlyClose; }));
    result.rows.append({u"trading days"_qs,
        QStringLiteral("%1 (sessions %2 .. %3), the computer in %4, %5 early close(s)")
            .arg(m_days.size())
            .arg(m_days.front().session.toString(Qt::ISODate), m_days.back().session.toString(Qt::ISODate),
                QString::fromLatin1(m_plan.zone.id()))
            .arg(early)});
    result.rows.append({u"faults injected"_qs,
        QStringLiteral("%1 restarts, %2 quote outages, mail down %3 and slow %4 days, %5 clock sets")
            .arg(m_restarts.size())
            .arg(m_outages)
            .arg(m_mailDownDays)
            .arg(m_mailSlowDays)
            .arg(m_clockSets)});
    result.rows.append({u"quote answers failed"_qs,
        QStringLiteral("%1 hung, %2 answered 500, %3 garbage, of %4")
            .arg(number(m_hangs), number(m_errors), number(m_garbage), number(m_quoteAnswers))});
    reportSets(result);
    reportAlerts(result);
    reportResources(result);
    return result;
}

void Soak::checkDay(int index)
{
    // The sets since the last trading day ended: those of this day, and any outside trading time.
    const Day& day = m_days[index];
    QList<SetSeen> sets;
    for (const SetSeen& set : std::as_const(m_sets)) {
        const int minute = set.clock.time().hour() * 60 + set.clock.time().minute();
        if (set.clock.date() != day.local || minute < day.startMinute || minute > day.stopMinute + 60)
            ++m_setCheck.outside;
        else
            sets.append(set);
    }
    m_setCheck.held += m_sets.size();
    m_sets.clear();
    // The first set of the day follows the history at once only on the run's first day; on later
    // days it waits an interval.
    const int first = day.startMinute + (index == 0 ? 0 : kSetSeconds / 60);
    const int expected = day.stopMinute - first + 1 + 60 * day.clockSets;
    m_setCheck.due += expected;
    m_setCheck.missed += std::max(0, expected - static_cast<int>(sets.size()));
    m_setCheck.doubled += std::max(0, static_cast<int>(sets.size()) - expected);
    if (!sets.isEmpty() && sets.front().clock != at(day.local, first, 0, m_plan.zone))
        ++m_setCheck.offSchedule;
    // Then one a minute, a restart's time away added.
    for (qsizetype k = 1; k < sets.size(); ++k) {
        qint64 allowed = kSetSeconds;
        for (const auto& [when, down] : std::as_const(m_restarts)) {
            if (when >= sets[k - 1].trueTime && when < sets[k].trueTime)
                allowed += down;
        }
        if (sets[k - 1].trueTime.secsTo(sets[k].trueTime) != allowed)
            ++m_setCheck.offSchedule;
    }

    for (int stock = 1; stock <= kStocks; ++stock) {
        const auto found = m_alerts.find({index, stock});
        const AlertCount count = found == m_alerts.end() ? AlertCount {} : found->second;
        if (found != m_alerts.end())
            m_alerts.erase(found);
        m_alertCheck.mailed += count.mailed;
        m_alertCheck.failed += count.failed;
        m_alertCheck.missing += count.mailed + count.failed == 0 ? 1 : 0;
        m_alertCheck.twice += count.logged > 1 ? 1 : 0;
    }
}

void Soak::reportSets(SoakResult& result) const
{
    const SetCheck& c = m_setCheck;
    result.rows.append(
        {u"quote sets due / held"_qs, number(c.due) + u" / "_qs + number(c.held), c.due == c.held});
    result.rows.append({u"quote sets missed / doubled"_qs,
        QStringLiteral("%1 / %2").arg(c.missed).arg(c.doubled), c.missed == 0 && c.doubled == 0});
    result.rows.append({u"sets off the minute / outside trading time"_qs,
        QStringLiteral("%1 / %2").arg(c.offSchedule).arg(c.outside + m_sets.size()),
        c.offSchedule == 0 && c.outside + m_sets.size() == 0});
}

void Soak::reportAlerts(SoakResult& result) const
{
    const int due = static_cast<int>(m_days.size()) * kStocks;
    const int mailed = m_alertCheck.mailed;
    const int failed = m_alertCheck.failed;
    const int missing = m_alertCheck.missing;
    const int twice = m_alertCheck.twice;
    int strays = 0; // alerts on a day that is not a trading day
    for (const auto& [key, count] : m_alerts)
        strays += count.logged;
    result.rows.append({u"alerts due (stock-days)"_qs, number(due)});
    result.rows.append({u"alerts mailed once / failed with reason"_qs,
        QStringLiteral("%1 / %2").arg(number(mailed), number(failed)), mailed + failed == due});
    result.rows.append({u"alerts lost / reported twice in a day"_qs,
        QStringLiteral("%1 / %2 (%3 restarts)").arg(missing).arg(twice + strays).arg(m_restarts.size()),
        missing == 0 && twice == 0 && strays == 0});

    // What the mail server holds agrees with the log: every mail logged as sent arrived.
    std::array<int, kStocks> received {};
    const QList<ReceivedMail> mails = m_smtp.received();
    static const QRegularExpression line(
        u"^S(\\d\\d) *: Price climbed above"_qs, QRegularExpression::MultilineOption);
    for (const ReceivedMail& mail : mails) {
        for (auto it = line.globalMatch(QString::fromLatin1(mail.body())); it.hasNext();)
            ++received[static_cast<std::size_t>(it.next().captured(1).toInt() - 1)];
    }
    result.rows.append({u"mails received / logged sent / logged failed"_qs,
        QStringLiteral("%1 / %2 / %3").arg(mails.size()).arg(m_mailsSent).arg(m_mailsFailed),
        mails.size() == m_mailsSent && received == m_mailedLines});
}

void Soak::reportResources(SoakResult& result) const
{
    // Margins: the allocator keeps some of what it was given back; a descriptor or two may be a
    // connection the transfer library keeps for the next request.
    const qint64 memoryMargin = std::max<qint64>(4 << 20, m_firstWeek.residentBytes / 10);
    result.rows.append({u"resident memory, week 1 -> end"_qs,
        mib(m_firstWeek.residentBytes) + u" -> "_qs + mib(m_end.residentBytes) + u" (margin "_qs
            + mib(memoryMargin) + u')',
        m_end.residentBytes <= m_firstWeek.residentBytes + memoryMargin});
    result.rows.append({u"open descriptors, week 1 -> end"_qs,
        QStringLiteral("%1 -> %2").arg(m_firstWeek.descriptors).arg(m_end.descriptors),
        m_end.descriptors <= m_firstWeek.descriptors + 2});
    result.rows.append({u"timers waiting, week 1 -> end"_qs,
        QStringLiteral("%1 -> %2").arg(m_firstWeek.timers).arg(m_end.timers),
        m_end.timers <= m_firstWeek.timers});
    QList<qint64> growth;
    for (qsizetype i = 0; i < m_logSizes.size(); ++i)
        growth.append(m_logSizes[i] - (i > 0 ? m_logSizes[i - 1] : 0));
    const qint64 total = m_logSizes.isEmpty() ? 0 : m_logSizes.back();
    const qint64 largest = growth.isEmpty() ? 0 : *std::max_element(growth.begin(), growth.end());
    result.rows.append({u"activity log growth per trading day"_qs,
        QStringLiteral("%1 KiB on average, %2 KiB at most; %3 in all")
            .arg(growth.isEmpty() ? 0 : total / growth.size() / 1024)
            .arg(largest / 1024)
            .arg(mib(total))});
}

} // namespace

bool SoakResult::ok() const
{
    return error.isEmpty()
        && std::all_of(rows.begin(), rows.end(), [](const SoakRow& row) { return row.ok; });
}

QString SoakResult::table() const
{
    if (!error.isEmpty())
        return u"the soak did not run: "_qs + error + u'\n';
    qsizetype width = 0;
    for (const SoakRow& row : rows)
        width = std::max(width, row.check.size());
    QString text;
    for (const SoakRow& row : rows)
        text += row.check.leftJustified(width + 2) + (row.ok ? u"  "_qs : u"! "_qs) + row.result + u'\n';
    return text;
}

SoakResult runSoak(const SoakPlan& plan)
{
    Soak soak(plan);
    return soak.run();
}
