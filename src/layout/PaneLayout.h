#pragma once

#include "layout/HeightIndex.h"
#include "layout/ParagraphLines.h"
#include "layout/TableBand.h"

#include <QAbstractTextDocumentLayout>
#include <QBasicTimer>
#include <QFont>
#include <QTextLayout>
#include <QTextOption>
#include <QTextTableFormat>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

class QTextBlockFormat;
class QTextTable;

// The pane's layout of a document on the screen. Paragraphs stand one under the other as in
// Qt's own layout, but only the ones shown (and those around the caret or a click) are laid out;
// the others keep an estimated height until they come into view. Paragraphs are placed by a
// running sum of heights, so an edit that keeps a paragraph's height moves nothing after it and
// costs the same at the start of a 50 MB document as at its end.
//
// A paragraph of more than `longParagraph` characters is laid out in pieces of a few thousand
// characters, each starting a line of its own, and only the pieces shown are laid out: a
// megabyte on one line costs no more than a page of text. Qt's text widgets place the caret
// and move it by lines through the paragraph's own layout, which such a paragraph never gets;
// the pane does that there itself, with caretRect() and lineAt().
//
// Tables stand in the column as paragraphs do, laid out by bands of rows (TableBand): a row and
// those its cells span into. A band's height counts in the index at its first paragraph, the
// others of the band counting none, so a table of a hundred thousand rows is estimated at first,
// laid out a band at a time as it is shown, and an edit in a cell lays out its band alone.
// Paragraphs in cells are laid out as any other (ParagraphLines), their tab stops counting from
// the cell's edge. Tab stops are given to Qt's text layout measured from each line's start.
class PaneLayout : public QAbstractTextDocumentLayout {
    Q_OBJECT
    // Read and written by name by Qt's text widgets.
    Q_PROPERTY(int cursorWidth READ cursorWidth WRITE setCursorWidth)

public:
    explicit PaneLayout(QTextDocument* document);

    void draw(QPainter* painter, const PaintContext& context) override;
    int hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame* frame) const override;
    QRectF blockBoundingRect(const QTextBlock& block) const override;

    static constexpr int longParagraph = ParagraphLines::longParagraph;
    // Whether `position` lies in a paragraph laid out in pieces.
    bool inLongParagraph(int position) const;
    // Where the caret stands at `position`, laying out what is needed to know.
    QRectF caretRect(int position) const;
    // The first position of the line that holds `position`, and the position at its end.
    std::pair<int, int> lineAt(int position) const;
    // How far right of the page's text the column holding the paragraph at `position` starts:
    // 0, or the left edge of the content of the table cell holding it.
    qreal columnLeft(int position) const;
    // Tells the text widget the document's size at once instead of when the event loop turns.
    void reportSize();
    // Lays out what a view of [top, bottom) shows and a screen around it, before it is painted.
    // Returns how far that moved the text at the view's top down, for the view to follow it, so
    // that estimated heights turning into real ones above the view never move what is seen.
    qreal layOutView(qreal top, qreal bottom);

    // Where the caret is drawn in paragraphs laid out in pieces, or -1 for nowhere, whatever the
    // text widget's paint context says: the pane blinks the caret there itself (PaneBlink).
    void setPieceCaret(int position) { pieceCaret_ = position; }

    int cursorWidth() const { return cursorWidth_; }
    void setCursorWidth(int width) { cursorWidth_ = width; }

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;
    void timerEvent(QTimerEvent* event) override;

