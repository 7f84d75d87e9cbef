#pragma once

#include "layout/ParagraphLines.h"

#include <QMarginsF>
#include <QRectF>
#include <QSizeF>
#include <QTextFrame>

#include <functional>

class QPainter;
class QTextBlock;
class QTextDocument;
class QTextTable;

// A document laid out on pages one after the other, as the pane lays it out in its column: the
// same lines (ParagraphLines), tables (TableBand) and painting, with the lines and table rows
// that would reach past a page's text moved to the next page, and new pages where paragraphs
// ask for them. Each paragraph, piece of a long paragraph or band of table rows is drawn as soon
// as it is placed and then forgotten, so that a document of any length costs no more memory
// than a page of it, and time in proportion to its length.
class PagedLayout {
public:
    struct Sheet {
        QSizeF page;       // in the units the document is laid out in
        QMarginsF margins; // around the text on every page
    };
    // Draws with `painter`, or only counts pages when it is null. `pageEnded(number, more)` is
    // called as each page (from 1) is done, before anything is drawn on the next one.
    PagedLayout(const Sheet& sheet, QPainter* painter,
                std::function<void(int page, bool more)> pageEnded = {});

    // Lays out and draws `document` after what was laid out before. A document without a layout
    // of its own is given the pane's, which lays nothing out until it is shown.
    void flow(const QTextDocument& document);
    // As flow, with `part`'s first paragraph going on from the last paragraph flowed on before:
    // the space between them and the sections run on, so a document read and printed a part at
    // a time comes out as it would whole.
    void flowOn(const QTextDocument& part);
    // Ends the last page; returns how many pages there are.
    int finish();
    // How far from the first page's top the text laid out so far reaches.
    qreal end() const { return y_; }
    // The section (from 0) the page being drawn started in, for its headers and footers.
    int pageSection() const { return pageSection_; }

private:
    struct Drawn;
    // Where the paragraphs of a frame stand at the one laid out next.
    struct Run {
        bool afterBlock = false;
        bool afterTable = false;
        qreal previousBottom = 0; // the space below the paragraph before
        int nextSection = 0;      // a section ended with the paragraph before
    };
    static ParagraphLines::Settings settingsOf(const QTextDocument& document);
    void flowFrame(QTextFrame::iterator it, const ParagraphLines::Settings& lines, Run& run);
    void flowParagraph(const QTextBlock& block, qreal gap, const ParagraphLines::Settings& lines);
    void flowLongParagraph(const QTextBlock& block, qreal gap,
                           const ParagraphLines::Settings& lines);
    // Returns the table's left edge and the bottom of its last row.
    QRectF flowTable(const QTextTable& table, const ParagraphLines::Settings& lines);
    // Where something `height` tall that would start at `y` starts: on the next page when it
    // would reach past this one's text and fits on a page.
    qreal place(qreal y, qreal height) const;
    void newPage();
    // Draws what stands between `top` and `bottom` on each page it reaches, through `draw` with
    // the part of the page it may draw on.
    void drawOnPages(qreal top, qreal bottom, const std::function<void(const QRectF& clip)>& draw);
    // The part of a page drawn on: its text, and borders on its edges.
    QRectF pageClip(int page) const;
    // Ends the page being drawn, and starts the next when there is more.
    void endPage(bool more);
    int pageOf(qreal y) const;
    qreal textTop(int page) const;
    qreal textBottom(int page) const;

    Sheet sheet_;
    QPainter* painter_;
    std::function<void(int, bool)> pageEnded_;
    qreal width_ = 0;
    qreal y_ = 0;
    int page_ = 0; // the page being drawn, from 0
    int lastPage_ = 0;
    bool pageStarted_ = false; // whether the painter stands on the page being drawn
    int section_ = 0;          // the section of what is being laid out
    int pageSection_ = 0;      // the section of what started the page being drawn
    Run partsRun_;             // where flowOn goes on from
};
