#include "layout/PaneLayout.h"

#include "layout/ParagraphPainting.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QScreen>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>
#include <QTimerEvent>
#include <QtMath>
#include <climits>

namespace {
// How far around a paragraph that the caret or a click reaches is laid out for certain: more
// than a screen, so that painting there afterwards moves nothing.
constexpr qreal layOutAround = 1500;
// An edit to more paragraphs than this that were on the screen leaves them to be laid out when
// painted, instead of at once.
constexpr int layOutAtOnce = 256;
constexpr qreal unbounded = qreal(INT_MAX);

// The dots per inch Qt's layout counts lengths in: the screen's.
qreal screenDpi() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return qRound(screen->logicalDotsPerInchY());
    return 96;
}

bool sameOption(const QTextOption& a, const QTextOption& b) {
    return a.alignment() == b.alignment() && a.wrapMode() == b.wrapMode() &&
           a.flags() == b.flags() && a.tabStopDistance() == b.tabStopDistance() &&
           a.textDirection() == b.textDirection() && a.tabs() == b.tabs() &&
           a.useDesignMetrics() == b.useDesignMetrics();
}

// Pictures are drawn by the handler Qt's own layout uses, so they look the same in both. It
// keeps nothing of the document it serves, so one is shared by every pane.
QObject* pictureHandler() {
    static QTextDocument* const source = new QTextDocument;
    QTextObjectInterface* handler =
        source->documentLayout()->handlerForObject(QTextFormat::ImageObject);
    return dynamic_cast<QObject*>(handler);
}
} // namespace

bool PaneLayout::Settings::operator==(const Settings& other) const {
    return pageWidth == other.pageWidth && font == other.font && sameOption(option, other.option) &&
           frame == other.frame && indentWidth == other.indentWidth && scale == other.scale;
}

PaneLayout::PaneLayout(QTextDocument* document) : QAbstractTextDocumentLayout(document) {
    if (QObject* pictures = pictureHandler())
        registerHandler(QTextFormat::ImageObject, pictures);
}

bool PaneLayout::canLayOut() const {
    const QSizeF page = document()->pageSize();
    return !page.isNull() && page.width() >= 0 && !heights_.empty() &&
           int(heights_.size()) == document()->blockCount();
}

PaneLayout::Settings PaneLayout::currentSettings() const {
    const QTextDocument* doc = document();
    Settings now;
    now.pageWidth = doc->pageSize().width();
    now.font = doc->defaultFont();
    now.option = doc->defaultTextOption();
    now.frame = doc->rootFrame()->frameFormat();
    now.indentWidth = doc->indentWidth();
    now.scale = paintDevice() ? paintDevice()->logicalDpiY() / screenDpi() : 1;
    return now;
}

