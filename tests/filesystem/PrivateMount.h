#pragma once

#include <QString>

// A small tmpfs that only this process sees. Enter() must run before any other thread starts: it
// moves the process into a user and a mount namespace of its own.
namespace PrivateMount {

// Gives the folder of the new file system, or an empty string and `error`.
QString enter(qint64 sizeBytes, QString& error);

// Makes the file system read-only, or writable again.
bool setReadOnly(const QString& folder, bool readOnly);

} // namespace PrivateMount
