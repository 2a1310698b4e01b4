#include "app/HeadlessPreview.h"

#include "app/ProgramStart.h"
#include "engine/alerts/AlertMemory.h"
#include "engine/marketdata/HistoryRetrieval.h"
#include "engine/marketdata/PriceSource.h"
#include "engine/session/AppServices.h"
#include "platform/Clock.h"
#include "platform/Conversions.h"
#include "platform/ReadableText.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tradevane {

namespace {

// The kinds the table lists: those switched on, and any that fired.
bool listed(const AlertPreview& preview, const AlertSettings& settings, std::size_t k)
{
    return settings.alertsOn[k] || preview.firedDays[k] > 0;
}

QString lastDate(const AlertPreview& preview, std::size_t k)
{
    const int last = preview.lastFired[k];
    return last < 0 ? QString() : previewDateText(preview.days[static_cast<std::size_t>(last)]);
}

QString symbolOf(const AlertSettings& settings)
{
    return readableLine(settings.symbol, kMaxSymbolLength);
}

} // namespace

std::optional<StockIndex> stockNamed(const SettingsStore& settings, const QString& text)
{
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    if (isNumber)
        return number >= 1 && number <= kStockCount ? std::optional(StockIndex::fromNumber(number))
                                                    : std::nullopt;
    for (const StockIndex stock : allStocks()) {
        const QString symbol = settings.alert(stock).symbol.trimmed();
        if (!symbol.isEmpty() && symbol.compare(text.trimmed(), Qt::CaseInsensitive) == 0)
            return stock;
    }
    return std::nullopt;
}

QString previewText(const AlertPreview& preview, const AlertSettings& settings, StockIndex stock)
{
    QString text = u"Alert preview of "_qs + symbolOf(settings) + u" (stock #"_qs
        + QString::number(stock.number()) + u')';
    if (!preview.days.empty())
        text += u", "_qs + previewDateText(preview.days.front()) + u" to "_qs
            + previewDateText(preview.days.back());
    text += u"\n\n"_qs;
    const QString indent(12, u' ');
    for (const PreviewDay& day : preview.days) {
        const QStringList lines = day.error.isEmpty() ? day.lines : QStringList {day.error};
        for (qsizetype i = 0; i < lines.size(); ++i)
            text += (i == 0 ? previewDateText(day).leftJustified(indent.size()) : indent)
                + withoutControls(lines[i]) + u'\n';
    }
    text += u"\n"_qs + u"Alert"_qs.leftJustified(28) + u"Days  Last\n"_qs;
    for (std::size_t k = 0; k < kAlertKinds; ++k) {
        if (!listed(preview, settings, k))
            continue;
        text += alertKindName(static_cast<AlertKind>(k)).leftJustified(28)
            + QString::number(preview.firedDays[k]).rightJustified(4) + u"  "_qs + lastDate(preview, k)
            + u'\n';
    }
    text += u"\nWould have reported on "_qs + QString::number(preview.reportingDays) + u" of "_qs
        + QString::number(preview.dayCount()) + u" days."_qs;
    if (preview.errorDays > 0)
        text += u" "_qs + QString::number(preview.errorDays) + u" days could not be computed."_qs;
    return text + u'\n';
}

QByteArray previewJson(const AlertPreview& preview, const AlertSettings& settings, StockIndex stock)
{
    QJsonArray alerts;
    for (const PreviewDay& day : preview.days) {
        if (!day.error.isEmpty()) {
            alerts.append(QJsonObject {{u"date"_qs, previewDateText(day)}, {u"error"_qs, day.error}});
        } else if (!day.lines.isEmpty()) {
            alerts.append(QJsonObject {
                {u"date"_qs, previewDateText(day)}, {u"lines"_qs, QJsonArray::fromStringList(day.lines)}});
        }
    }
    QJsonArray kinds;
    for (std::size_t k = 0; k < kAlertKinds; ++k) {
        if (!listed(preview, settings, k))
            continue;
        const auto kind = static_cast<AlertKind>(k);
        const QString last = lastDate(preview, k);
        kinds.append(QJsonObject {{u"kind"_qs, alertKindKey(kind)}, {u"name"_qs, alertKindName(kind)},
            {u"days"_qs, preview.firedDays[k]},
            {u"last"_qs, last.isEmpty() ? QJsonValue() : QJsonValue(last)}});
    }
    const QJsonObject root {{u"stock"_qs, stock.number()}, {u"symbol"_qs, settings.symbol.trimmed()},
        {u"days"_qs, preview.dayCount()}, {u"reportingDays"_qs, preview.reportingDays},
        {u"errorDays"_qs, preview.errorDays}, {u"alerts"_qs, alerts}, {u"kinds"_qs, kinds}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

ExitCode runHeadlessPreview(
    AppServices& services, const ProgramOptions& options, std::FILE* out, std::FILE* err)
{
    const std::optional<StockIndex> stock = stockNamed(services.settings, options.preview);
    if (!stock) {
        printLine(err,
            u"No stock '"_qs + readableLine(options.preview, 40)
                + u"': give its number 1 to 10 or the symbol of one of the ten stocks."_qs);
        return ExitCode::Usage;
    }
    AlertSettings settings = services.settings.alert(*stock);
    if (settings.symbol.trimmed().isEmpty()) {
        printLine(err, u"Stock #"_qs + QString::number(stock->number()) + u" has no symbol."_qs);
        return ExitCode::Failure;
    }

    ExitCode code = ExitCode::Ok;
    const std::unique_ptr<PriceSource> source = makePriceSource(
        services.settings.source, services.settings.servers, services.fetcher, services.hub);
    const std::unique_ptr<Pending> fetch
        = fetchHistory(*source, settings.symbol, Clock::current().now(), [&](const FetchedHistory& fetched) {
              if (!fetched.history) {
                  printLine(err, fetched.problem);
                  code = ExitCode::Failure;
              } else {
                  const AlertPreview preview
                      = previewAlerts(*fetched.history, *stock, settings, options.previewFrom);
                  if (options.json)
                      std::fputs(previewJson(preview, settings, *stock).constData(), out);
                  else
                      std::fputs(previewText(preview, settings, *stock).toLocal8Bit().constData(), out);
                  std::fflush(out);
              }
              QMetaObject::invokeMethod(
                  QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
          });
    QCoreApplication::exec();
    return code;
}

} // namespace tradevane
