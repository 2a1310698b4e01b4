#pragma once

#include <QObject>
#include <QString>

namespace tradevane {

// The activity log "activlog.dat" in the program folder: plain text, CR LF lines.
QString logFilePath();

// The whole log as it stands in the file; empty when it is missing or unreadable.
QString readLogFile();

// The program's activity log: texts gather in the pending text and go to the file as one record
// when AppendLog flushes them. One object owns it; everything that logs is given it.
class ActivityLog : public QObject
{
    Q_OBJECT

public:
    // Adds to the pending text (the log's strLogString).
    void add(const QString& text) { m_pending += text; }

    // Appends `note`, CR LF, a line of 36 "=" and CR LF to the pending text: the form of every
    // error note.
    void appendNote(const QString& note);

    // Writes the pending text and CR LF to the end of the log, then empties it. Nothing pending
    // leaves the file untouched. When the write fails, a "File Write Error # <number> Log File" note
    // is added and the write is tried once more; if that fails too the text stays pending.
    // `number` is the stock whose step is being logged (11 after a loop over the stocks).
    void appendLog(int number);

    // Empties the log (it then holds exactly CR LF) and drops the pending text; `confirm` says
    // "Done !" in a box. A failure is noted as a write failure is, with `number`.
    void eraseLog(int number, bool confirm = false);

    const QString& pending() const { return m_pending; }
    void dropPending() { m_pending.clear(); }

signals:
    // A record went to the file (its text, without the CR LF that ends it).
    void appended(const QString& record);

private:
    QString m_pending;
};

} // namespace tradevane
