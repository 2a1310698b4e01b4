#include "engine/marketdata/sources/ReplaySource.h"

#include "engine/marketdata/sources/SourceFormats.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace tradevane::market {

namespace {

std::string trim(const std::string& text)
{
    const auto begin = text.find_first_not_of(" \t\r\n\"");
    if (begin == std::string::npos)
        return {};
    const auto end = text.find_last_not_of(" \t\r\n\"");
    return text.substr(begin, end - begin + 1);
}

std::vector<std::string> splitCsv(const std::string& line)
{
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, ','))
        fields.push_back(trim(field));
    return fields;
}

// Today's quotes walk on from the newest close in steps rounded to cents: a price below a cent
// would walk at zero (and its logarithm), one past a billion towards infinity.
bool isReplayPrice(double price)
{
    return price >= 0.01 && price <= 1e9;
}

// 2024-05-06, 5/6/2024 or 20240506.
QDate parseDate(const std::string& text)
{
    const QString t = QString::fromStdString(text);
    for (const char* format : {"yyyy-MM-dd", "M/d/yyyy", "yyyyMMdd"}) {
        const QDate d = QDate::fromString(t, QString::fromLatin1(format));
        if (d.isValid())
            return d;
    }
    return {};
}

} // namespace

ReplaySource::ReplaySource(std::filesystem::path folder, std::uint64_t seed, SessionWindow session)
    : m_folder(std::move(folder))
    , m_seed(seed)
    , m_session(session)
{ }

ReplaySource::FileBars ReplaySource::readFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return readText(text.str());
}

ReplaySource::FileBars ReplaySource::readText(const std::string& text)
{
    FileBars result;
    std::istringstream in(text);
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (trim(line).empty())
            continue;
        const std::vector<std::string> f = splitCsv(line);
        MarketBar bar;
        bool ok = f.size() >= 6;
        if (ok) {
            bar.date = parseDate(f[0]);
            const auto open = priceValue(f[1]), high = priceValue(f[2]), low = priceValue(f[3]),
                       close = priceValue(f[4]);
            const auto volume = priceValue(f[5]);
            // A volume is a whole number of shares that a double holds exactly (below 2^53, far
            // above any day's trading): a larger one would not fit the bar's number once rounded
            // or scaled for today's quotes.
            ok = bar.date.isValid() && open && high && low && close && volume && isReplayPrice(*open)
                && isReplayPrice(*high) && isReplayPrice(*low) && isReplayPrice(*close) && *volume >= 0
                && *volume <= 0x1p53;
            if (ok) {
                // Keep the bar consistent even when the file is not: the high is the highest price.
                bar.open = *open;
                bar.close = *close;
                bar.high = std::max({*high, *open, *close, *low});
                bar.low = std::min({*low, *open, *close, *high});
                bar.volume = std::llround(*volume);
            }
        }
        if (!ok) {
            if (number == 1)
                continue; // the heading
            if (result.firstProblem.empty())
                result.firstProblem
                    = "line " + std::to_string(number) + " is not Date,Open,High,Low,Close,Volume";
            ++result.skippedLines;
            continue;
        }
        result.bars.push_back(bar);
    }
    std::stable_sort(result.bars.begin(), result.bars.end(),
        [](const MarketBar& a, const MarketBar& b) { return a.date < b.date; });
    // A date given twice keeps its last line.
    std::vector<MarketBar> unique;
    for (const MarketBar& b : result.bars) {
        if (!unique.empty() && unique.back().date == b.date)
            unique.back() = b;
        else
            unique.push_back(b);
    }
    result.bars = std::move(unique);
    return result;
}

Answer<std::shared_ptr<const ReplaySource::FileBars>> ReplaySource::load(const std::string& symbol)
{
    using Result = Answer<std::shared_ptr<const FileBars>>;
    std::error_code error;
    std::filesystem::path file;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, error)) {
        const std::string name = entry.path().filename().string();
        if (toUpper(name) == symbol + ".CSV" && entry.is_regular_file(error)) {
            file = entry.path();
            break;
        }
    }
    if (error)
        return Result::failure("cannot read the folder " + m_folder.string() + ": " + error.message());
    if (file.empty())
        return Result::failure("no file " + symbol + ".csv in " + m_folder.string());

    const auto stamp = std::filesystem::last_write_time(file, error);
    std::lock_guard lock(m_mutex);
    auto it = m_files.find(symbol);
    if (it == m_files.end() || error || it->second.stamp != stamp) {
        auto bars = std::make_shared<FileBars>(readFile(file));
        if (m_files.size() > 500)
            m_files.clear();
        it = m_files.insert_or_assign(symbol, Loaded {stamp, std::move(bars)}).first;
    }
    const auto& bars = it->second.bars;
    if (bars->bars.empty())
        return Result::failure(file.string() + " holds no bars"
            + (bars->firstProblem.empty() ? std::string() : " (" + bars->firstProblem + ")"));
    std::string note;
    if (bars->skippedLines > 0)
        note = std::to_string(bars->skippedLines) + " lines of " + file.filename().string()
            + " skipped, first: " + bars->firstProblem;
    return Result::success(bars, note);
}

