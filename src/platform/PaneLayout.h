#pragma once

#include <QAbstractTextDocumentLayout>
#include <QBasicTimer>
#include <QFont>
#include <QTextOption>
#include <vector>

class QTextBlockFormat;

// The pane's layout of a document on the screen. Paragraphs stand one under the other as in
// Qt's own layout, but only the ones shown (and those around the caret or a click) are laid out;
// the others keep an estimated height until they come into view. Paragraphs are placed by a
// running sum of heights, so an edit that keeps a paragraph's height moves nothing after it and
// costs the same at the start of a 50 MB document as at its end.
//
// Tables and floating frames are beyond it: a document holding any is left to Qt's layout.
// Printing never comes here either: QTextDocument::print lays out its own copy.
class PaneLayout : public QAbstractTextDocumentLayout {
    Q_OBJECT
    // Read and written by name by Qt's text widgets.
    Q_PROPERTY(int cursorWidth READ cursorWidth WRITE setCursorWidth)

public:
    explicit PaneLayout(QTextDocument* document);

    // Whether this layout can show `document`: only a flow of paragraphs, no tables or frames.
    static bool canShow(const QTextDocument& document);

    void draw(QPainter* painter, const PaintContext& context) override;
    int hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame* frame) const override;
    QRectF blockBoundingRect(const QTextBlock& block) const override;

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

    bool canLayOut() const;
    Settings currentSettings() const;
    void resetAll();
    const Margins& marginsOf(const QTextBlock& block) const;
    qreal gapAbove(const QTextBlock& block) const;
    qreal estimateTextHeight(const QTextBlock& block) const;
    // Lays the paragraph out, places it at its current top and records its height.
    void layOutBlock(const QTextBlock& block, int number) const;
    void ensureLaidOut(const QTextBlock& block, int number) const;
    // Lays out the paragraphs within a screen or so of `block`, so that scrolling to it and
    // painting there moves nothing that is already on the screen.
    void ensureLaidOutAround(const QTextBlock& block, int number) const;
    // The top of the paragraph's text (below the space above it), and puts its layout there.
    qreal placeLayout(const QTextBlock& block, int number) const;
    void drawBlock(QPainter* painter, const PaintContext& context, const QTextBlock& block) const;
    void drawListMarker(QPainter* painter, const PaintContext& context, const QTextBlock& block,
                        const QTextCharFormat* selectionFormat) const;
    int hitTestBlock(const QTextBlock& block, const QPointF& point, Qt::HitTestAccuracy accuracy,
                     bool* exact) const;

    // Heights of the paragraphs by number (space above included) and their running sums.
    void setHeight(int number, qreal height) const;
    qreal topOf(int number) const;
    int blockAt(qreal y) const;
    void rebuildSums() const;
    qreal totalHeight() const;
    void heightsChangedBelow(qreal y) const;

    Settings settings_;
    qreal left_ = 0;
    qreal top_ = 0;
    qreal bottom_ = 0;
    qreal horizontalMargins_ = 0;
    qreal contentWidth_ = 0;
    qreal lineSpacing_ = 0;
    qreal averageCharWidth_ = 0;
    int cursorWidth_ = 1;

    mutable std::vector<float> heights_;
    mutable std::vector<float> gaps_;
    mutable std::vector<bool> exact_;
    mutable std::vector<double> sums_; // Fenwick tree over heights_
    mutable std::vector<Margins> marginsByFormat_;
    mutable std::vector<bool> marginsKnown_;
    mutable qreal widest_ = 0;
    mutable qreal changedBelow_ = -1;
    mutable QSizeF reportedSize_;
    mutable QBasicTimer notifyTimer_;
};
