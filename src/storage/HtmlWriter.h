#pragma once

#include <QByteArray>

class QTextDocument;

namespace HtmlWriter {
// The document as a small UTF-8 HTML page with its character formats and alignment. Tags are
// laid out so that removing them gives back the document's text line for line, which is how
// this program reads .htm files.
QByteArray write(const QTextDocument& document);
} // namespace HtmlWriter
