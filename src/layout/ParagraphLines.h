#pragma once

#include <QTextOption>

#include <functional>

class QTextBlock;
class QTextBlockFormat;
class QTextDocument;
class QTextLayout;

// Laying a paragraph's text out in lines, as Qt's own layout does less floats and pages, in a
// column of a given width: the page's text, or a table cell's content. Shared by the pane's
// layout and by the pages printed, so that a paragraph breaks alike on screen and on paper.
namespace ParagraphLines {

// What lines depend on beyond their paragraph.
struct Settings {
    const QTextDocument* document = nullptr;
    QTextOption option; // the document's default
    qreal scale = 1;    // the device's dots per inch over the screen's
};

// Lines on pages: a line that would reach past its page's text goes to the next page's top.
struct Paging {
    qreal top = 0; // where the layout's top stands, from the first page's top
    // Where a line `height` tall that would start at `y` (from the first page's top) starts.
    std::function<qreal(qreal y, qreal height)> place;
};

// Lays `text` out in `layout`: the paragraph's text, or a piece of it starting a line
// (`firstPiece` when it starts the paragraph). Tab stops count from the column's edge. Returns
// the height of its lines (and of the ends of pages they skip, on pages); widens `widest` to the
// right end of the longest line.
qreal layOut(QTextLayout& layout, const QString& text, const QTextBlockFormat& format,
             Qt::LayoutDirection direction, bool firstPiece, const Settings& settings, qreal width,
             qreal& widest, const Paging* paging = nullptr);

// Paragraphs longer than this are laid out in pieces of a few thousand characters, each starting
// a line of its own, so that no text layout holds megabytes.
constexpr int longParagraph = 32768;
// Where the piece of the paragraph at `blockPosition` that starts at `from` (in the paragraph's
// text) ends: after a space near its length, never inside a pair of surrogates, at most `to`.
int pieceEnd(const QTextDocument& document, int blockPosition, int from, int to);

// Space above and below a paragraph, grown with the device's resolution as Qt's layout grows it.
struct Margins {
    qreal top = 0;
    qreal bottom = 0;
};
Margins marginsOf(const QTextBlockFormat& format, qreal scale);

// Left and right swap in right-to-left paragraphs unless the alignment says it is absolute.
Qt::Alignment visualAlignment(Qt::LayoutDirection direction, Qt::Alignment alignment);

// An empty paragraph just before a table or just after one takes no room of its own: Qt's layout
// puts the first on the table's top edge and the second beside its bottom right corner, so that
// a table inserted into a paragraph leaves no blank line above or below it.
bool hiddenBeforeTable(const QTextBlock& block);
bool hiddenAfterTable(const QTextBlock& block);
// Whether the paragraph comes right after a table in its column: it has no space above it.
bool followsTable(const QTextBlock& block);

} // namespace ParagraphLines
