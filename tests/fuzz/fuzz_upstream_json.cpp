// The quote service's upstream answers (JSON of the quote, summary and historical endpoints, or
// whatever else comes back): UpstreamProblem, ReadUpstreamInfo, AddUpstreamSummary,
// ReadUpstreamHistory, and the quote fields made from what was read.
#include "FuzzSupport.h"

#include "engine/marketdata/sources/NasdaqSource.h"
#include "engine/marketdata/sources/SourceFormats.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cmath>

using namespace tradevane::market;

namespace {

const QDateTime kNow(QDate(2026, 3, 11), QTime(11, 30));

// Empty, or a positive price as the service writes it.
bool PriceOrNothing(const std::string& text)
{
    if (text.empty())
        return true;
    const auto value = priceValue(text);
    return value && *value > 0 && formatPrice(*value) == text;
}

// M/D/Y of a real day; the year as upstream gave it (it may have fewer than four digits).
bool IsQuoteDate(const std::string& text)
{
    const QStringList parts = QString::fromStdString(text).split(u'/');
    if (parts.size() != 3)
        return false;
    bool ok[3] = {};
    const QDate date(parts[2].toInt(&ok[2]), parts[0].toInt(&ok[0]), parts[1].toInt(&ok[1]));
    return ok[0] && ok[1] && ok[2] && date.isValid()
        && QString::fromStdString(text)
        == QString(u"%1/%2/%3"_qs).arg(date.month()).arg(date.day()).arg(date.year());
}

bool VolumeOrNothing(const std::string& text)
{
    return text.empty() || (volumeValue(text) && std::to_string(*volumeValue(text)) == text);
}

void CheckQuote(const UpstreamQuote& q)
{
    FUZZ_CHECK(!q.last.empty() && PriceOrNothing(q.last));
    for (const std::string* price : {&q.open, &q.high, &q.low})
        FUZZ_CHECK(PriceOrNothing(*price));
    FUZZ_CHECK(q.high.empty() == q.low.empty());
    if (!q.high.empty())
        FUZZ_CHECK(*priceValue(q.low) <= *priceValue(q.high));
    FUZZ_CHECK(VolumeOrNothing(q.volume));
    FUZZ_CHECK(q.change.empty() || priceValue(q.change));
    FUZZ_CHECK(toUpper(q.symbol) == q.symbol);

    // The nine fields: none empty, and the date and time as the program reads them.
    const QuoteFields f = toQuoteFields(q, kNow);
    for (const std::string* field :
        {&f.symbol, &f.last, &f.date, &f.time, &f.change, &f.open, &f.high, &f.low, &f.volume}) {
        FUZZ_CHECK(field == &f.symbol || !field->empty());
    }
    FUZZ_CHECK(IsQuoteDate(f.date));
    FUZZ_CHECK(QTime::fromString(QString::fromStdString(f.time), u"h:mmap").isValid());
}

// The last sale price as the answer gives it, a text ("$189.98") or a number.
std::optional<double> LastSalePrice(const std::string& body)
{
    const QJsonValue value = QJsonDocument::fromJson(QByteArray::fromStdString(body))
                                 .object()
                                 .value(u"data")
                                 .toObject()
                                 .value(u"primaryData")
                                 .toObject()
                                 .value(u"lastSalePrice");
    if (value.isDouble())
        return value.toDouble();
    return priceValue(value.toString().trimmed().toStdString());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string body = fuzz::Text(data, size);
    const std::string problem = upstreamProblem(body);
    FUZZ_CHECK(problem.empty() || problem.starts_with("upstream"));
    (void)isUnknownSymbolReason(problem);

    const Answer<UpstreamQuote> info = readUpstreamInfo(body);
    FUZZ_CHECK(info.ok != !info.reason.empty());
    if (!problem.empty())
        FUZZ_CHECK(!info.ok && info.reason == problem);
    if (info.ok) {
        CheckQuote(info.data);
        // The price as it was sent, to the cent (prices below one to a hundredth of a cent).
        const std::optional<double> sent = LastSalePrice(body);
        FUZZ_CHECK(sent && std::fabs(*priceValue(info.data.last) - *sent) <= 0.005 * (1 + 1e-9 * *sent));
        // The same body as the summary answer that fills what the info answer lacked.
        UpstreamQuote filled = info.data;
        addUpstreamSummary(filled, body);
        CheckQuote(filled);
    }
    UpstreamQuote bare;
    bare.last = "1.00";
    addUpstreamSummary(bare, body);
    CheckQuote(bare);

    const Answer<std::vector<MarketBar>> history = readUpstreamHistory(body);
    FUZZ_CHECK(history.ok != !history.reason.empty());
    for (std::size_t i = 0; i < history.data.size(); ++i) {
        const MarketBar& b = history.data[i];
        FUZZ_CHECK(b.date.isValid());
        FUZZ_CHECK(i == 0 || history.data[i - 1].date >= b.date); // newest first
        for (double price : {b.open, b.high, b.low, b.close})
            FUZZ_CHECK(price >= 0.0001); // shown as at least "0.0001"
        FUZZ_CHECK(b.volume >= 0);
        FUZZ_CHECK(b.low <= std::min(b.open, b.close) && std::max(b.open, b.close) <= b.high);
    }
    return 0;
}
