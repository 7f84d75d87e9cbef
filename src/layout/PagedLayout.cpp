#include "layout/PagedLayout.h"

#include "model/DocumentProperties.h"

#include "layout/PaneLayout.h"
#include "layout/ParagraphPainting.h"
#include "layout/TableBand.h"
#include "layout/TableGeometry.h"
#include "layout/TablePainting.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>
#include <QtMath>

#include <deque>
#include <memory>
#include <utility>
#include <vector>

namespace {

// Borders standing on the edge of a page's text are drawn with it.
constexpr qreal slack = 2;

using PaintContext = QAbstractTextDocumentLayout::PaintContext;

PaintContext paperContext(const QRectF& clip) {
    // Shared by every paragraph: making a palette costs more than drawing a short line.
    static const QPalette ink = [] {
        QPalette palette;
        palette.setColor(QPalette::Text, Qt::black);
        return palette;
    }();
    PaintContext context;
    context.palette = ink;
    context.cursorPosition = -1;
    context.clip = clip;
    return context;
}

// The character formats of [from, to) of the paragraph at `blockPosition`, read on from `it`,
// which stays at the fragment that goes on past `to`.
QList<QTextLayout::FormatRange> formatsOf(QTextBlock::iterator& it, int blockPosition, int from,
                                          int to) {
    QList<QTextLayout::FormatRange> formats;
    for (; !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int start = fragment.position() - blockPosition;
        const int end = start + fragment.length();
        if (end <= from)
            continue;
        if (start >= to)
            break;
        const int a = qMax(start, from);
        const int b = qMin(end, to);
        formats.append({a - from, b - a, fragment.charFormat()});
        if (end > to)
            break;
    }
    return formats;
}

Qt::LayoutDirection directionOf(const QTextBlock& block, const QTextOption& option) {
    // Finding it in the text would read all of a paragraph that may hold megabytes.
    Qt::LayoutDirection direction = block.blockFormat().layoutDirection();
    if (direction == Qt::LayoutDirectionAuto)
        direction = option.textDirection();
    return direction == Qt::LayoutDirectionAuto ? Qt::LeftToRight : direction;
}

} // namespace

// A paragraph laid out on paper: whole, or a long one in pieces, each with its top below the
// paragraph's.
struct PagedLayout::Drawn {
    QTextBlock block;
    std::vector<std::unique_ptr<QTextLayout>> parts;
    std::vector<qreal> tops;
    qreal height = 0;
    bool pieces = false;

    // Lays the paragraph out in a column `width` wide, its lines placed on pages by `paging`
    // unless that is null.
    void layOut(const QTextBlock& paragraph, qreal width, const ParagraphLines::Settings& lines,
                const ParagraphLines::Paging* paging) {
        block = paragraph;
        parts.clear();
        tops.clear();
        height = 0;
        qreal widest = 0;
        const int length = block.length() - 1;
        pieces = length > ParagraphLines::longParagraph;
        if (!pieces) {
            auto layout = std::make_unique<QTextLayout>(block);
            // Drawn right after, with the glyphs its layout found instead of shaping them anew.
            layout->setCacheEnabled(true);
            height =
                ParagraphLines::layOut(*layout, block.text(), block.blockFormat(),
                                       block.textDirection(), true, lines, width, widest, paging);
            parts.push_back(std::move(layout));
            tops.push_back(0);
            return;
        }
        const QString text = block.text();
        const int position = block.position();
        const QTextBlockFormat format = block.blockFormat();
        const Qt::LayoutDirection direction = directionOf(block, lines.option);
        QTextBlock::iterator fragments = block.begin();
        for (int from = 0; from < length;) {
            const int to = ParagraphLines::pieceEnd(*lines.document, position, from, length);
            const QString piece = text.mid(from, to - from);
            auto layout = std::make_unique<QTextLayout>(piece, lines.document->defaultFont());
            layout->setCacheEnabled(true);
            layout->setFormats(formatsOf(fragments, position, from, to));
            ParagraphLines::Paging onPages;
            if (paging)
                onPages = {paging->top + height, paging->place};
            const qreal pieceHeight =
                ParagraphLines::layOut(*layout, piece, format, direction, from == 0, lines, width,
                                       widest, paging ? &onPages : nullptr);
            parts.push_back(std::move(layout));
            tops.push_back(height);
            height += pieceHeight;
            from = to;
        }
    }

    void draw(QPainter* painter, QPointF at, const QRectF& clip) const {
        for (size_t i = 0; i < parts.size(); ++i) {
            QTextLayout& layout = *parts[i];
            layout.setPosition(at + QPointF(0, tops[i]));
            if (!pieces) {
                ParagraphPainting::Settings settings;
                settings.frame = clip;
                ParagraphPainting::draw(painter, paperContext(clip), block, layout, settings);
                continue;
            }
            const QPen pen = painter->pen();
            painter->setPen(Qt::black);
            layout.draw(painter, QPointF(), {}, clip);
            painter->setPen(pen);
        }
    }
};

