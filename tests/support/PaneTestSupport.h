#pragma once

#include <QPoint>
#include <QString>

#include <memory>
#include <string>

class PaneLayout;
class QMimeData;
class QPrinter;
class QTextDocument;
class RichTextBox;

// What the pane's tests share: making and driving a pane, and reading what it holds.
namespace panetest {

// Shows the pane at a size that wraps ordinary paragraphs, and paints it once.
void show(RichTextBox& pane, int width = 500, int height = 300);
// The pane's own layout, or null when the document went to Qt's.
PaneLayout* layoutOf(const RichTextBox& pane);
// A point of the document (as the layout places it) where it is in the pane's viewport.
QPoint inView(const RichTextBox& pane, QPointF point);
// Selects `length` characters from `start`, as offsets in Text().
void select(RichTextBox& pane, int start, int length);
// Whether the caret, drawn where the pane's layout puts it, is inside the viewport.
bool caretShown(const RichTextBox& pane);

// What Copy, Cut and dragging put on the clipboard, and what Paste and a drop do with it.
std::unique_ptr<QMimeData> copySelection(RichTextBox& pane);
void paste(RichTextBox& pane, const QMimeData& data);
void pasteHtml(RichTextBox& pane, const QString& html);

// Replaces `removed` characters at `position` with `text`, as one edit.
void edit(QTextDocument& document, int position, const QString& text, int removed = 0);
// Where two texts part, with a little of each from there; empty when they are equal.
std::string difference(const QString& a, const QString& b);
// Words of about `size` characters in one paragraph, with now and then a character outside the
// first plane and a letter with a combining mark.
QString longParagraph(int size);

// Makes `printer` print to a PDF file at `path`.
void printToPdf(QPrinter& printer, const QString& path);

} // namespace panetest
