#include "pane/PaneCaret.h"

#include "layout/PaneLayout.h"
#include "pane/PaneBoundaries.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextEdit>
#include <QtMath>

namespace {
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

} // namespace

namespace PaneCaret {

bool keyPress(QTextEdit& pane, PaneLayout& layout, QKeyEvent* event, double& goalX) {
    QTextCursor cursor = pane.textCursor();
    const int position = cursor.position();
    if (!layout.inLongParagraph(position))
        return false;
    const QTextDocument& document = *pane.document();
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
        target = collapse ? cursor.selectionEnd() : PaneBoundaries::nextChar(document, position);
        break;
    case Move::PreviousChar:
        target =
            collapse ? cursor.selectionStart() : PaneBoundaries::previousChar(document, position);
        break;
    case Move::NextWord:
        target = PaneBoundaries::nextWord(document, position);
        break;
    case Move::PreviousWord:
        target = PaneBoundaries::previousWord(document, position);
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
    const PaneBoundaries::Range word = PaneBoundaries::wordAt(*pane.document(), position);
    QTextCursor cursor = pane.textCursor();
    cursor.setPosition(word.from);
    cursor.setPosition(word.to, QTextCursor::KeepAnchor);
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
