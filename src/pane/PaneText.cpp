#include "pane/PaneText.h"

#include "storage/TableText.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <vector>

namespace {
constexpr int shortPiece = 4096;
constexpr int checkedAround = 64;
// Where a table cell or other frame starts, and where a table or frame ends.
constexpr char16_t frameStart = 0xFDD0;
constexpr char16_t frameEnd = 0xFDD1;

void toPaneCharacters(QString& text) {
    for (QChar& c : text) {
        switch (c.unicode()) {
        case QChar::ParagraphSeparator:
        case frameStart:
        case frameEnd:
            c = QLatin1Char('\n');
            break;
        case QChar::LineSeparator:
            c = QLatin1Char('\v');
            break;
        default:
            break;
        }
    }
}

// Whether the cell starting after `mark` has another cell before it in its row.
bool continuesRow(const QTextDocument& document, int mark) {
    const QTextTable* table = QTextCursor(document.findBlock(mark + 1)).currentTable();
    if (!table)
        return false;
    const QTextTableCell cell = table->cellAt(mark + 1);
    if (!cell.isValid() || cell.firstPosition() != mark + 1)
        return false;
    for (int column = 0; column < cell.column(); ++column) {
        const QTextTableCell before = table->cellAt(cell.row(), column);
        if (before.row() == cell.row() && before.column() == column)
            return true;
    }
    return false;
}

// The character at `position` as the pane's text has it.
QChar paneCharacterAt(const QTextDocument& document, int position) {
    const QChar c = document.characterAt(position);
    switch (c.unicode()) {
    case QChar::ParagraphSeparator:
    case frameEnd:
        return QLatin1Char('\n');
    case QChar::LineSeparator:
        return QLatin1Char('\v');
    case frameStart:
        return QLatin1Char(continuesRow(document, position) ? '\t' : '\n');
    default:
        return c;
    }
}
} // namespace

PaneText::PaneText(QObject* parent) : QObject(parent) {}

void PaneText::watch(QTextDocument* document) {
    if (document_)
        disconnect(document_, nullptr, this, nullptr);
    document_ = document;
    text_.reset();
    pendingFrom_ = -1;
    if (document_)
        connect(document_, &QTextDocument::contentsChange, this, &PaneText::changed);
}

void PaneText::changed(int from, int reportedRemoved, int added) {
    Q_UNUSED(reportedRemoved);
    if (!text_)
        return;
    // Within an edit block the document overcounts what was removed when a later edit removes
    // part of what an earlier one inserted; where the changed range starts and how long it is
    // now are right. What was removed follows from the change in length.
    const int count = int(document_->characterCount());
    const int removed = added - (count - count_);
    count_ = count;
    if (removed < 0 || from < 0) {
        stale_ = true;
        return;
    }
    // In the document as it was before this change, the pending range covers
    // [pendingFrom_, pendingFrom_ + pendingLength_); the union of the two ranges is what has
    // to be read again, and it stands for a range of the text as last read.
    if (pendingFrom_ < 0) {
        pendingFrom_ = from;
        pendingOldEnd_ = from + removed;
        pendingLength_ = added;
        return;
    }
    const int pendingEnd = pendingFrom_ + pendingLength_;
    const int start = qMin(pendingFrom_, from);
    const int end = qMax(pendingEnd, from + removed);
    pendingOldEnd_ += qMax(0, from + removed - pendingEnd);
    pendingFrom_ = start;
    pendingLength_ = end - start + added - removed;
}

const QString& PaneText::text() {
    if (!text_ || stale_) {
        rebuild();
        return *text_;
    }
    if (pendingFrom_ < 0)
        return *text_;
    // A change that reaches the end may count the document's closing paragraph mark, which
    // the text leaves out.
    const int length = int(document_->characterCount()) - 1;
    const int size = int(text_->size());
    int from = qMin(pendingFrom_, size);
    int oldEnd = qMin(pendingOldEnd_, size);
    int newEnd = qMin(from + pendingLength_, length);
    pendingFrom_ = -1;
    if (size - (oldEnd - from) + (newEnd - from) != length || newEnd < from || oldEnd < from) {
        rebuild();
        return *text_;
    }
    // After an edit block that adds or removes list items, the range the document reports can
    // fall a few characters short. Characters that differ just outside it show that, and widen
    // it until a whole stretch on either side agrees.
    const auto differs = [&](int atText, int atDocument) {
        return paneCharacterAt(*document_, atDocument) != text_->at(atText);
    };
    for (bool widened = true; widened;) {
        widened = false;
        for (int step = 0; step < checkedAround && newEnd + step < length; ++step) {
            if (differs(oldEnd + step, newEnd + step)) {
                oldEnd += step + 1;
                newEnd += step + 1;
                widened = true;
                break;
            }
        }
    }
    for (bool widened = true; widened;) {
        widened = false;
        for (int step = 1; step <= checkedAround && from - step >= 0; ++step) {
            if (differs(from - step, from - step)) {
                from -= step;
                widened = true;
                break;
            }
        }
    }
    text_->replace(from, oldEnd - from, rangeOf(*document_, from, newEnd));
    return *text_;
}

void PaneText::rebuild() {
    pendingFrom_ = -1;
    stale_ = false;
    count_ = document_ ? int(document_->characterCount()) : 0;
    text_ = document_ ? document_->toRawText() : QString();
    toPaneCharacters(*text_);
    if (document_)
        TableText::markCells(*document_, *text_);
}

QString PaneText::rangeOf(const QTextDocument& document, int from, int to) {
    QString text;
    if (to <= from)
        return text;
    text.reserve(to - from);
    // Paragraph by paragraph, each piece by characters when short and by the paragraph's text
    // when long: a text cursor would lay the paragraphs out, and a piece of a paragraph of many
    // megabytes should not copy all of it.
    for (QTextBlock block = document.findBlock(from); block.isValid() && from < to;
         block = block.next()) {
        const int mark = block.position() + block.length() - 1;
        const int end = qMin(mark, to);
        if (end - from <= shortPiece) {
            for (int at = from; at < end; ++at)
                text += document.characterAt(at);
        } else {
            text += QStringView(block.text()).mid(from - block.position(), end - from);
        }
        if (mark < to)
            text += paneCharacterAt(document, mark);
        from = mark + 1;
    }
    toPaneCharacters(text);
    return text;
}
