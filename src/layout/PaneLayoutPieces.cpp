// The pane's layout of paragraphs too long to lay out whole: see PaneLayout.h.
#include "layout/PaneLayout.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextLayout>

namespace {
// About this many characters go into a piece: a few screens of text.
constexpr int pieceLength = 8192;
// A paragraph laid out in pieces keeps them until it is down to this length.
constexpr int shortAgain = PaneLayout::longParagraph / 2;
constexpr qreal layOutAround = 1500;
// Laid-out pieces kept on either side of those painted.
constexpr size_t keptAround = 8;

QString textOf(const QTextDocument& document, int from, int length) {
    QString text(length, Qt::Uninitialized);
    QChar* out = text.data();
    for (int at = from; at < from + length; ++at)
        *out++ = document.characterAt(at);
    return text;
}
} // namespace

bool PaneLayout::isLong(const QTextBlock& block) const {
    const int length = block.length() - 1;
    if (length > longParagraph)
        return true;
    return length > shortAgain && long_.count(block.fragmentIndex()) > 0;
}

PaneLayout::LongParagraph& PaneLayout::piecesOf(const QTextBlock& block, qreal width) const {
    LongParagraph& paragraph = long_[block.fragmentIndex()];
    const int length = block.length() - 1;
    if (paragraph.pieces.empty() || paragraph.length != length ||
        (width >= 0 && width != paragraph.width)) {
        paragraph.length = length;
        if (width >= 0)
            paragraph.width = width;
        paragraph.pieces.clear();
        cutPieces(block, 0, length, paragraph.pieces);
    }
    return paragraph;
}

void PaneLayout::cutPieces(const QTextBlock& block, int from, int to,
                           std::vector<Piece>& into) const {
    const int position = block.position();
    while (from < to || into.empty()) {
        const int end = ParagraphLines::pieceEnd(*document(), position, from, to);
        Piece piece;
        piece.start = from;
        piece.length = end - from;
        piece.height = estimatePieceHeight(piece.length);
        into.push_back(std::move(piece));
        from = end;
        if (from >= to)
            break;
    }
}

QList<QTextLayout::FormatRange> PaneLayout::formatsOf(int from, int length) const {
    // Read a character at a time from the document's runs: finding the paragraph's runs through
    // its fragments would walk every one of them from the paragraph's start, hundreds of
    // thousands in a long formatted paragraph.
    auto* self = const_cast<PaneLayout*>(this);
    QList<QTextLayout::FormatRange> formats;
    if (length <= 0)
        return formats;
    int runStart = 0;
    int runFormat = self->formatIndex(from);
    for (int at = 1; at <= length; ++at) {
        const int index = at < length ? self->formatIndex(from + at) : -1;
        if (index == runFormat)
            continue;
        formats.append({runStart, at - runStart, self->format(from + runStart)});
        runStart = at;
        runFormat = index;
    }
    return formats;
}

float PaneLayout::estimatePieceHeight(int length) const {
    const qreal width = qMax<qreal>(contentWidth_, 1);
    return float(qMax<qreal>(1, qCeil(length * averageCharWidth_ / width)) * lineSpacing_);
}

void PaneLayout::followSplit(const QTextBlock& first, const QTextBlock& second) const {
    // A number the new paragraph reuses may still name one that is gone.
    long_.erase(second.fragmentIndex());
    const auto found = long_.find(first.fragmentIndex());
    if (found == long_.end())
        return;
    LongParagraph paragraph = std::move(found->second);
    long_.erase(found);
    const int before = first.length() - 1;
    const int after = second.length() - 1;
    if (paragraph.pieces.empty() || paragraph.length != before + after)
        return;
    LongParagraph head{before, paragraph.width, {}};
    LongParagraph tail{after, paragraph.width, {}};
    for (Piece& piece : paragraph.pieces) {
        const int end = piece.start + piece.length;
        if (end <= before) {
            head.pieces.push_back(std::move(piece));
        } else if (piece.start >= before) {
            piece.start -= before;
            tail.pieces.push_back(std::move(piece));
        } else {
            // The piece the paragraph mark went into: its two parts are laid out when shown.
            Piece left;
            left.start = piece.start;
            left.length = before - piece.start;
            left.height = estimatePieceHeight(left.length);
            head.pieces.push_back(std::move(left));
            Piece right;
            right.length = end - before;
            right.height = estimatePieceHeight(right.length);
            tail.pieces.push_back(std::move(right));
        }
    }
    // The first piece of a paragraph starts with its first line's indent.
    if (!tail.pieces.empty())
        tail.pieces.front().layout.reset();
    if (before > shortAgain && !head.pieces.empty())
        long_[first.fragmentIndex()] = std::move(head);
    if (after > shortAgain && !tail.pieces.empty())
        long_[second.fragmentIndex()] = std::move(tail);
}