void PaneLayout::resetAll() {
    settings_ = currentSettings();
    lines_ = {document(), settings_.option, settings_.scale};
    const qreal scale = settings_.scale;
    const QTextFrameFormat& frame = settings_.frame;
    const qreal border = qRound(frame.border() * scale);
    const qreal padding = qRound(frame.padding() * scale);
    const qreal leftMargin = qRound(frame.leftMargin() * scale);
    const qreal rightMargin = qRound(frame.rightMargin() * scale);
    left_ = leftMargin + border + padding;
    top_ = qRound(frame.topMargin() * scale) + border + padding;
    bottom_ = qRound(frame.bottomMargin() * scale) + border + padding;
    horizontalMargins_ = 2 * (border + padding) + leftMargin + rightMargin;
    contentWidth_ = settings_.pageWidth - horizontalMargins_;

    const QFontMetricsF metrics(settings_.font, paintDevice());
    lineSpacing_ = qCeil(metrics.lineSpacing());
    averageCharWidth_ = metrics.averageCharWidth();
    marginsByFormat_.clear();
    marginsKnown_.clear();
    long_.clear();
    widest_ = 0;
    findTables();

    const QTextDocument* doc = document();
    const int count = doc->blockCount();
    std::vector<float> heights(size_t(count), 0.f);
    std::vector<float> gaps(size_t(count), 0.f);
    qreal previousBottom = -1;
    int number = 0;
    size_t table = 0;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next(), ++number) {
        block.clearLayout();
        while (table < tables_.size() && tables_[table].lastBlock < number)
            ++table;
        if (table < tables_.size() && tables_[table].firstBlock <= number) {
            // A table's paragraphs count nothing: each band counts at its first.
            if (number == tables_[table].lastBlock) {
                const TableState& state = tables_[table];
                for (size_t band = 0; band < state.bandBlock.size(); ++band)
                    heights[size_t(state.bandBlock[band])] = float(estimateBand(state, int(band)));
            }
            previousBottom = 0;
            continue;
        }
        const Margins margins = marginsOf(block);
        const bool afterTable = table > 0 && tables_[table - 1].lastBlock == number - 1;
        const qreal gap = previousBottom < 0 || afterTable ? 0 : qMax(margins.top, previousBottom);
        previousBottom = margins.bottom;
        gaps[size_t(number)] = float(gap);
        qreal text = estimateTextHeight(block);
        if ((afterTable || (table < tables_.size() && tables_[table].firstBlock == number + 1)) &&
            (ParagraphLines::hiddenAfterTable(block) || ParagraphLines::hiddenBeforeTable(block)))
            text = 0;
        heights[size_t(number)] = float(afterTable && block.length() == 1 ? 0 : gap + text);
    }
    heights_.assign(std::move(heights), std::move(gaps));
}

PaneLayout::Margins PaneLayout::marginsOf(const QTextBlock& block) const {
    const auto index = size_t(block.blockFormatIndex());
    if (index >= marginsKnown_.size()) {
        marginsKnown_.resize(index + 1, false);
        marginsByFormat_.resize(index + 1);
    }
    if (!marginsKnown_[index]) {
        const ParagraphLines::Margins margins =
            ParagraphLines::marginsOf(block.blockFormat(), settings_.scale);
        marginsByFormat_[index] = {margins.top, margins.bottom};
        marginsKnown_[index] = true;
    }
    return marginsByFormat_[index];
}

qreal PaneLayout::gapAbove(const QTextBlock& block) const {
    const QTextBlock previous = block.previous();
    // After a table a paragraph has no space above it, as in Qt's layout.
    if (!previous.isValid() || ParagraphLines::followsTable(block))
        return 0;
    // Copied first: looking up the other paragraph's format may grow the cache.
    const qreal top = marginsOf(block).top;
    return qMax(top, marginsOf(previous).bottom);
}

qreal PaneLayout::estimateTextHeight(const QTextBlock& block) const {
    const qreal width = qMax<qreal>(contentWidth_, 1);
    const qreal textWidth = qreal(block.length() - 1) * averageCharWidth_;
    const bool wraps = settings_.option.wrapMode() != QTextOption::NoWrap &&
                       settings_.option.wrapMode() != QTextOption::ManualWrap;
    const qreal lines = wraps ? qMax<qreal>(1, qCeil(textWidth / width)) : 1;
    return lines * lineSpacing_;
}

void PaneLayout::layOutBlock(const QTextBlock& block, int number) const {
    QTextLayout* layout = block.layout();
    const qreal gap = gapAbove(block);
    heights_.setGap(size_t(number), float(gap));
    heights_.setExact(size_t(number), true);
    if (!block.isVisible()) {
        layout->clearLayout();
        setHeight(number, 0);
        return;
    }
    if (isLong(block)) {
        // Its pieces are laid out as they are shown; until then they have estimated heights.
        layout->clearLayout();
        setHeight(number, gap + piecesHeight(piecesOf(block, contentWidth_)));
        return;
    }
    qreal height =
        ParagraphLines::layOut(*layout, block.text(), block.blockFormat(), block.textDirection(),
                               true, lines_, contentWidth_, widest_);
    // An empty paragraph beside a table takes no room of its own.
    if (ParagraphLines::hiddenAfterTable(block))
        height = -gap;
    else if (ParagraphLines::hiddenBeforeTable(block))
        height = 0;
    setHeight(number, gap + height);
}

