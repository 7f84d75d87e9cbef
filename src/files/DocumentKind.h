#pragma once

#include <QString>

class QTextDocument;

// How a file is read or written, told by its name: ".rtf" anywhere in the lower-cased name is
// rich text, else ".htm" anywhere is HTML, else plain text.
enum class DocumentKind { RichText, Html, PlainText };

DocumentKind documentKindOf(const QString& fileName);

// True when the document holds anything plain text cannot keep: more than one character
// format, paragraph formats, lists, pictures or tables.
bool hasFormatting(const QTextDocument& document);
