#include "engine/marketdata/sources/NasdaqSource.h"

#include "engine/marketdata/sources/SourceFormats.h"
#include "platform/UpstreamFetch.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <regex>

namespace tradevane::market {

namespace {

QJsonObject dataOf(const std::string& body)
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(body)).object().value(u"data").toObject();
}

std::string textOf(const QJsonValue& value)
{
    if (value.isString())
        return value.toString().trimmed().toStdString();
    if (value.isDouble())
        return QString::number(value.toDouble(), 'f', 2).toStdString();
    return {};
}

// A label/value pair of the key statistics: {"label":"Open","value":"$10.37"}.
std::string statValue(const QJsonObject& stats, const char* key)
{
    return textOf(stats.value(QLatin1String(key)).toObject().value(u"value"));
}

// A positive price that the answers can show: smaller ones would go out as "0.0000".
bool isPrice(const std::optional<double>& value)
{
    return value && *value >= 0.0001;
}

// "$1,234.50" -> "1234.50"; "" when the text is not a price.
std::string priceText(const std::string& text)
{
    const auto value = priceValue(text);
    return isPrice(value) ? formatPrice(*value) : std::string();
}

// The two prices of a range text, "188.00 - 190.32" or "$267.43/$264.23", as high and low. A
// number is a digit, then digits and commas, then perhaps a point and digits. (Scanned by hand:
// std::regex recurses once per character of a match, and a long run of digits from upstream
// would overflow the stack.)
bool splitRange(const std::string& text, std::string& high, std::string& low)
{
    const auto digit = [&](std::size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
    std::vector<double> values;
    for (std::size_t i = 0; i < text.size() && values.size() <= 2;) {
        if (!digit(i)) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (digit(i) || (i < text.size() && text[i] == ','))
            ++i;
        if (i < text.size() && text[i] == '.' && digit(i + 1)) {
            ++i;
            while (digit(i))
                ++i;
        }
        if (const auto v = priceValue(text.substr(start, i - start)))
            values.push_back(*v);
    }
    if (values.size() != 2 || !isPrice(values[0]) || !isPrice(values[1]))
        return false;
    high = formatPrice(std::max(values[0], values[1]));
    low = formatPrice(std::min(values[0], values[1]));
    return true;
}

std::string volumeText(const std::string& text)
{
    const auto v = volumeValue(text);
    return v ? std::to_string(*v) : std::string();
}

std::string changeText(const std::string& text)
{
    if (text == "UNCH")
        return "0.00";
    const auto v = priceValue(text);
    return v ? formatChange(*v) : std::string();
}

std::string urlEncode(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            char buffer[4];
            std::snprintf(buffer, sizeof buffer, "%%%02X", c);
            out += buffer;
        }
    }
    return out;
}

} // namespace

// --- reading upstream answers ------------------------------------------------------------------

std::string upstreamProblem(const std::string& body)
{
    if (body.empty())
        return "upstream sent an empty answer";
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(body), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        const std::string head = toUpper(body.substr(0, 512));
        if (head.find("<HTML") != std::string::npos || head.find("<!DOCTYPE") != std::string::npos)
            return "upstream sent an HTML page instead of data (blocked or a challenge page)";
        return "upstream sent something that is not JSON";
    }
    const QJsonObject root = document.object();
    if (root.value(u"data").isObject())
        return {};
    // {"data":null,"status":{"rCode":400,"bCodeMessage":[{"code":1001,"errorMessage":"Symbol not exists."}]}}
    const QJsonObject status = root.value(u"status").toObject();
    std::string why;
    for (const QJsonValue& message : status.value(u"bCodeMessage").toArray()) {
        const std::string text = textOf(message.toObject().value(u"errorMessage"));
        if (!text.empty())
            why += (why.empty() ? "" : "; ") + text;
    }
    if (why.empty())
        why = textOf(root.value(u"message"));
    if (why.empty())
        why = "no data (status " + std::to_string(status.value(u"rCode").toInt()) + ")";
    return "upstream: " + why;
}

bool isUnknownSymbolReason(const std::string& reason)
{
    return toUpper(reason).find("NOT EXIST") != std::string::npos;
}

