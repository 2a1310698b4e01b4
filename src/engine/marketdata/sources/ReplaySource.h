#pragma once

#include "engine/marketdata/sources/SimulatedMarket.h"

#include <filesystem>

namespace tradevane::market {

// Daily bars from CSV files that the user provides, one per symbol (SYMBOL.csv, any case), with
// the columns Date,Open,High,Low,Close,Volume. The bars are replayed as the trading days up to
// yesterday: the newest bar of a file becomes the last trading day before today, the one before it
// the trading day before that, and so on. Today's quotes walk on from the newest bar.
class ReplaySource final : public Source
{
public:
    ReplaySource(std::filesystem::path folder, std::uint64_t seed, SessionWindow session = {});

    std::string label() const override { return "replay"; }
    Answer<QuoteFields> quote(const std::string& symbol, const QDateTime& now) override;
    Answer<std::vector<MarketBar>> history(
        const std::string& symbol, QDate from, QDate to, int limit, const QDateTime& now) override;

    struct FileBars
    {
        std::vector<MarketBar> bars; // oldest first, with the dates of the file
        int skippedLines = 0;
        std::string firstProblem;
    };
    // Reads one file; lines that are not bars are skipped and counted, among them prices below a
    // cent or above a billion and volumes past 2^53. A file that cannot be read has no bars.
    static FileBars readFile(const std::filesystem::path& file);
    // The same from the text of a file.
    static FileBars readText(const std::string& text);

private:
    struct Loaded
    {
        std::filesystem::file_time_type stamp;
        std::shared_ptr<const FileBars> bars;
    };
    // The bars of `symbol`, read again when the file has changed; the reason when there are none.
    Answer<std::shared_ptr<const FileBars>> load(const std::string& symbol);
    // The file's bars with the dates they are replayed on, newest first.
    std::vector<MarketBar> redated(const FileBars& file, const QDate& today) const;
    DayPlan todayPlan(const std::string& symbol, const FileBars& file, const QDate& today) const;

    std::filesystem::path m_folder;
    std::uint64_t m_seed;
    SessionWindow m_session;
    std::mutex m_mutex;
    std::map<std::string, Loaded> m_files;
};

} // namespace tradevane::market