PagedLayout::PagedLayout(const Sheet& sheet, QPainter* painter,
                         std::function<void(int page, bool more)> pageEnded)
    : sheet_(sheet), painter_(painter), pageEnded_(std::move(pageEnded)) {
    width_ = sheet.page.width() - sheet.margins.left() - sheet.margins.right();
    y_ = textTop(0);
}

int PagedLayout::pageOf(qreal y) const {
    return qMax(0, int(qFloor(y / sheet_.page.height())));
}

qreal PagedLayout::textTop(int page) const {
    return page * sheet_.page.height() + sheet_.margins.top();
}

qreal PagedLayout::textBottom(int page) const {
    return (page + 1) * sheet_.page.height() - sheet_.margins.bottom();
}

qreal PagedLayout::place(qreal y, qreal height) const {
    int page = pageOf(y);
    if (y >= textBottom(page))
        y = textTop(++page);
    y = qMax(y, textTop(page));
    // As in Qt's layout: what is taller than a page's text starts where it is.
    const qreal room = textBottom(0) - textTop(0);
    while (y + height > textBottom(page) && height <= room)
        y = textTop(++page);
    return y;
}

void PagedLayout::newPage() {
    // A page's first paragraph asking for a new page has it already.
    const int page = pageOf(y_);
    if (y_ > textTop(page))
        y_ = textTop(page + 1);
}

void PagedLayout::drawOnPages(qreal top, qreal bottom,
                              const std::function<void(const QRectF& clip)>& draw) {
    const int first = pageOf(top);
    const int last = pageOf(qMax(top, bottom - 0.01));
    lastPage_ = qMax(lastPage_, last);
    if (!painter_)
        return;
    for (int page = qMax(first, page_); page <= last; ++page) {
        while (page_ < page)
            endPage(true);
        // The page's place and clip are set once for all that is drawn on it: each change of
        // them is written into a PDF page.
        if (!pageStarted_) {
            painter_->save();
            painter_->translate(0, -page * sheet_.page.height());
            painter_->setClipRect(pageClip(page), Qt::IntersectClip);
            pageStarted_ = true;
            pageSection_ = section_;
        }
        draw(pageClip(page));
    }
}

QRectF PagedLayout::pageClip(int page) const {
    return QRectF(0, textTop(page) - slack, sheet_.page.width(),
                  textBottom(page) - textTop(page) + 2 * slack);
}

void PagedLayout::endPage(bool more) {
    if (pageStarted_) {
        painter_->restore();
        pageStarted_ = false;
    }
    if (pageEnded_)
        pageEnded_(page_ + 1, more);
    if (more)
        ++page_;
}

int PagedLayout::finish() {
    if (painter_) {
        while (page_ < lastPage_)
            endPage(true);
        endPage(false);
    }
    return lastPage_ + 1;
}

ParagraphLines::Settings PagedLayout::settingsOf(const QTextDocument& document) {
    // A paragraph's text layout asks its document's layout to size and draw pictures: a
    // document without one would make Qt's, which lays all of it out. The pane's costs nothing
    // while nothing shows it.
    if (!document.findChild<QAbstractTextDocumentLayout*>(QString(), Qt::FindDirectChildrenOnly)) {
        auto& given = const_cast<QTextDocument&>(document);
        given.setDocumentLayout(new PaneLayout(&given));
    }
    return {&document, document.defaultTextOption(), 1};
}

void PagedLayout::flow(const QTextDocument& document) {
    Run run;
    flowFrame(document.rootFrame()->begin(), settingsOf(document), run);
}

void PagedLayout::flowOn(const QTextDocument& part) {
    flowFrame(part.rootFrame()->begin(), settingsOf(part), partsRun_);
}

void PagedLayout::flowFrame(QTextFrame::iterator it, const ParagraphLines::Settings& lines,
                            Run& run) {
    for (; !it.atEnd(); ++it) {
        if (run.nextSection > 0)
            section_ = std::exchange(run.nextSection, 0);
        if (QTextFrame* frame = it.currentFrame()) {
            run.afterBlock = false;
            run.afterTable = false;
            const auto* table = qobject_cast<const QTextTable*>(frame);
            if (!table) {
                Run inside;
                flowFrame(frame->begin(), lines, inside);
                continue;
            }
            const auto breaks = frame->frameFormat().pageBreakPolicy();
            if (breaks & QTextFormat::PageBreak_AlwaysBefore)
                newPage();
            flowTable(*table, lines);
            if (breaks & QTextFormat::PageBreak_AlwaysAfter)
                newPage();
            run.afterTable = true;
            continue;
        }
        const QTextBlock block = it.currentBlock();
        const QTextBlockFormat format = block.blockFormat();
        run.nextSection = format.intProperty(DocumentProperty::SectionEnd);
        const ParagraphLines::Margins margins = ParagraphLines::marginsOf(format, 1);
        const qreal gap = run.afterBlock ? qMax(margins.top, run.previousBottom) : 0;
        const bool besideTable = run.afterTable;
        run.afterBlock = true;
        run.afterTable = false;
        run.previousBottom = margins.bottom;
        if (!block.isVisible())
            continue;
        if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            newPage();
        // An empty paragraph beside a table takes no room and shows nothing on paper.
        if (ParagraphLines::hiddenBeforeTable(block)) {
            y_ += gap;
            continue;
        }
        if (besideTable && block.length() == 1)
            continue;
        flowParagraph(block, gap, lines);
        if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter)
            newPage();
    }
}

