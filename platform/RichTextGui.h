#pragma once

#include <QString>

#include <optional>

class QByteArray;
class QTextDocument;
class QTextEdit;

// The rich-text documents beside the program (help pages, licence) are RTF as word processors
// write it. Paragraphs and alignment, bold, italic, underline, font sizes and colours are kept;
// font and style tables, document information, pictures and other embedded objects are left
// out. Bytes that are not RTF are shown as plain text.

// Replaces the content of `document` with `bytes`.
void ReadRichText(const QByteArray& bytes, QTextDocument& document);

// Shows the file at `path` in `view`. A missing or unreadable file leaves the view empty and
// usable, and gives false.
bool LoadRichTextFile(QTextEdit* view, const QString& path);

// The text of the file at `path` without its formatting (for a terminal); nothing when it cannot
// be read.
std::optional<QString> RichTextFileAsPlainText(const QString& path);
