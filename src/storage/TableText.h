#pragma once

#include <QString>

class QTextDocument;

// How a document's tables read as text: a row on a line of its own, its cells after tabs.
namespace TableText {

// Puts a tab where each table cell starts that is not the first of its row, in a text of one
// character per position of the document (as toRawText and toPlainText give).
void markCells(const QTextDocument& document, QString& text);

} // namespace TableText