void PagedLayout::flowParagraph(const QTextBlock& block, qreal gap,
                                const ParagraphLines::Settings& lines) {
    // A long paragraph is drawn a piece at a time, each piece forgotten once drawn.
    const qreal top = y_ + gap;
    const ParagraphLines::Paging paging{top, [this](qreal y, qreal h) { return place(y, h); }};
    if (block.length() - 1 <= ParagraphLines::longParagraph) {
        Drawn drawn;
        drawn.layOut(block, width_, lines, &paging);
        drawOnPages(top, top + drawn.height, [&](const QRectF& clip) {
            drawn.draw(painter_, QPointF(sheet_.margins.left(), top), clip);
        });
        y_ = top + drawn.height;
        return;
    }
    flowLongParagraph(block, gap, lines);
}

void PagedLayout::flowLongParagraph(const QTextBlock& block, qreal gap,
                                    const ParagraphLines::Settings& lines) {
    const QString text = block.text();
    const int length = int(text.size());
    const int position = block.position();
    const QTextBlockFormat format = block.blockFormat();
    const Qt::LayoutDirection direction = directionOf(block, lines.option);
    QTextBlock::iterator fragments = block.begin();
    qreal top = y_ + gap;
    qreal widest = 0;
    for (int from = 0; from < length;) {
        const int to = ParagraphLines::pieceEnd(*lines.document, position, from, length);
        const QString piece = text.mid(from, to - from);
        QTextLayout layout(piece, lines.document->defaultFont());
        layout.setCacheEnabled(true);
        layout.setFormats(formatsOf(fragments, position, from, to));
        const ParagraphLines::Paging paging{top, [this](qreal y, qreal h) { return place(y, h); }};
        const qreal height = ParagraphLines::layOut(layout, piece, format, direction, from == 0,
                                                    lines, width_, widest, &paging);
        layout.setPosition(QPointF(sheet_.margins.left(), top));
        drawOnPages(top, top + height, [&](const QRectF& clip) {
            const QPen pen = painter_->pen();
            painter_->setPen(Qt::black);
            layout.draw(painter_, QPointF(), {}, clip);
            painter_->setPen(pen);
        });
        top += height;
        from = to;
    }
    y_ = top;
}

QRectF PagedLayout::flowTable(const QTextTable& table, const ParagraphLines::Settings& lines) {
    const auto measure = [&](const QTextTableCell& cell) {
        return TableBands::measureCell(*lines.document, cell, lines.option);
    };
    const TableGeometry geometry(table, width_, 1, measure);
    const qreal x = geometry.offsetIn(sheet_.margins.left(), width_);
    const std::vector<int> bands = TableBands::bandRows(table);
    const qreal tableTop = y_;
    const qreal room = textBottom(0) - textTop(0);
    for (size_t b = 0; b < bands.size(); ++b) {
        const int lastRow = (b + 1 < bands.size() ? bands[b + 1] : table.rows()) - 1;
        std::deque<Drawn> drawn; // never moved: their layouts stay where they are
        qreal top = y_;
        bool onPages = false;
        BandContext context;
        context.measure = measure;
        context.paragraph = [&](const QTextBlock& block, qreal width, QPointF at, size_t index) {
            if (drawn.size() <= index)
                drawn.resize(index + 1);
            const ParagraphLines::Paging paging{top + at.y(),
                                                [this](qreal y, qreal h) { return place(y, h); }};
            drawn[index].layOut(block, width, lines, onPages ? &paging : nullptr);
            return drawn[index].height;
        };
        TableBand band = TableBands::layOut(geometry, x, bands[b], lastRow, 0, context);
        // A band that does not fit in what is left of the page starts the next one; one taller
        // than a page is laid out again with the lines of its cells on pages.
        const qreal placed = place(top, band.height);
        if (placed != top) {
            top = placed;
        } else if (band.height > room || top + band.height > textBottom(pageOf(top))) {
            onPages = true;
            drawn.clear();
            band = TableBands::layOut(geometry, x, bands[b], lastRow, 0, context);
        }
        drawOnPages(top, top + band.height, [&](const QRectF& clip) {
            TablePainting::drawBand(*painter_, band, top, clip, [&](size_t i, QPointF at) {
                if (i < drawn.size() && !drawn[i].parts.empty())
                    drawn[i].draw(painter_, at, clip);
            });
        });
        y_ = top + band.height;
    }
    return QRectF(x, tableTop, geometry.width(), y_ - tableTop);
}