void PaneLayout::ensureLaidOut(const QTextBlock& block, int number) const {
    if (TableState* table = tableOf(number)) {
        (void)ensureBand(*table, bandOf(*table, number));
        return;
    }
    if (heights_.exact(size_t(number)) &&
        (block.layout()->lineCount() > 0 || !block.isVisible() || isLong(block)))
        return;
    layOutBlock(block, number);
}

void PaneLayout::ensureLaidOutAround(const QTextBlock& block, int number) const {
    ensureLaidOut(block, number);
    const auto [first, last] = unitAt(number);
    const int count = int(heights_.size());
    qreal reach = 0;
    for (int at = first - 1; at >= 0 && reach < layOutAround;) {
        const int start = unitAt(at).first;
        ensureLaidOut(document()->findBlockByNumber(start), start);
        reach += heights_.height(size_t(start));
        at = start - 1;
    }
    reach = heights_.height(size_t(first));
    for (int at = last + 1; at < count && reach < layOutAround;) {
        const auto [start, end] = unitAt(at);
        ensureLaidOut(document()->findBlockByNumber(start), start);
        reach += heights_.height(size_t(start));
        at = end + 1;
    }
}

QPointF PaneLayout::originOf(const QTextBlock& block, int number) const {
    if (tableOf(number))
        return cellParagraphAt(block, number);
    if (ParagraphLines::hiddenAfterTable(block))
        return besideTable(block, number);
    return {left_, top_ + topOf(number) + gapOf(number)};
}

qreal PaneLayout::placeLayout(const QTextBlock& block, int number) const {
    const QPointF at = originOf(block, number);
    QTextLayout* layout = block.layout();
    if (layout->position() != at)
        layout->setPosition(at);
    return at.y();
}

void PaneLayout::setHeight(int number, qreal height, bool countAbove) const {
    const float old = heights_.height(size_t(number));
    const double delta = double(float(height)) - double(old);
    if (delta == 0)
        return;
    if (countAbove)
        countShift(top_ + topOf(number), old, delta);
    heights_.setHeight(size_t(number), float(height));
    heightsChangedBelow(top_ + topOf(number));
}

void PaneLayout::countShift(qreal top, qreal oldHeight, qreal delta) const {
    if (viewTop_ >= 0 && top + oldHeight <= viewTop_ + shiftAbove_)
        shiftAbove_ += delta;
}

qreal PaneLayout::layOutView(qreal top, qreal bottom) {
    if (!canLayOut())
        return 0;
    viewTop_ = top;
    shiftAbove_ = 0;
    const int count = int(heights_.size());
    int number = unitAt(blockAt(top - layOutAround)).first;
    while (number < count) {
        const qreal blockTop = top_ + topOf(number);
        if (blockTop > bottom + shiftAbove_ + layOutAround)
            break;
        const QTextBlock block = document()->findBlockByNumber(number);
        ensureLaidOut(block, number);
        if (!tableOf(number) && isLong(block))
            layOutPiecesBetween(block, number, top - layOutAround + shiftAbove_,
                                bottom + layOutAround + shiftAbove_);
        number = unitAt(number).second + 1;
    }
    viewTop_ = -1;
    return shiftAbove_;
}

void PaneLayout::heightsChangedBelow(qreal y) const {
    changedBelow_ = changedBelow_ < 0 ? y : qMin(changedBelow_, y);
    if (!notifyTimer_.isActive())
        const_cast<QBasicTimer&>(notifyTimer_).start(0, const_cast<PaneLayout*>(this));
}

