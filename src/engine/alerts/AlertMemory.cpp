#include "engine/alerts/AlertMemory.h"

#include "engine/log/ActivityLog.h"
#include "engine/log/LogTexts.h"
#include "platform/ProgramFolder.h"
#include "platform/RecordFile.h"
#include "platform/SettingsText.h"

#include <QList>

namespace tradevane {

namespace {

const QByteArray kHeader = "Tradevane reported alerts 1";

// The kinds by name, in AlertKind order: the file stays readable, and a renumbering of the kinds
// cannot make one alert pass for another.
constexpr std::array<const char*, kAlertKinds> kKindNames
    = {"ShortCrossUp", "ShortCrossDown", "MediumCrossUp", "MediumCrossDown", "LongCrossUp", "LongCrossDown",
        "HighestHigh", "LowestLow", "RateOfChangeAbove", "RateOfChangeBelow", "StochasticAbove80",
        "StochasticBelow20", "PriceAbove", "PriceBelow", "VolumeSurge"};

std::optional<AlertKind> kindNamed(const QByteArray& name)
{
    for (int k = 0; k < kAlertKinds; ++k) {
        if (name == kKindNames[static_cast<std::size_t>(k)])
            return static_cast<AlertKind>(k);
    }
    return std::nullopt;
}

// The stored periods of the averages `fast` and fast + 1 (short, medium or long).
QString pair(const AlertSettings& s, std::size_t fast)
{
    return QString::number(s.averagePeriods[fast]) + u',' + QString::number(s.averagePeriods[fast + 1]);
}

bool onceADay(const AlertSettings& settings)
{
    return !settings.repeatAlerts;
}

QString lineDamage(qsizetype index)
{
    return u"line "_qs + QString::number(index + 1) + u" not understood"_qs;
}

} // namespace

QString alertMemoryPath()
{
    return programFile(u"reported.dat"_qs);
}

QString alertKindKey(AlertKind kind)
{
    return QString::fromLatin1(kKindNames[static_cast<std::size_t>(kind)]);
}

QString alertSettingsKey(const AlertSettings& s, AlertKind kind)
{
    switch (kind) {
    case AlertKind::ShortCrossUp:
    case AlertKind::ShortCrossDown:
        return pair(s, 0);
    case AlertKind::MediumCrossUp:
    case AlertKind::MediumCrossDown:
        return pair(s, 2);
    case AlertKind::LongCrossUp:
    case AlertKind::LongCrossDown:
        return pair(s, 4);
    case AlertKind::HighestHigh:
        return QString::number(s.highestHighDays);
    case AlertKind::LowestLow:
        return QString::number(s.lowestLowDays);
    case AlertKind::RateOfChangeAbove:
        return QString::number(s.rateOfChangeAbove);
    case AlertKind::RateOfChangeBelow:
        return QString::number(s.rateOfChangeBelow);
    case AlertKind::PriceAbove:
        return QString::number(s.priceAbove, 'g', 17);
    case AlertKind::PriceBelow:
        return QString::number(s.priceBelow, 'g', 17);
    case AlertKind::StochasticAbove80:
    case AlertKind::StochasticBelow20:
    case AlertKind::VolumeSurge:
        break;
    }
    return {};
}

QByteArray encodeReportedAlerts(const ReportedAlerts& alerts)
{
    QByteArray bytes = kHeader + '\n';
    for (const ReportedAlert& a : alerts) {
        bytes += a.day.toString(Qt::ISODate).toLatin1() + '\t' + QByteArray::number(a.stock.number()) + '\t'
            + kKindNames[static_cast<std::size_t>(a.kind)] + '\t' + a.symbol.toUtf8().toPercentEncoding()
            + '\t' + a.settings.toUtf8().toPercentEncoding() + '\n';
    }
    return bytes + "end\t" + QByteArray::number(alerts.size()) + '\n';
}

ReportedAlertsRead decodeReportedAlerts(const QByteArray& bytes)
{
    ReportedAlertsRead read;
    auto damaged = [&read](const QString& why) {
        read.alerts.clear();
        read.damage = why;
        return read;
    };
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.first() != kHeader) {
        const bool headerCut = lines.size() == 1 && kHeader.startsWith(bytes);
        return damaged(headerCut ? u"cut short"_qs : u"not a file of reported alerts"_qs);
    }
    // Every line ends with a line feed: what follows the last one must be nothing.
    if (lines.size() < 3 || !lines.last().isEmpty())
        return damaged(u"cut short"_qs);
    lines.removeLast();
    const QList<QByteArray> end = lines.last().split('\t');
    bool countOk = false;
    const qsizetype count = end.size() == 2 && end[0] == "end" ? end[1].toLongLong(&countOk) : -1;
    if (!countOk || count != lines.size() - 2)
        return damaged(u"cut short"_qs);

    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split('\t');
        if (fields.size() != 5)
            return damaged(lineDamage(i));
        const QDate day = QDate::fromString(QString::fromLatin1(fields[0]), Qt::ISODate);
        bool numberOk = false;
        const int number = fields[1].toInt(&numberOk);
        const std::optional<AlertKind> kind = kindNamed(fields[2]);
        if (!day.isValid() || fields[0].size() != 10 || !numberOk || number < 1 || number > kStockCount
            || !kind)
            return damaged(lineDamage(i));
        read.alerts.push_back({day, StockIndex::fromNumber(number), *kind,
            QString::fromUtf8(QByteArray::fromPercentEncoding(fields[3])),
            QString::fromUtf8(QByteArray::fromPercentEncoding(fields[4]))});
    }
    return read;
}

