#pragma once

#include <QString>

class QByteArray;
class QTextDocument;
class QTextEdit;

namespace tradevane {

// The rich-text documents beside the program (help pages, licence) in a text document; bytes
// that are not RTF are shown as plain text.

// Replaces the content of `document` with `bytes`.
void readRichText(const QByteArray& bytes, QTextDocument& document);

// Shows the file at `path` in `view`. A missing or unreadable file leaves the view empty and
// usable, and gives false.
bool loadRichTextFile(QTextEdit* view, const QString& path);

} // namespace tradevane