void PaneLayout::timerEvent(QTimerEvent* event) {
    if (event->timerId() != notifyTimer_.timerId()) {
        QAbstractTextDocumentLayout::timerEvent(event);
        return;
    }
    notifyTimer_.stop();
    // Paragraphs laid out while painting may have moved the ones below them.
    if (changedBelow_ >= 0)
        emit update(QRectF(0, changedBelow_, unbounded, unbounded));
    changedBelow_ = -1;
    const QSizeF size = documentSize();
    if (size != reportedSize_) {
        reportedSize_ = size;
        emit documentSizeChanged(size);
    }
}

QSizeF PaneLayout::documentSize() const {
    if (!canLayOut())
        return {};
    return {qMax(contentWidth_, widest_) + horizontalMargins_, top_ + heights_.total() + bottom_};
}

QRectF PaneLayout::frameBoundingRect(QTextFrame* frame) const {
    if (frame != document()->rootFrame())
        return {};
    return {QPointF(0, 0), documentSize()};
}

QRectF PaneLayout::blockBoundingRect(const QTextBlock& block) const {
    if (!canLayOut() || !block.isValid() || !block.isVisible())
        return {};
    const int number = block.blockNumber();
    ensureLaidOutAround(block, number);
    if (isLong(block)) {
        const QPointF at = originOf(block, number);
        if (tableOf(number)) {
            const LongParagraph& paragraph = piecesOf(block, -1);
            return {at, QSizeF(paragraph.width, piecesHeight(paragraph))};
        }
        return {at, QSizeF(contentWidth_, heights_.height(size_t(number)) - gapOf(number))};
    }
    placeLayout(block, number);
    const QTextLayout* layout = block.layout();
    QRectF rect = layout->boundingRect();
    rect.moveTopLeft(layout->position());
    return rect;
}

