#pragma once

#include <QList>
#include <QString>

namespace tradevane {

// One line of the message, with the stock it is about: what a channel that lists the alerts one
// by one (the webhook) sends besides the text.
struct AlertItem
{
    int stock = 0; // 1..10
    QString symbol; // without its padding
    QString line; // as in the message, without CR LF
};

// The composed message: the text the log and the mail get, and its alert lines one by one.
struct AlertMessage
{
    QString text; // header and lines; empty when no line is due
    QList<AlertItem> alerts;

    bool isEmpty() const { return text.isEmpty(); }
};

} // namespace tradevane