Answer<UpstreamQuote> readUpstreamInfo(const std::string& body)
{
    if (const std::string problem = upstreamProblem(body); !problem.empty())
        return Answer<UpstreamQuote>::failure(problem);
    const QJsonObject data = dataOf(body);
    const QJsonObject primary = data.value(u"primaryData").toObject();
    const QJsonObject stats = data.value(u"keyStats").toObject();
    UpstreamQuote q;
    q.symbol = toUpper(textOf(data.value(u"symbol")));
    q.last = priceText(textOf(primary.value(u"lastSalePrice")));
    if (q.last.empty())
        return Answer<UpstreamQuote>::failure("upstream quote has no last sale price");
    q.change = changeText(textOf(primary.value(u"netChange")));
    q.timestamp = textOf(primary.value(u"lastTradeTimestamp"));
    q.volume = volumeText(textOf(primary.value(u"volume")));
    if (q.volume.empty())
        q.volume = volumeText(statValue(stats, "Volume"));
    q.open = priceText(statValue(stats, "OpenPrice"));
    splitRange(statValue(stats, "dayrange"), q.high, q.low);
    return Answer<UpstreamQuote>::success(q);
}

void addUpstreamSummary(UpstreamQuote& quote, const std::string& body)
{
    if (!upstreamProblem(body).empty())
        return;
    const QJsonObject summary = dataOf(body).value(u"summaryData").toObject();
    if (quote.high.empty() || quote.low.empty())
        splitRange(statValue(summary, "TodayHighLow"), quote.high, quote.low);
    if (quote.volume.empty())
        quote.volume = volumeText(statValue(summary, "ShareVolume"));
    if (quote.open.empty())
        quote.open = priceText(statValue(summary, "OpenPrice"));
}

Answer<std::vector<MarketBar>> readUpstreamHistory(const std::string& body)
{
    using Result = Answer<std::vector<MarketBar>>;
    if (const std::string problem = upstreamProblem(body); !problem.empty())
        return Result::failure(problem);
    const QJsonArray rows = dataOf(body).value(u"tradesTable").toObject().value(u"rows").toArray();
    std::vector<MarketBar> bars;
    int skipped = 0;
    for (const QJsonValue& value : rows) {
        const QJsonObject row = value.toObject();
        MarketBar bar;
        bar.date = QDate::fromString(row.value(u"date").toString(), u"MM/dd/yyyy");
        const auto open = priceValue(textOf(row.value(u"open"))),
                   high = priceValue(textOf(row.value(u"high"))), low = priceValue(textOf(row.value(u"low"))),
                   close = priceValue(textOf(row.value(u"close")));
        if (!bar.date.isValid() || !isPrice(close)) {
            ++skipped;
            continue;
        }
        // Funds and indices sometimes lack the day's range: the close stands in.
        bar.close = *close;
        bar.open = isPrice(open) ? *open : *close;
        bar.high = std::max({isPrice(high) ? *high : *close, bar.open, bar.close});
        bar.low = std::min({isPrice(low) ? *low : *close, bar.open, bar.close});
        bar.volume = volumeValue(textOf(row.value(u"volume"))).value_or(0);
        bars.push_back(bar);
    }
    if (bars.empty())
        return Result::failure(
            rows.isEmpty() ? "upstream history has no rows" : "upstream history rows hold no prices");
    std::stable_sort(
        bars.begin(), bars.end(), [](const MarketBar& a, const MarketBar& b) { return a.date > b.date; });
    return Result::success(
        std::move(bars), skipped ? std::to_string(skipped) + " upstream rows skipped" : "");
}

QuoteFields toQuoteFields(const UpstreamQuote& q, const QDateTime& now)
{
    QDate date = now.date();
    QTime time = now.time();
    // "Nov 3, 2023 4:00 PM ET", "DATA AS OF Jul 28, 2020", "CLOSED AT 4:00 PM ET ON Nov 18, 2019"
    static const std::regex kDatePattern(R"(([A-Z][a-z]{2}) (\d{1,2}), (\d{4}))");
    static const std::regex kTimePattern(R"((\d{1,2}):(\d{2}) ?([AP]M))");
    std::smatch m;
    if (std::regex_search(q.timestamp, m, kDatePattern)) {
        const QDate d = QDate::fromString(
            QString::fromStdString(m[1].str() + " " + m[2].str() + " " + m[3].str()), u"MMM d yyyy");
        if (d.isValid()) {
            date = d;
            time = QTime(16, 0); // a date alone is the close of that day
        }
    }
    if (std::regex_search(q.timestamp, m, kTimePattern)) {
        const int hour = std::stoi(m[1].str()) % 12 + (m[3].str() == "PM" ? 12 : 0);
        const QTime t(hour, std::stoi(m[2].str()));
        if (t.isValid())
            time = t;
    }
    const auto orNA = [](const std::string& text) { return text.empty() ? std::string("N/A") : text; };
    return {q.symbol, q.last, formatQuoteDate(date), formatQuoteTime(time), orNA(q.change), orNA(q.open),
        orNA(q.high), orNA(q.low), orNA(q.volume)};
}