void PaneLayout::documentChanged(int from, int charsRemoved, int charsAdded) {
    QTextDocument* doc = document();
    const QSizeF page = doc->pageSize();
    if (page.isNull() || page.width() < 0) {
        // Nothing is shown yet; everything is laid out once a page width is set.
        heights_.clear();
        return;
    }
    const int count = doc->blockCount();
    const Settings now = currentSettings();
    const bool everything = from == 0 && charsRemoved == 0 && charsAdded == doc->characterCount();
    if (everything && !heights_.empty() && int(heights_.size()) == count && now == settings_) {
        // Asked to lay out again with nothing changed that this layout depends on, as a text
        // widget does whenever it is resized: the paragraphs stay as they are.
        emit update(QRectF(0, 0, unbounded, unbounded));
        return;
    }
    const int oldCount = int(heights_.size());
    QTextBlock first = doc->findBlock(from);
    QTextBlock last = doc->findBlock(from + charsAdded);
    if (!last.isValid())
        last = doc->lastBlock();
    if (!first.isValid())
        first = last;
    const int firstNumber = first.blockNumber();
    const int lastNumber = last.blockNumber();
    const int oldLast = lastNumber - (count - oldCount);
    if (everything || heights_.empty() || !(now == settings_) || oldLast < firstNumber - 1 ||
        oldLast >= oldCount || !sameTables()) {
        resetAll();
        changedBelow_ = -1;
        emit update(QRectF(0, 0, unbounded, unbounded));
        reportedSize_ = documentSize();
        emit documentSizeChanged(reportedSize_);
        return;
    }

    // What moves here is repainted at once; what moved before keeps waiting for the timer.
    const qreal pending = changedBelow_;
    const auto keepPending = [&] {
        changedBelow_ = pending;
        if (pending < 0)
            notifyTimer_.stop();
    };
    if (count == oldCount && firstNumber == lastNumber && !tableOf(firstNumber) &&
        followEdit(first, from - first.position(), charsAdded)) {
        // Typing in a long paragraph: only the piece that holds the edit is laid out again.
        setHeight(firstNumber, gapOf(firstNumber) + piecesHeight(long_[first.fragmentIndex()]));
        keepPending();
        emit update(QRectF(0, top_ + topOf(firstNumber), unbounded, unbounded));
        reportSize();
        return;
    }
    const qreal top = top_ + topOf(unitAt(firstNumber).first);
    const qreal oldBottom = top_ + topOf(oldLast + 1);
    bool wasShown = false;
    for (int n = firstNumber; n <= oldLast; ++n)
        wasShown = wasShown || heights_.exact(size_t(n));
    if (count != oldCount)
        heights_.replace(size_t(firstNumber), size_t(oldLast - firstNumber + 1),
                         size_t(lastNumber - firstNumber + 1));
    followTables(firstNumber, lastNumber, oldLast);

    const bool layOutNow = wasShown && lastNumber - firstNumber < layOutAtOnce;
    const bool splitting = layOutNow && count == oldCount + 1 && lastNumber == firstNumber + 1 &&
                           !tableOf(firstNumber);
    if (splitting)
        followSplit(first, first.next());
    QTextBlock block = first;
    for (int n = firstNumber; n <= lastNumber && block.isValid(); ++n, block = block.next()) {
        if (!splitting)
            long_.erase(block.fragmentIndex());
        if (tableOf(n))
            continue;
        if (layOutNow) {
            layOutBlock(block, n);
        } else {
            block.clearLayout();
            heights_.setExact(size_t(n), false);
            const qreal gap = gapAbove(block);
            heights_.setGap(size_t(n), float(gap));
            setHeight(n, gap + estimateTextHeight(block));
        }
    }
    // The space above the next paragraph depends on the last changed one.
    if (block.isValid() && !tableOf(lastNumber + 1)) {
        const int n = lastNumber + 1;
        const qreal gap = gapAbove(block);
        if (float(gap) != gapOf(n)) {
            setHeight(n, heights_.height(size_t(n)) - gapOf(n) + gap);
            heights_.setGap(size_t(n), float(gap));
        }
    }
    const qreal bottom = top_ + topOf(lastNumber + 1);
    keepPending();
    if (bottom == oldBottom && count == oldCount)
        emit update(QRectF(0, top, unbounded, bottom - top));
    else
        emit update(QRectF(0, top, unbounded, unbounded));
    reportSize();
}

void PaneLayout::draw(QPainter* painter, const PaintContext& context) {
    if (!canLayOut())
        return;
    const qreal clipBottom = context.clip.isValid() ? context.clip.bottom() : unbounded;
    const qreal changedBefore = changedBelow_;
    const int count = int(heights_.size());
    int number = unitAt(blockAt(context.clip.isValid() ? context.clip.top() : 0)).first;
    QTextBlock block = document()->findBlockByNumber(number);
    while (number < count && block.isValid()) {
        ensureLaidOut(block, number);
        if (top_ + topOf(number) > clipBottom)
            break;
        if (TableState* table = tableOf(number)) {
            const int band = bandOf(*table, number);
            drawBand(painter, context, *table, band);
            number = bandEnd(*table, band) + 1;
            block = document()->findBlockByNumber(number);
            continue;
        }
        if (isLong(block)) {
            drawPieces(painter, context, block, number, originOf(block, number));
        } else {
            placeLayout(block, number);
            drawBlock(painter, context, block);
        }
        block = block.next();
        ++number;
    }
    // What was just painted stands where it belongs; only what lies below the painted part can
    // have moved since it was last painted.
    if (changedBelow_ != changedBefore)
        changedBelow_ = changedBefore < 0 ? clipBottom : qMin(changedBefore, clipBottom);
}