qreal PaneLayout::piecesHeight(const LongParagraph& paragraph) {
    qreal height = 0;
    for (const Piece& piece : paragraph.pieces)
        height += piece.height;
    return height;
}

size_t PaneLayout::pieceAt(const LongParagraph& paragraph, int offset, qreal* top) const {
    qreal y = 0;
    const size_t count = paragraph.pieces.size();
    for (size_t i = 0; i < count; ++i) {
        const Piece& piece = paragraph.pieces[i];
        if (offset < piece.start + piece.length || i + 1 == count) {
            *top = y;
            return i;
        }
        y += piece.height;
    }
    *top = 0;
    return 0;
}

size_t PaneLayout::pieceAtY(const LongParagraph& paragraph, qreal y, qreal* top) const {
    qreal at = 0;
    const size_t count = paragraph.pieces.size();
    for (size_t i = 0; i < count; ++i) {
        if (y < at + paragraph.pieces[i].height || i + 1 == count) {
            *top = at;
            return i;
        }
        at += paragraph.pieces[i].height;
    }
    *top = 0;
    return 0;
}

void PaneLayout::layOutPiece(const QTextBlock& block, int number, LongParagraph& paragraph,
                             size_t index) const {
    const Piece& piece = paragraph.pieces[index];
    if (piece.layout)
        return;
    const int from = block.position() + piece.start;
    layOutPiece(block, number, paragraph, index, textOf(*document(), from, piece.length),
                formatsOf(from, piece.length));
}

void PaneLayout::layOutPiece(const QTextBlock& block, int number, LongParagraph& paragraph,
                             size_t index, const QString& text,
                             const QList<QTextLayout::FormatRange>& formats) const {
    Piece& piece = paragraph.pieces[index];
    piece.layout = std::make_unique<QTextLayout>(text, settings_.font, paintDevice());
    piece.layout->setFormats(formats);
    // The direction is the paragraph's or the document's: finding it in the text would read
    // all of a paragraph that may hold megabytes.
    Qt::LayoutDirection direction = block.blockFormat().layoutDirection();
    if (direction == Qt::LayoutDirectionAuto)
        direction = settings_.option.textDirection();
    if (direction == Qt::LayoutDirectionAuto)
        direction = Qt::LeftToRight;
    const qreal height = ParagraphLines::layOut(*piece.layout, text, block.blockFormat(), direction,
                                                index == 0, lines_, paragraph.width, widest_);
    if (float(height) != piece.height) {
        // A paragraph in a table counts in its band's height, which its band's layout keeps.
        const bool inColumn = !tableOf(number);
        if (viewTop_ >= 0 && inColumn) {
            qreal top = top_ + topOf(number) + gapOf(number);
            for (size_t i = 0; i < index; ++i)
                top += paragraph.pieces[i].height;
            countShift(top, piece.height, height - piece.height);
        }
        piece.height = float(height);
        if (inColumn)
            setHeight(number, gapOf(number) + piecesHeight(paragraph), false);
    }
}

void PaneLayout::layOutPiecesBetween(const QTextBlock& block, int number, qreal from,
                                     qreal to) const {
    LongParagraph& paragraph = piecesOf(block, contentWidth_);
    const qreal textTop = top_ + topOf(number) + gapOf(number);
    qreal top = 0;
    size_t index = pieceAtY(paragraph, from - textTop, &top);
    for (; index < paragraph.pieces.size() && textTop + top <= to + shiftAbove_; ++index) {
        layOutPiece(block, number, paragraph, index);
        top += paragraph.pieces[index].height;
    }
}

void PaneLayout::layOutPiecesAround(const QTextBlock& block, int number, LongParagraph& paragraph,
                                    size_t index) const {
    layOutPiece(block, number, paragraph, index);
    qreal reach = 0;
    for (size_t i = index; i-- > 0 && reach < layOutAround;) {
        layOutPiece(block, number, paragraph, i);
        reach += paragraph.pieces[i].height;
    }
    reach = paragraph.pieces[index].height;
    for (size_t i = index + 1; i < paragraph.pieces.size() && reach < layOutAround; ++i) {
        layOutPiece(block, number, paragraph, i);
        reach += paragraph.pieces[i].height;
    }
}

