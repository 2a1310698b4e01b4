#include "marketdata/DataRetrieval.h"

#include "core/LogTexts.h"
#include "core/MainControls.h"
#include "core/ServerSettings.h"
#include "marketdata/QuoteRetrieval.h"
#include "notify/UpdateLog.h"
#include "platform/Clock.h"
#include "platform/InetControl.h"
#include "platform/LegacyWait.h"

namespace DataRetrieval {
QDateTime Today;
QDateTime FromDate;
QString ToMonth, ToDay, ToYear, FromMonth, FromDay, FromYear;
QString HistoryUrl;
QString HistoryText;
QStringList HistoryFields;
int LastFieldIndex = 0;
HistoryArray HistoryWork;
int HistorySlotsWritten = 0;
} // namespace DataRetrieval

using namespace DataRetrieval;

namespace {

constexpr int kLineFields = 7;

// Slot of a row that receives line field k (0..5); the close comes from field 6, field 4 is unused.
constexpr int kFieldOfSlot[6] = {0, 1, 2, 3, 6, 5};

void setFlag(PerStock<qint16>& flags)
{
    if (StockID >= 0 && StockID <= kStockCount)
        flags[StockID] = vbTrue;
}

// The download and data error paths: the stock is out of this quote set, the reason is logged.
void errorPath(const QString& text)
{
    setFlag(gDownloadError);
    strLogString += text;
    AppendLog();
    setFlag(gStockFailed);
}

void dataErrorPath()
{
    errorPath(LogText::DataError + QString::number(StockID) + LogText::FileTooSmall);
}

// Walks HistoryFields into HistoryWork, line by line. False when a line runs past the last slot
// or the response ends inside a line before its close.
bool walkFields()
{
    HistorySlotsWritten = 0;
    int slot = 0;
    for (int k = 0; k <= LastFieldIndex; ++k) {
        const int column = k % kLineFields;
        if (column == kLineFields - 1)
            continue;
        const int source = k - column + kFieldOfSlot[column];
        if (slot >= kHistorySlots || source > LastFieldIndex)
            return false;
        HistoryWork[slot] = HistoryFields[source];
        HistorySlotsWritten = ++slot;
    }
    return true;
}

} // namespace

void SetHistoryDates()
{
    Today = Now();
    ToMonth = QString::number(Today.date().month());
    ToDay = QString::number(Today.date().day());
    ToYear = QString::number(Today.date().year());
    // A count of days, not a calendar year: across a leap day the range starts a day later.
    FromDate = Today.addDays(-365);
    FromMonth = QString::number(FromDate.date().month());
    FromDay = QString::number(FromDate.date().day());
    FromYear = QString::number(FromDate.date().year());
}

void DownloadHistory(QString& symbol)
{
    symbol = symbol.toLower();
    DoEvents();
    HistoryText.clear();
    HistoryUrl = gServerSettings.HistoryServer + u"/table.csv?s="_qs + SymbolForRequest(symbol) + u"&a="_qs
        + FromMonth + u"&b="_qs + FromDay + u"&c="_qs + FromYear + u"&d="_qs + ToMonth + u"&e="_qs + ToDay
        + u"&f="_qs + ToYear + u"&g=d&Ignore=.csv"_qs;
    const std::optional<QString> body = OpenURLAndWait(InetQuotes(), HistoryUrl);
    InetQuotes().Cancel();
    if (!body) {
        errorPath(
            LogText::DownloadError + QString::number(StockID) + LogText::BadSymbolOrServerDown + u"\r\n"_qs);
        return;
    }
    HistoryText = *body;
}

void ParseHistory()
{
    HistoryFields.clear();
    LastFieldIndex = -1;
    if (HistoryText.isEmpty()) {
        dataErrorPath();
        return;
    }
    // Carriage returns stay: with CR LF lines the close of every row keeps one at its end.
    QString text = HistoryText;
    text.replace(u'\n', u',');
    text.remove(u'"');
    HistoryFields = text.split(u',');
    LastFieldIndex = static_cast<int>(HistoryFields.size()) - 1;
    if (LastFieldIndex < kMinimumFields - 1 || !walkFields()) {
        dataErrorPath();
        return;
    }
    // Exactly the slots this walk wrote; the rest of the stock's array is emptied, so nothing of an
    // earlier parse (of this or another stock) is left behind the last row.
    if (StockID < 1 || StockID > kStockCount)
        return;
    HistoryArray& history = gHistory[StockID];
    for (int slot = 0; slot < kHistorySlots; ++slot)
        history[slot] = slot < HistorySlotsWritten ? HistoryWork[slot] : QString();
}
