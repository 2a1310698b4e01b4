#include "RecordingWindow.h"

#include "platform/Clock.h"

void RecordingWindow::ClearQuoteDisplay()
{
    price.fill({});
    change.fill({});
    symbolRed.fill(false);
}

void RecordingWindow::SetLight(Light light, const QString& bitmap)
{
    lights.append({light, bitmap});
}

void RecordingWindow::SetStatus(const QString& text)
{
    statusHistory.append({Now(), text});
    if (onStatus)
        onStatus(text);
}

void RecordingWindow::ShowQuoteRow(int stock, const Quote& quote)
{
    price[stock] = quote.Last;
    change[stock] = quote.Change;
}

QList<RecordingWindow::Status> RecordingWindow::statuses(const QString& text) const
{
    QList<Status> found;
    for (const Status& s : statusHistory)
        if (s.text == text)
            found.append(s);
    return found;
}
