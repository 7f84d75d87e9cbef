#include "platform/PaneCaret.h"

#include "platform/PaneLayout.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextEdit>
#include <QtMath>

namespace {
// How far a word move looks: a "word" of megabytes of punctuation ends there.
constexpr int wordReach = 1000;

enum class Move {
    NextChar,
    PreviousChar,
    NextWord,
    PreviousWord,
    NextLine,
    PreviousLine,
    StartOfLine,
    EndOfLine,
    NextPage,
    PreviousPage,
};

struct Binding {
    QKeySequence::StandardKey key;
    Move move;
    bool select;
};

constexpr Binding bindings[] = {
    {QKeySequence::MoveToNextChar, Move::NextChar, false},
    {QKeySequence::MoveToPreviousChar, Move::PreviousChar, false},
    {QKeySequence::MoveToNextWord, Move::NextWord, false},
    {QKeySequence::MoveToPreviousWord, Move::PreviousWord, false},
    {QKeySequence::MoveToNextLine, Move::NextLine, false},
    {QKeySequence::MoveToPreviousLine, Move::PreviousLine, false},
    {QKeySequence::MoveToStartOfLine, Move::StartOfLine, false},
    {QKeySequence::MoveToEndOfLine, Move::EndOfLine, false},
    {QKeySequence::MoveToNextPage, Move::NextPage, false},
    {QKeySequence::MoveToPreviousPage, Move::PreviousPage, false},
    {QKeySequence::SelectNextChar, Move::NextChar, true},
    {QKeySequence::SelectPreviousChar, Move::PreviousChar, true},
    {QKeySequence::SelectNextWord, Move::NextWord, true},
    {QKeySequence::SelectPreviousWord, Move::PreviousWord, true},
    {QKeySequence::SelectNextLine, Move::NextLine, true},
    {QKeySequence::SelectPreviousLine, Move::PreviousLine, true},
    {QKeySequence::SelectStartOfLine, Move::StartOfLine, true},
    {QKeySequence::SelectEndOfLine, Move::EndOfLine, true},
    {QKeySequence::SelectNextPage, Move::NextPage, true},
    {QKeySequence::SelectPreviousPage, Move::PreviousPage, true},
};

bool inWord(QChar c) {
    return c.isLetterOrNumber() || c == u'_' || c.isMark();
}

int lastPosition(const QTextDocument& document) {
    return int(document.characterCount()) - 1;
}

// One character on, a surrogate pair counting as one.
int nextChar(const QTextDocument& document, int position) {
    if (position >= lastPosition(document))
        return position;
    const bool pair = document.characterAt(position).isHighSurrogate() &&
                      document.characterAt(position + 1).isLowSurrogate();
    return position + (pair ? 2 : 1);
}

int previousChar(const QTextDocument& document, int position) {
    if (position <= 0)
        return 0;
    const bool pair = position > 1 && document.characterAt(position - 1).isLowSurrogate() &&
                      document.characterAt(position - 2).isHighSurrogate();
    return position - (pair ? 2 : 1);
}

// The start of the next word, past the rest of this one and the spaces after it.
int nextWord(const QTextDocument& document, int position) {
    const int last = lastPosition(document);
    const int limit = qMin(last, position + wordReach);
    const bool word = inWord(document.characterAt(position));
    int at = position;
    while (at < limit && !document.characterAt(at).isSpace() &&
           inWord(document.characterAt(at)) == word)
        ++at;
    while (at < limit && document.characterAt(at).isSpace())
        ++at;
    return at == position ? nextChar(document, position) : at;
}

// The start of this word, or of the one before when the caret stands at a word's start.
int previousWord(const QTextDocument& document, int position) {
    const int limit = qMax(0, position - wordReach);
    int at = position;
    while (at > limit && document.characterAt(at - 1).isSpace())
        --at;
    if (at > limit) {
        const bool word = inWord(document.characterAt(at - 1));
        while (at > limit && !document.characterAt(at - 1).isSpace() &&
               inWord(document.characterAt(at - 1)) == word)
            --at;
    }
    return at == position ? previousChar(document, position) : at;
}

void remove(QTextEdit& pane, int from, int to) {
    QTextCursor cursor = pane.textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    pane.setTextCursor(cursor);
}
} // namespace

