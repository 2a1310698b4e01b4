#include "RecordingObserver.h"

#include "platform/Clock.h"

using namespace tradevane;

void RecordingObserver::ClearQuoteDisplay()
{
    price.fill({});
    change.fill({});
    symbolRed.fill(false);
}

void RecordingObserver::SetStatus(const QString& text)
{
    statusHistory.append({Now(), text});
    if (onStatus)
        onStatus(text);
}

void RecordingObserver::ShowQuoteRow(int stock, const Quote& quote)
{
    price[stock - 1] = quote.Last;
    change[stock - 1] = quote.Change;
}

QList<RecordingObserver::Status> RecordingObserver::statuses(const QString& text) const
{
    QList<Status> found;
    for (const Status& s : statusHistory)
        if (s.text == text)
            found.append(s);
    return found;
}

int RecordingObserver::statusesStartingWith(const QString& text) const
{
    return static_cast<int>(std::count_if(statusHistory.cbegin(), statusHistory.cend(),
        [&](const Status& s) { return s.text.startsWith(text); }));
}
