#pragma once

#include <memory>

class QMimeData;
class QString;
class QTextCursor;
class QTextDocument;

// Rich text between the pane and other programs: a copy offers RTF (as text/rtf and
// application/rtf, which word processors look for) beside HTML and plain text, and a paste takes
// RTF first when it is offered. Pictures travel with their kept groups, so a picture copied from
// one document to another is written back as the file it came from had it.
namespace PaneClipboard {

// The selection as clipboard data; the RTF and HTML are made when a program asks for them.
QMimeData* copy(const QTextCursor& selection);

// The selection as a document of its own: every paragraph in its format, with the pictures,
// fields and footnotes it shows.
std::unique_ptr<QTextDocument> documentOf(const QTextCursor& selection);

// Inserts the RTF `source` offers in place of the selection, as one undo step; false, changing
// nothing, when it offers none.
bool pasteRtf(QTextCursor& at, const QMimeData& source);

// Inserts the rich text `source` offers (RTF, else HTML) in place of the selection, as one undo
// step; false, changing nothing, when it offers neither. Nothing the text names is read: a
// picture it does not carry itself shows as a box and keeps its name.
bool pasteRich(QTextCursor& at, const QMimeData& source);

// Inserts `html` in place of the selection, as one undo step, within the bounds of PastedHtml.
void pasteHtml(QTextCursor& at, const QString& html);

// Inserts `pasted` in place of the selection, as one undo step. Pasted at a paragraph's start,
// its first paragraph keeps its format, as the others do.
void insertDocument(QTextCursor& at, QTextDocument& pasted);

} // namespace PaneClipboard