// --- the source --------------------------------------------------------------------------------

NasdaqSource::NasdaqSource(NasdaqOptions options)
    : m_options(std::move(options))
{
    while (!m_options.upstream.empty() && m_options.upstream.back() == '/')
        m_options.upstream.pop_back();
}

void NasdaqSource::abandon()
{
    {
        std::lock_guard lock(m_abandonMutex);
        m_abandoned = true;
    }
    m_abandonWake.notify_all();
}

int NasdaqSource::upstreamRequests() const
{
    std::lock_guard lock(m_cacheMutex);
    return m_requests;
}

Answer<std::string> NasdaqSource::fetch(const std::string& url)
{
    using namespace std::chrono;
    if (steady_clock::now() < m_refusedUntil) {
        const auto left = duration_cast<seconds>(m_refusedUntil - steady_clock::now()).count() + 1;
        return Answer<std::string>::failure(
            "upstream refused us recently; asking again in " + std::to_string(left) + " s");
    }
    // Polite spacing between requests, however fast the program asks.
    {
        std::unique_lock lock(m_abandonMutex);
        m_abandonWake.wait_until(lock, m_nextRequest, [this] { return m_abandoned.load(); });
    }
    if (m_abandoned)
        return Answer<std::string>::failure("abandoned: the program no longer wants the answer");
    {
        std::lock_guard lock(m_cacheMutex);
        ++m_requests;
    }
    const UpstreamReply reply = fetchUpstream(url, m_options.timeoutMs, &m_abandoned);
    m_nextRequest = steady_clock::now() + milliseconds(m_options.spacingMs);
    const bool challenge
        = reply.transferred && upstreamProblem(reply.body).find("HTML page") != std::string::npos;
    if (reply.transferred && (reply.status == 403 || reply.status == 429 || challenge))
        m_refusedUntil = steady_clock::now() + milliseconds(m_options.pauseAfterRefusalMs);
    if (!reply.transferred || reply.status != 200) {
        std::string why = "upstream " + describeTransfer(reply);
        if (reply.transferred && challenge)
            why += ", an HTML page (blocked or a challenge page)";
        return Answer<std::string>::failure(why);
    }
    return Answer<std::string>::success(reply.body);
}

Answer<std::string> NasdaqSource::askUpstream(
    const std::string& symbol, const std::string& what, const std::string& extra)
{
    std::string assetClass;
    {
        std::lock_guard lock(m_cacheMutex);
        auto it = m_assetClass.find(symbol);
        assetClass = it == m_assetClass.end() ? "stocks" : it->second;
    }
    const auto url = [&](const std::string& cls) {
        return m_options.upstream + "/api/quote/" + urlEncode(symbol) + "/" + what + "?assetclass=" + cls
            + extra;
    };
    Answer<std::string> answer = fetch(url(assetClass));
    if (answer.ok) {
        const std::string problem = upstreamProblem(answer.data);
        if (isUnknownSymbolReason(problem) && assetClass == "stocks") {
            // Funds (SPY, QQQ) are not stocks upstream.
            Answer<std::string> fund = fetch(url("etf"));
            if (fund.ok && upstreamProblem(fund.data).empty()) {
                std::lock_guard lock(m_cacheMutex);
                m_assetClass[symbol] = "etf";
                return fund;
            }
        }
    }
    return answer;
}

std::optional<Answer<QuoteFields>> NasdaqSource::cachedQuote(const std::string& symbol, const QDateTime& now)
{
    std::lock_guard lock(m_cacheMutex);
    auto it = m_quotes.find(symbol);
    if (it == m_quotes.end())
        return std::nullopt;
    const qint64 age = it->second.fetched.secsTo(now);
    if (age < 0 || age >= m_options.quoteSeconds)
        return std::nullopt;
    Answer<QuoteFields> answer = it->second.answer;
    answer.note = "cached " + std::to_string(age) + " s";
    return answer;
}