void PaneLayout::drawBlock(QPainter* painter, const PaintContext& context,
                           const QTextBlock& block) const {
    ParagraphPainting::Settings settings;
    settings.device = paintDevice();
    settings.cursorWidth = cursorWidth_;
    settings.frame = QRectF(QPointF(0, 0), documentSize())
                         .adjusted(qRound(settings_.frame.leftMargin() * settings_.scale), 0,
                                   -qRound(settings_.frame.rightMargin() * settings_.scale), 0);
    const QTextLayout& layout = *block.layout();
    ParagraphPainting::draw(painter, context, block, layout, settings);
    // Where paper starts a new page, the pane draws a thin line across.
    const auto breaks = block.blockFormat().pageBreakPolicy();
    if (!(breaks & (QTextFormat::PageBreak_AlwaysBefore | QTextFormat::PageBreak_AlwaysAfter)))
        return;
    painter->save();
    painter->setPen(QPen(context.palette.color(QPalette::Mid), 0, Qt::DotLine));
    const qreal top = layout.position().y();
    const qreal bottom = top + layout.boundingRect().height();
    for (const qreal y : {breaks & QTextFormat::PageBreak_AlwaysBefore ? top : -1.0,
                          breaks & QTextFormat::PageBreak_AlwaysAfter ? bottom : -1.0}) {
        if (y >= 0)
            painter->drawLine(QLineF(left_, y, left_ + contentWidth_, y));
    }
    painter->restore();
}

int PaneLayout::hitTest(const QPointF& point, Qt::HitTestAccuracy accuracy) const {
    if (!canLayOut())
        return accuracy == Qt::ExactHit ? -1 : 0;
    int number = blockAt(point.y());
    ensureLaidOutAround(document()->findBlockByNumber(number), number);
    number = unitAt(blockAt(point.y())).first;
    // A point on the line between two paragraphs belongs to the upper one, as in Qt's layout.
    if (number > 0 && point.y() <= top_ + topOf(number))
        number = unitAt(number - 1).first;
    QTextBlock block = document()->findBlockByNumber(number);
    ensureLaidOut(block, number);
    bool exact = false;
    int position = 0;
    if (TableState* table = tableOf(number)) {
        position = hitTestBand(*table, bandOf(*table, number), point, accuracy, &exact);
    } else if (isLong(block)) {
        position = hitTestPieces(block, number, point, accuracy, &exact);
    } else {
        placeLayout(block, number);
        position = hitTestBlock(block, point, accuracy, &exact);
    }
    if (accuracy == Qt::ExactHit && !exact)
        return -1;
    int last = document()->rootFrame()->lastPosition();
    if (const QTextLayout* layout = block.layout(); !layout->preeditAreaText().isEmpty())
        last += int(layout->preeditAreaText().size());
    return qBound(0, position, last);
}

int PaneLayout::hitTestBlock(const QTextBlock& block, const QPointF& point,
                             Qt::HitTestAccuracy accuracy, bool* exact) const {
    const QTextLayout* layout = block.layout();
    QRectF bounds = layout->boundingRect();
    bounds.translate(layout->position());
    const int position = block.position();
    if (point.y() < bounds.top() - block.blockFormat().topMargin())
        return position;
    if (point.y() > bounds.bottom())
        return position + block.length();
    const QPointF inside = point - layout->position();
    return position + offsetInLayout(*layout, inside, accuracy, exact);
}

int PaneLayout::offsetInLayout(const QTextLayout& layout, const QPointF& inside,
                               Qt::HitTestAccuracy accuracy, bool* exact) {
    int offset = 0;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        const QRectF lineRect = line.naturalTextRect();
        if (lineRect.top() > inside.y()) {
            offset = qMin(offset, line.textStart());
        } else if (lineRect.bottom() <= inside.y()) {
            offset = qMax(offset, line.textStart() + line.textLength());
        } else {
            *exact = lineRect.left() <= inside.x() && lineRect.right() >= inside.x();
            return line.xToCursor(inside.x(), accuracy == Qt::ExactHit
                                                  ? QTextLine::CursorOnCharacter
                                                  : QTextLine::CursorBetweenCharacters);
        }
    }
    return offset;
}