bool PaneLayout::followEdit(const QTextBlock& block, int offset, int added) const {
    const auto found = long_.find(block.fragmentIndex());
    if (found == long_.end() || found->second.pieces.empty())
        return false;
    LongParagraph& paragraph = found->second;
    const int length = block.length() - 1;
    // What was removed follows from the change of length, as in the pane's text.
    const int removed = added - (length - paragraph.length);
    if (removed < 0 || offset < 0 || offset + removed > paragraph.length || length <= shortAgain)
        return false;
    std::vector<Piece>& pieces = paragraph.pieces;
    qreal top = 0;
    const size_t first = pieceAt(paragraph, offset, &top);
    // The piece holding the last removed character, or the insertion point.
    const size_t last = pieceAt(paragraph, qMax(offset, offset + removed - 1), &top);
    const int start = pieces[first].start;
    const int end = pieces[last].start + pieces[last].length + added - removed;
    const bool wasShown = pieces[first].layout != nullptr;
    // Typing in a piece that is shown: its text and formats follow the edit, instead of being
    // read again from the document a character at a time.
    std::optional<EditedPiece> edited;
    if (wasShown && first == last && end - start <= 2 * pieceLength)
        edited = editedPiece(*pieces[first].layout, offset - start, removed,
                             block.position() + offset, added);
    std::vector<Piece> replacement;
    if (end - start > 2 * pieceLength) {
        cutPieces(block, start, end, replacement);
    } else {
        Piece piece;
        piece.start = start;
        piece.length = end - start;
        for (size_t i = first; i <= last; ++i)
            piece.height += pieces[i].height;
        replacement.push_back(std::move(piece));
    }
    const size_t count = replacement.size();
    pieces.erase(pieces.begin() + ptrdiff_t(first), pieces.begin() + ptrdiff_t(last) + 1);
    pieces.insert(pieces.begin() + ptrdiff_t(first), std::make_move_iterator(replacement.begin()),
                  std::make_move_iterator(replacement.end()));
    for (size_t i = first + count; i < pieces.size(); ++i)
        pieces[i].start += added - removed;
    if (pieces.size() > 1 && pieces[first].length == 0 && count == 1) {
        pieces.erase(pieces.begin() + ptrdiff_t(first));
        edited.reset();
    }
    paragraph.length = length;
    // Typing where the paragraph is shown lays the piece out again at once.
    if (wasShown && first < pieces.size()) {
        if (edited)
            layOutPiece(block, block.blockNumber(), paragraph, first, edited->text,
                        edited->formats);
        else
            layOutPiece(block, block.blockNumber(), paragraph, first);
    }
    return true;
}

PaneLayout::EditedPiece PaneLayout::editedPiece(const QTextLayout& old, int offset, int removed,
                                                int at, int added) const {
    EditedPiece piece{old.text(), {}};
    piece.text.replace(offset, removed, textOf(*document(), at, added));
    const auto append = [&](int start, int length, const QTextCharFormat& format) {
        if (length <= 0)
            return;
        QList<QTextLayout::FormatRange>& formats = piece.formats;
        if (!formats.isEmpty() && formats.back().format == format &&
            formats.back().start + formats.back().length == start)
            formats.back().length += length;
        else
            formats.append({start, length, format});
    };
    // What stood before the edit, what it added, then what stood after it, moved along.
    const QList<QTextLayout::FormatRange> formats = old.formats();
    for (const QTextLayout::FormatRange& range : formats)
        append(range.start, qMin(range.start + range.length, offset) - range.start, range.format);
    for (const QTextLayout::FormatRange& range : formatsOf(at, added))
        append(offset + range.start, range.length, range.format);
    for (const QTextLayout::FormatRange& range : formats) {
        const int start = qMax(range.start, offset + removed);
        append(start + added - removed, range.start + range.length - start, range.format);
    }
    return piece;
}

const PaneLayout::Piece* PaneLayout::placedPiece(const QTextBlock& block, int number,
                                                 int position) const {
    LongParagraph& paragraph = piecesOf(block, -1);
    qreal top = 0;
    const int offset = position - block.position();
    size_t index = pieceAt(paragraph, offset, &top);
    layOutPiecesAround(block, number, paragraph, index);
    index = pieceAt(paragraph, offset, &top);
    const Piece& piece = paragraph.pieces[index];
    const QPointF at = originOf(block, number) + QPointF(0, top);
    if (piece.layout->position() != at)
        piece.layout->setPosition(at);
    return &piece;
}