Answer<QuoteFields> NasdaqSource::quote(const std::string& symbol, const QDateTime& now)
{
    if (auto cached = cachedQuote(symbol, now))
        return *cached;
    std::lock_guard upstream(m_upstreamMutex);
    if (auto cached = cachedQuote(symbol, now)) // another request fetched it meanwhile
        return *cached;

    Answer<QuoteFields> answer;
    const Answer<std::string> info = askUpstream(symbol, "info", "");
    Answer<UpstreamQuote> read
        = info.ok ? readUpstreamInfo(info.data) : Answer<UpstreamQuote>::failure(info.reason);
    if (read.ok) {
        UpstreamQuote& q = read.data;
        if (q.symbol.empty())
            q.symbol = symbol;
        if (q.high.empty() || q.low.empty() || q.volume.empty() || q.open.empty()) {
            const Answer<std::string> summary = askUpstream(symbol, "summary", "");
            if (summary.ok)
                addUpstreamSummary(q, summary.data);
        }
        answer = Answer<QuoteFields>::success(toQuoteFields(q, now), "from upstream");
    } else {
        answer = Answer<QuoteFields>::failure(read.reason);
    }
    std::lock_guard lock(m_cacheMutex);
    if (m_quotes.size() > 500)
        m_quotes.clear();
    m_quotes[symbol] = {now, answer};
    return answer;
}

std::optional<Answer<std::vector<MarketBar>>> NasdaqSource::cachedHistory(
    const std::string& symbol, QDate from, QDate to, const QDateTime& now)
{
    std::lock_guard lock(m_cacheMutex);
    auto it = m_histories.find(symbol);
    if (it == m_histories.end())
        return std::nullopt;
    const CachedHistory& c = it->second;
    if (!c.answer.ok) {
        const qint64 age = c.fetched.secsTo(now);
        if (age >= 0 && age < m_options.failureSeconds)
            return Answer<std::vector<MarketBar>>::failure(
                c.answer.reason + " (cached " + std::to_string(age) + " s)");
        return std::nullopt;
    }
    // A symbol's history is fetched once a day; any range inside the fetched one is served from it.
    if (c.fetched.date() != now.date() || from < c.from || to > c.to)
        return std::nullopt;
    std::vector<MarketBar> bars;
    for (const MarketBar& b : c.answer.data) {
        if (b.date >= from && b.date <= to)
            bars.push_back(b);
    }
    return Answer<std::vector<MarketBar>>::success(std::move(bars), "cached today");
}

Answer<std::vector<MarketBar>> NasdaqSource::history(
    const std::string& symbol, QDate from, QDate to, int limit, const QDateTime& now)
{
    const auto finish = [&](Answer<std::vector<MarketBar>> answer) {
        if (answer.ok) {
            // Today's row, if upstream has one already, is the quote's business.
            std::erase_if(answer.data,
                [&](const MarketBar& b) { return b.date >= now.date() || b.date < from || b.date > to; });
            if (static_cast<int>(answer.data.size()) > limit)
                answer.data.resize(static_cast<std::size_t>(limit));
        }
        return answer;
    };
    if (auto cached = cachedHistory(symbol, from, to, now))
        return finish(*cached);
    std::lock_guard upstream(m_upstreamMutex);
    if (auto cached = cachedHistory(symbol, from, to, now))
        return finish(*cached);

    const Answer<std::string> body = askUpstream(
        symbol, "historical", "&fromdate=" + isoDate(from) + "&todate=" + isoDate(to) + "&limit=9999");
    Answer<std::vector<MarketBar>> answer
        = body.ok ? readUpstreamHistory(body.data) : Answer<std::vector<MarketBar>>::failure(body.reason);
    if (answer.ok)
        answer.note = "from upstream" + (answer.note.empty() ? "" : ", " + answer.note);
    {
        std::lock_guard lock(m_cacheMutex);
        if (m_histories.size() > 500)
            m_histories.clear();
        m_histories[symbol] = {now, from, to, answer};
    }
    return finish(answer);
}

} // namespace tradevane::market