ReportedAlerts readReportedAlerts(ActivityLog& log, int number)
{
    const SmallFileRead file = readSmallFile(alertMemoryPath());
    if (!file.exists)
        return {};
    ReportedAlertsRead read;
    if (file.ok())
        read = decodeReportedAlerts(file.bytes);
    const QString damage = file.ok() ? read.damage : file.error;
    if (!damage.isEmpty()) {
        log.appendNote(LogText::kAlertMemoryDamaged + damage);
        log.appendLog(number);
        return {};
    }
    return std::move(read.alerts);
}

void writeReportedAlerts(const ReportedAlerts& alerts, ActivityLog& log, int number)
{
    const FileError error = saveWholeFile(alertMemoryPath(), encodeReportedAlerts(alerts));
    if (error.ok())
        return;
    log.appendNote(LogText::kAlertMemoryNotWritten + error.description);
    log.appendLog(number);
}

ReportedAlerts reportedOn(const QDate& day, const std::array<AlertSettings, kStockCount>& settings,
    const std::array<StockState, kStockCount>& stocks)
{
    ReportedAlerts reported;
    for (const StockIndex stock : allStocks()) {
        const AlertSettings& s = settings[static_cast<std::size_t>(stock.index())];
        if (!onceADay(s))
            continue;
        const AlertStates& alerts = stocks[static_cast<std::size_t>(stock.index())].alerts;
        for (int k = 0; k < kAlertKinds; ++k) {
            const auto kind = static_cast<AlertKind>(k);
            if (!alerts[kind].armed)
                reported.push_back({day, stock, kind, s.symbol.trimmed(), alertSettingsKey(s, kind)});
        }
    }
    return reported;
}

void disarmReported(const ReportedAlerts& remembered, const QDate& day,
    const std::array<AlertSettings, kStockCount>& settings, std::array<StockState, kStockCount>& stocks)
{
    for (const ReportedAlert& a : remembered) {
        const AlertSettings& s = settings[static_cast<std::size_t>(a.stock.index())];
        if (a.day == day && onceADay(s) && a.symbol == s.symbol.trimmed()
            && a.settings == alertSettingsKey(s, a.kind))
            stocks[static_cast<std::size_t>(a.stock.index())].alerts[a.kind].armed = false;
    }
}

} // namespace tradevane
