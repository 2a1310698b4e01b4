#include "RecordingObserver.h"

#include "platform/Clock.h"

using namespace tradevane;

void RecordingObserver::clearQuoteDisplay()
{
    price.fill({});
    change.fill({});
    symbolRed.fill(false);
}

void RecordingObserver::setStatus(const QString& text)
{
    statusHistory.append({now(), text});
    if (onStatus)
        onStatus(text);
}

void RecordingObserver::showQuoteRow(int stock, const Quote& quote)
{
    price[stock - 1] = quote.last;
    change[stock - 1] = quote.change;
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
