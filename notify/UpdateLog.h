#pragma once

#include <QString>

// The activity log "activlog.dat" in the program folder: plain text, CR LF lines.
QString LogFilePath();

// Writes strLogString and CR LF to the end of the log, then empties strLogString. An empty
// strLogString leaves the file untouched. When the write fails, a "File Write Error" note is
// added and the write is tried once more; if that fails too the text stays pending.
void AppendLog();

// Empties the log (it then holds exactly CR LF). Notify = 1 confirms with "Done !".
void EraseLog(qint16 Notify);

// Appends `note`, CR LF, a line of 36 "=" and CR LF to strLogString: the form of every error note.
void AppendNote(const QString& note);

// The whole log as it stands in the file; empty when it is missing or unreadable.
QString ReadLogFile();