std::vector<MarketBar> ReplaySource::redated(const FileBars& file, const QDate& today) const
{
    std::vector<MarketBar> bars;
    bars.reserve(file.bars.size());
    QDate day = previousTradingDay(today);
    for (auto it = file.bars.rbegin(); it != file.bars.rend(); ++it) {
        MarketBar b = *it;
        b.date = day;
        bars.push_back(b);
        day = previousTradingDay(day);
    }
    return bars;
}

DayPlan ReplaySource::todayPlan(const std::string& symbol, const FileBars& file, const QDate& today) const
{
    const std::vector<MarketBar>& bars = file.bars;
    const MarketBar& latest = bars.back();
    // How much this stock moves: the spread of its recent daily returns, within sane bounds.
    double sum = 0, sumSquares = 0;
    int count = 0;
    for (std::size_t i = bars.size() > 61 ? bars.size() - 61 : 1; i < bars.size(); ++i) {
        const double r = std::log(bars[i].close / bars[i - 1].close);
        sum += r;
        sumSquares += r * r;
        ++count;
    }
    double sigma = 0.02;
    if (count > 5)
        sigma = std::sqrt(std::max(0.0, sumSquares / count - (sum / count) * (sum / count)));
    sigma = std::clamp(sigma, 0.005, 0.05);
    double volume = 0;
    const std::size_t recent = std::min<std::size_t>(bars.size(), 20);
    for (std::size_t i = bars.size() - recent; i < bars.size(); ++i)
        volume += static_cast<double>(bars[i].volume);
    volume /= static_cast<double>(recent);

    const std::uint64_t key
        = noiseKey(m_seed, symbolHash(symbol), static_cast<std::uint64_t>(tradingDayNumber(today)));
    DayPlan p;
    p.date = today;
    p.key = key;
    p.sigma = sigma;
    p.previousClose = latest.close;
    p.open = std::round(latest.close * std::exp(0.3 * sigma * gaussian(noiseKey(key, 1))) * 100.0) / 100.0;
    p.close = std::round(latest.close * std::exp(sigma * gaussian(noiseKey(key, 2))) * 100.0) / 100.0;
    p.swing = sigma * (0.8 + 0.6 * uniform(noiseKey(key, 3)));
    p.volume = std::llround(volume * std::exp(0.25 * gaussian(noiseKey(key, 4))));
    return p;
}

Answer<QuoteFields> ReplaySource::quote(const std::string& symbol, const QDateTime& now)
{
    const auto loaded = load(symbol);
    if (!loaded.ok)
        return Answer<QuoteFields>::failure(loaded.reason);
    const FileBars& file = *loaded.data;
    const QDate today = now.date();
    const int minuteOfDay = now.time().hour() * 60 + now.time().minute();
    if (isTradingDay(today) && minuteOfDay >= m_session.startMinute)
        return Answer<QuoteFields>::success(
            quoteDuringDay(symbol, todayPlan(symbol, file, today), m_session, now), loaded.note);
    // Before the session and on weekends the newest bar of the file is the last finished day.
    const std::vector<MarketBar> bars = redated(file, today);
    const double previousClose = bars.size() > 1 ? bars[1].close : bars[0].open;
    return Answer<QuoteFields>::success(quoteAfterDay(symbol, bars[0], previousClose, m_session),
        loaded.note.empty() ? "newest bar" : loaded.note);
}

Answer<std::vector<MarketBar>> ReplaySource::history(
    const std::string& symbol, QDate from, QDate to, int limit, const QDateTime& now)
{
    const auto loaded = load(symbol);
    if (!loaded.ok)
        return Answer<std::vector<MarketBar>>::failure(loaded.reason);
    std::vector<MarketBar> bars;
    for (const MarketBar& b : redated(*loaded.data, now.date())) {
        if (static_cast<int>(bars.size()) >= limit)
            break;
        if (b.date >= from && b.date <= to)
            bars.push_back(b);
    }
    return Answer<std::vector<MarketBar>>::success(std::move(bars), loaded.note);
}

} // namespace tradevane::market
