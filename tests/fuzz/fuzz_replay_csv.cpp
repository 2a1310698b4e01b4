// The quote service's replay files (Date,Open,High,Low,Close,Volume), read by
// ReplaySource::ReadText, then served from a folder as the service serves them: today's quote and
// the history.
#include "FuzzSupport.h"

#include "engine/marketdata/sources/ReplaySource.h"
#include "engine/marketdata/sources/SourceFormats.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>

using namespace tradevane::market;

namespace {

const QDateTime kNow(QDate(2026, 3, 11), QTime(11, 30));
const QDateTime kSaturday(QDate(2026, 3, 14), QTime(11, 30));

std::filesystem::path Folder()
{
    static QTemporaryDir folder(QDir::tempPath() + u"/tradevane-fuzz-XXXXXX"_qs);
    FUZZ_CHECK(folder.isValid());
    return folder.path().toStdString();
}

// A price or volume text of the service's answers: a finite number, not negative.
bool Sane(const std::string& text)
{
    const auto value = priceValue(text);
    return value && *value >= 0;
}

void CheckQuote(const Answer<QuoteFields>& answer)
{
    FUZZ_CHECK(answer.ok);
    const QuoteFields& q = answer.data;
    FUZZ_CHECK(q.symbol == "ABC");
    for (const std::string* price : {&q.last, &q.open, &q.high, &q.low, &q.volume})
        FUZZ_CHECK(Sane(*price));
    FUZZ_CHECK(priceValue(q.change).has_value());
    FUZZ_CHECK(*priceValue(q.low) <= *priceValue(q.last) && *priceValue(q.last) <= *priceValue(q.high));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text = fuzz::Text(data, size);
    const ReplaySource::FileBars file = ReplaySource::readText(text);
    FUZZ_CHECK(file.skippedLines >= 0);
    FUZZ_CHECK(file.firstProblem.empty() == (file.skippedLines == 0));
    for (std::size_t i = 0; i < file.bars.size(); ++i) {
        const MarketBar& b = file.bars[i];
        FUZZ_CHECK(b.date.isValid());
        FUZZ_CHECK(i == 0 || file.bars[i - 1].date < b.date); // oldest first, each date once
        for (double price : {b.open, b.high, b.low, b.close})
            FUZZ_CHECK(price >= 0.01 && price <= 1e9);
        FUZZ_CHECK(b.volume >= 0);
        FUZZ_CHECK(b.low <= std::min(b.open, b.close) && std::max(b.open, b.close) <= b.high);
    }

    if (file.bars.empty())
        return 0; // served as "holds no bars"; the folder round is kept for files with bars

    // The same text as a file of the replay folder, served by a fresh source (no cached reading).
    const std::filesystem::path folder = Folder();
    {
        std::ofstream out(folder / "ABC.csv", std::ios::binary | std::ios::trunc);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        FUZZ_CHECK(out.good());
    }
    const ReplaySource::FileBars again = ReplaySource::readFile(folder / "ABC.csv");
    FUZZ_CHECK(again.bars.size() == file.bars.size() && again.skippedLines == file.skippedLines);

    ReplaySource source(folder, 1);
    CheckQuote(source.quote("ABC", kNow));
    const Answer<QuoteFields> weekend = source.quote("ABC", kSaturday);
    CheckQuote(weekend);
    // On a weekend the newest bar of the file is quoted as it is.
    const double close = file.bars.back().close;
    FUZZ_CHECK(std::fabs(*priceValue(weekend.data.last) - close) <= std::max(0.01, close * 1e-9));
    const Answer<std::vector<MarketBar>> history
        = source.history("ABC", kNow.date().addDays(-365), kNow.date(), 282, kNow);
    FUZZ_CHECK(history.ok);
    FUZZ_CHECK(history.data.size() <= std::min<std::size_t>(file.bars.size(), 282));
    const std::string served = historyText(history.data, source.label(), 282);
    FUZZ_CHECK(
        static_cast<std::size_t>(std::count(served.begin(), served.end(), '\n')) == history.data.size() + 1);
    return 0;
}