namespace PaneCaret {

bool keyPress(QTextEdit& pane, PaneLayout& layout, QKeyEvent* event, double& goalX) {
    QTextCursor cursor = pane.textCursor();
    const int position = cursor.position();
    if (!layout.inLongParagraph(position))
        return false;
    const QTextDocument& document = *pane.document();
    if (event == QKeySequence::Delete || event == QKeySequence::DeleteEndOfWord ||
        event == QKeySequence::DeleteStartOfWord) {
        if (!pane.isReadOnly()) {
            if (cursor.hasSelection())
                remove(pane, cursor.selectionStart(), cursor.selectionEnd());
            else if (event == QKeySequence::Delete)
                remove(pane, position, nextChar(document, position));
            else if (event == QKeySequence::DeleteEndOfWord)
                remove(pane, position, nextWord(document, position));
            else
                remove(pane, previousWord(document, position), position);
        }
        goalX = -1;
        return true;
    }
    const Binding* binding = nullptr;
    for (const Binding& candidate : bindings) {
        if (event->matches(candidate.key)) {
            binding = &candidate;
            break;
        }
    }
    if (!binding)
        return false;

    const QRectF caret = layout.caretRect(position);
    const bool byLines = binding->move == Move::NextLine || binding->move == Move::PreviousLine ||
                         binding->move == Move::NextPage || binding->move == Move::PreviousPage;
    if (!byLines || goalX < 0)
        goalX = caret.left();
    const int page = pane.viewport()->height();
    const bool collapse = !binding->select && cursor.hasSelection();
    int target = position;
    switch (binding->move) {
    case Move::NextChar:
        target = collapse ? cursor.selectionEnd() : nextChar(document, position);
        break;
    case Move::PreviousChar:
        target = collapse ? cursor.selectionStart() : previousChar(document, position);
        break;
    case Move::NextWord:
        target = nextWord(document, position);
        break;
    case Move::PreviousWord:
        target = previousWord(document, position);
        break;
    case Move::NextLine:
        target = layout.hitTest(QPointF(goalX, caret.bottom() + 1), Qt::FuzzyHit);
        break;
    case Move::PreviousLine:
        target = caret.top() <= layout.caretRect(0).top()
                     ? position
                     : layout.hitTest(QPointF(goalX, caret.top() - 1), Qt::FuzzyHit);
        break;
    case Move::StartOfLine:
        target = layout.lineAt(position).first;
        break;
    case Move::EndOfLine:
        target = layout.lineAt(position).second;
        break;
    case Move::NextPage:
    case Move::PreviousPage: {
        const int step = binding->move == Move::NextPage ? page : -page;
        target = layout.hitTest(QPointF(goalX, caret.center().y() + step), Qt::FuzzyHit);
        QScrollBar* bar = pane.verticalScrollBar();
        bar->setValue(bar->value() + step);
        break;
    }
    }
    if (!byLines)
        goalX = -1;
    cursor.setPosition(target, binding->select ? QTextCursor::KeepAnchor : QTextCursor::MoveAnchor);
    pane.setTextCursor(cursor);
    return true;
}

bool selectWord(QTextEdit& pane, PaneLayout& layout, int position) {
    if (!layout.inLongParagraph(position))
        return false;
    const QTextDocument& document = *pane.document();
    int start = position;
    int end = position;
    const int limit = wordReach;
    while (start > 0 && position - start < limit && inWord(document.characterAt(start - 1)))
        --start;
    while (end < lastPosition(document) && end - position < limit &&
           inWord(document.characterAt(end)))
        ++end;
    if (start == end)
        end = nextChar(document, position);
    QTextCursor cursor = pane.textCursor();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    pane.setTextCursor(cursor);
    return true;
}

void show(QTextEdit& pane, PaneLayout& layout) {
    const int position = pane.textCursor().position();
    if (!layout.inLongParagraph(position))
        return;
    const QRectF caret = layout.caretRect(position);
    // The scroll bars must reach the caret before they can move there.
    layout.reportSize();
    QScrollBar* vertical = pane.verticalScrollBar();
    const int height = pane.viewport()->height();
    if (caret.top() < vertical->value())
        vertical->setValue(qFloor(caret.top()));
    else if (caret.bottom() > vertical->value() + height)
        vertical->setValue(qCeil(caret.bottom()) - height);
    QScrollBar* horizontal = pane.horizontalScrollBar();
    const int width = pane.viewport()->width();
    if (caret.left() < horizontal->value())
        horizontal->setValue(qMax(0, qFloor(caret.left()) - 5));
    else if (caret.right() > horizontal->value() + width)
        horizontal->setValue(qCeil(caret.right()) + 5 - width);
    pane.viewport()->update();
}

} // namespace PaneCaret