void PaneLayout::drawPieces(QPainter* painter, const PaintContext& context, const QTextBlock& block,
                            int number, QPointF origin) const {
    LongParagraph& paragraph = piecesOf(block, -1);
    const qreal textTop = origin.y();
    const qreal clipTop = context.clip.isValid() ? context.clip.top() : textTop;
    const qreal clipBottom = context.clip.isValid() ? context.clip.bottom() : qreal(INT_MAX);
    qreal top = 0;
    size_t index = pieceAtY(paragraph, clipTop - textTop, &top);
    const int position = block.position();
    const int paragraphEnd = position + block.length() - 1;
    const QPen pen = painter->pen();
    painter->setPen(context.palette.color(QPalette::Text));
    const size_t firstDrawn = index;
    for (; index < paragraph.pieces.size() && textTop + top <= clipBottom; ++index) {
        layOutPiece(block, number, paragraph, index);
        Piece& piece = paragraph.pieces[index];
        piece.layout->setPosition(QPointF(origin.x(), textTop + top));
        const int from = position + piece.start;
        const int to = from + piece.length;
        const bool lastPiece = index + 1 == paragraph.pieces.size();
        QList<QTextLayout::FormatRange> selections;
        for (const Selection& range : context.selections) {
            const int start = qMax(range.cursor.selectionStart(), from);
            // The last piece shows the selected paragraph mark.
            const int end = qMin(range.cursor.selectionEnd(), lastPiece ? paragraphEnd + 1 : to);
            if (end > start)
                selections.append({start - from, end - start, range.format});
        }
        piece.layout->draw(painter, QPointF(), selections, context.clip);
        const int caret = pieceCaret_.value_or(context.cursorPosition);
        if (caret >= from && (caret < to || (lastPiece && caret == to)))
            piece.layout->drawCursor(painter, QPointF(), caret - from, cursorWidth_);
        top += piece.height;
    }
    painter->setPen(pen);
    // Pieces far from what is shown give their lines back: scrolling through megabytes keeps no
    // more than a few screens of them.
    for (size_t i = 0; i < paragraph.pieces.size(); ++i) {
        if (i + keptAround < firstDrawn || i > index + keptAround)
            paragraph.pieces[i].layout.reset();
    }
}

int PaneLayout::hitTestPieces(const QTextBlock& block, int number, const QPointF& point,
                              Qt::HitTestAccuracy accuracy, bool* exact) const {
    LongParagraph& paragraph = piecesOf(block, -1);
    const qreal textTop = originOf(block, number).y();
    qreal top = 0;
    size_t index = pieceAtY(paragraph, point.y() - textTop, &top);
    layOutPiecesAround(block, number, paragraph, index);
    const QPointF placed = originOf(block, number);
    index = pieceAtY(paragraph, point.y() - placed.y(), &top);
    const Piece& piece = paragraph.pieces[index];
    const QPointF inside = point - QPointF(placed.x(), placed.y() + top);
    return block.position() + piece.start + offsetInLayout(*piece.layout, inside, accuracy, exact);
}

bool PaneLayout::inLongParagraph(int position) const {
    if (!canLayOut())
        return false;
    const QTextBlock block = document()->findBlock(position);
    return block.isValid() && isLong(block);
}

QRectF PaneLayout::caretRect(int position) const {
    if (!canLayOut())
        return {};
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid())
        return {};
    const int number = block.blockNumber();
    const QTextLayout* layout = nullptr;
    int offset = position - block.position();
    if (isLong(block)) {
        const Piece* piece = placedPiece(block, number, position);
        layout = piece->layout.get();
        offset -= piece->start;
    } else {
        (void)blockBoundingRect(block);
        layout = block.layout();
    }
    const QTextLine line = layout->lineForTextPosition(offset);
    if (!line.isValid())
        return QRectF(layout->position(), QSizeF(cursorWidth_, lineSpacing_));
    return QRectF(layout->position() + QPointF(line.cursorToX(offset), line.y()),
                  QSizeF(cursorWidth_, line.height()));
}

std::pair<int, int> PaneLayout::lineAt(int position) const {
    const QTextBlock block = document()->findBlock(position);
    if (!canLayOut() || !block.isValid())
        return {position, position};
    int start = block.position();
    const QTextLayout* layout = nullptr;
    if (isLong(block)) {
        const Piece* piece = placedPiece(block, block.blockNumber(), position);
        layout = piece->layout.get();
        start += piece->start;
    } else {
        (void)blockBoundingRect(block);
        layout = block.layout();
    }
    const QTextLine line = layout->lineForTextPosition(position - start);
    if (!line.isValid())
        return {position, position};
    int end = start + line.textStart() + line.textLength();
    // A line that wraps ends before the space it wrapped at, as in Qt's text widgets.
    if (line.lineNumber() + 1 < layout->lineCount() && document()->characterAt(end - 1).isSpace())
        --end;
    return {start + line.textStart(), end};
}

void PaneLayout::reportSize() {
    const QSizeF size = documentSize();
    if (size != reportedSize_) {
        reportedSize_ = size;
        emit documentSizeChanged(size);
    }
}