private:
    // Everything outside the paragraphs that their layout depends on; when any of it changes,
    // every paragraph is laid out anew.
    struct Settings {
        qreal pageWidth = -1;
        QFont font;
        QTextOption option;
        QTextFrameFormat frame;
        qreal indentWidth = 0;
        qreal scale = 1;
        bool operator==(const Settings& other) const;
    };
    struct Margins {
        qreal top = 0;
        qreal bottom = 0;
    };
    struct Piece {
        int start = 0; // in the paragraph's text
        int length = 0;
        float height = 0;
        std::unique_ptr<QTextLayout> layout; // none until shown
    };
    struct LongParagraph {
        int length = 0;  // of the paragraph's text the pieces were cut from
        qreal width = 0; // of the column it stands in
        std::vector<Piece> pieces;
    };
    // A table of the page's column, and its bands.
    struct TableState {
        QTextTable* table = nullptr;
        int firstBlock = 0;
        int lastBlock = 0;
        int rows = 0;
        int columns = 0;
        QTextTableFormat format;
        TableGeometry geometry;
        qreal x = 0;                // of its left edge, from the page's
        std::vector<int> bandRow;   // the first row of each band
        std::vector<int> bandBlock; // the number of each band's first paragraph
        std::unordered_map<int, TableBand> laid;
    };

    bool canLayOut() const;
    Settings currentSettings() const;
    void resetAll();
    Margins marginsOf(const QTextBlock& block) const;
    qreal gapAbove(const QTextBlock& block) const;
    qreal estimateTextHeight(const QTextBlock& block) const;
    // Lays the paragraph out, places it at its current top and records its height.
    void layOutBlock(const QTextBlock& block, int number) const;
    // Lays out `text`, the paragraph's or a piece's, in `layout`.
    qreal layOutLines(QTextLayout& layout, const QString& text, const QTextBlockFormat& format,
                      Qt::LayoutDirection direction, bool firstPiece) const;
    void ensureLaidOut(const QTextBlock& block, int number) const;
    // Lays out the paragraphs within a screen or so of `block`, so that scrolling to it and
    // painting there moves nothing that is already on the screen.
    void ensureLaidOutAround(const QTextBlock& block, int number) const;
    // The top of the paragraph's text (below the space above it), and puts its layout there.
    qreal placeLayout(const QTextBlock& block, int number) const;
    void drawBlock(QPainter* painter, const PaintContext& context, const QTextBlock& block) const;
    // The offset in `layout` nearest to `inside` (a point relative to the layout's origin).
    static int offsetInLayout(const QTextLayout& layout, const QPointF& inside,
                              Qt::HitTestAccuracy accuracy, bool* exact);
    int hitTestBlock(const QTextBlock& block, const QPointF& point, Qt::HitTestAccuracy accuracy,
                     bool* exact) const;

    // Long paragraphs (PaneLayoutPieces.cpp).
    bool isLong(const QTextBlock& block) const;
    // The paragraph's pieces, cut anew for a column `width` wide unless that is negative.
    LongParagraph& piecesOf(const QTextBlock& block, qreal width) const;
    void cutPieces(const QTextBlock& block, int from, int to, std::vector<Piece>& into) const;
    static qreal piecesHeight(const LongParagraph& paragraph);
    // The character formats of [from, from + length) of the document, from `from` on.
    QList<QTextLayout::FormatRange> formatsOf(int from, int length) const;
    // Lays out the piece if it is not, keeping the paragraph's height up to date.
    void layOutPiece(const QTextBlock& block, int number, LongParagraph& paragraph,
                     size_t index) const;
    // Lays out the piece anew with the text and formats given.
    void layOutPiece(const QTextBlock& block, int number, LongParagraph& paragraph, size_t index,
                     const QString& text, const QList<QTextLayout::FormatRange>& formats) const;
    struct EditedPiece {
        QString text;
        QList<QTextLayout::FormatRange> formats;
    };
    // The text and formats of a piece laid out as `old` after an edit at `offset` in it, which
    // removed `removed` characters and added the `added` now at `at` in the document.
    EditedPiece editedPiece(const QTextLayout& old, int offset, int removed, int at,
                            int added) const;
    // The piece that holds the paragraph offset, and its top below the paragraph's text top.
    size_t pieceAt(const LongParagraph& paragraph, int offset, qreal* top) const;
    size_t pieceAtY(const LongParagraph& paragraph, qreal y, qreal* top) const;
    void layOutPiecesAround(const QTextBlock& block, int number, LongParagraph& paragraph,
                            size_t index) const;
    void layOutPiecesBetween(const QTextBlock& block, int number, qreal from, qreal to) const;
    float estimatePieceHeight(int length) const;
    // Enter in a paragraph laid out in pieces: the pieces on either side of the new paragraph
    // mark go to the paragraph they are now in, instead of both being cut and laid out anew.
    void followSplit(const QTextBlock& first, const QTextBlock& second) const;
    // Follows an edit inside the paragraph; false when it has to be cut into pieces anew.
    bool followEdit(const QTextBlock& block, int offset, int added) const;
    void drawPieces(QPainter* painter, const PaintContext& context, const QTextBlock& block,
                    int number, QPointF origin) const;
    int hitTestPieces(const QTextBlock& block, int number, const QPointF& point,
                      Qt::HitTestAccuracy accuracy, bool* exact) const;
    // The piece holding `position`, laid out, with its layout placed on the page.
    const Piece* placedPiece(const QTextBlock& block, int number, int position) const;

    // Tables (PaneLayoutTables.cpp).
    void findTables();
    // The table holding paragraph `number`, or null for a paragraph of the page's column.
    TableState* tableOf(int number) const;
    int bandOf(const TableState& table, int number) const;
    int bandEnd(const TableState& table, int band) const; // its last paragraph's number
    // The first and last paragraph of what stands in the column at paragraph `number`: the
    // paragraph itself, or its table's band.
    std::pair<int, int> unitAt(int number) const;
    void placeTable(TableState& table);
    void estimateTable(TableState& table) const;
    qreal estimateBand(const TableState& table, int band) const;
    const TableBand& ensureBand(TableState& table, int band) const;
    void layOutBand(TableState& table, int band) const;
    // Lays out a paragraph of a cell in a column `width` wide; the height of its lines.
    qreal layOutCellParagraph(const QTextBlock& block, qreal width) const;
    BandContext bandContext() const;
    // The top of a band, and where a paragraph of one stands.
    qreal bandTop(const TableState& table, int band) const;
    QPointF cellParagraphAt(const QTextBlock& block, int number) const;
    // Whether the tables of the page's column are still those it had.
    bool sameTables() const;
    // Follows an edit of the paragraphs [first, last], [first, oldLast] before it: the tables
    // after it move, a table whose rows or columns changed is estimated anew, and the bands
    // the edit was in are laid out again (or estimated, when they were not laid out).
    void followTables(int first, int last, int oldLast);
    void drawBand(QPainter* painter, const PaintContext& context, TableState& table,
                  int band) const;
    int hitTestBand(TableState& table, int band, const QPointF& point, Qt::HitTestAccuracy accuracy,
                    bool* exact) const;
    // Where the paragraph's text starts: the top left corner of its first line's box.
    QPointF originOf(const QTextBlock& block, int number) const;
    // Where the empty paragraph after a table stands: beside the table's bottom right corner.
    QPointF besideTable(const QTextBlock& block, int number) const;

    // Sets a paragraph's height (space above included) in the index, noting what it moved.
    void setHeight(int number, qreal height, bool countAbove = true) const;
    // Notes how far a paragraph or piece that stood wholly above the view's top grew.
    void countShift(qreal top, qreal oldHeight, qreal delta) const;
    qreal topOf(int number) const { return heights_.top(size_t(number)); }
    int blockAt(qreal y) const { return int(heights_.at(y - top_)); }
    float gapOf(int number) const { return heights_.gap(size_t(number)); }
    void heightsChangedBelow(qreal y) const;

    Settings settings_;
    ParagraphLines::Settings lines_;
    qreal left_ = 0;
    qreal top_ = 0;
    qreal bottom_ = 0;
    qreal horizontalMargins_ = 0;
    qreal contentWidth_ = 0;
    qreal lineSpacing_ = 0;
    qreal averageCharWidth_ = 0;
    int cursorWidth_ = 1;
    std::optional<int> pieceCaret_;

    // The paragraphs by number.
    mutable HeightIndex heights_;
    mutable std::vector<Margins> marginsByFormat_;
    mutable std::vector<bool> marginsKnown_;
    // By QTextBlock::fragmentIndex(), which stays while the paragraph does.
    mutable std::unordered_map<int, LongParagraph> long_;
    mutable std::vector<TableState> tables_;
    mutable qreal widest_ = 0;
    mutable qreal changedBelow_ = -1;
    // While layOutView runs: the view's top, and how far what stands there has moved down.
    mutable qreal viewTop_ = -1;
    mutable qreal shiftAbove_ = 0;
    mutable QSizeF reportedSize_;
    mutable QBasicTimer notifyTimer_;
};
