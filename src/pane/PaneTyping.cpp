#include "pane/PaneTyping.h"

#include "layout/PaneLayout.h"
#include "pane/PaneBoundaries.h"
#include "pane/PaneParagraphs.h"

#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>

namespace {
enum class Edit {
    None,
    Type,
    Paragraph,
    LineBreak,
    Backspace,
    Delete,
    DeleteWordAfter,
    DeleteWordBefore,
    DeleteLineAfter,
};

// What Qt's text widget takes for typed text.
bool typesText(const QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    const QChar c = text.front();
    if (c.category() == QChar::Other_Format)
        return true;
    // Ctrl with a key is a command; Ctrl+Alt types characters on some keyboards.
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers == Qt::ControlModifier || modifiers == (Qt::ShiftModifier | Qt::ControlModifier))
        return false;
    if (c.isPrint() || c.category() == QChar::Other_PrivateUse)
        return true;
    if (c.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate())
        return true;
    return c == u'\t';
}

// In the order Qt's widget tries them, so that a key bound to two of them does the same.
Edit editFor(const QKeyEvent* event) {
    if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier))
        return Edit::Backspace;
    if (event->matches(QKeySequence::InsertParagraphSeparator))
        return Edit::Paragraph;
    if (event->matches(QKeySequence::InsertLineSeparator))
        return Edit::LineBreak;
    for (const auto command :
         {QKeySequence::Undo, QKeySequence::Redo, QKeySequence::Cut, QKeySequence::Paste}) {
        if (event->matches(command))
            return Edit::None;
    }
    if (event->matches(QKeySequence::Delete))
        return Edit::Delete;
    if (event->matches(QKeySequence::Backspace))
        return Edit::Backspace;
    if (event->matches(QKeySequence::DeleteEndOfWord))
        return Edit::DeleteWordAfter;
    if (event->matches(QKeySequence::DeleteStartOfWord))
        return Edit::DeleteWordBefore;
    if (event->matches(QKeySequence::DeleteEndOfLine))
        return Edit::DeleteLineAfter;
    return typesText(event) ? Edit::Type : Edit::None;
}

// Qt's cursor leaves embedded objects other than pictures in place, and the marks that start
// and end tables and their cells: no key merges two cells.
bool canDelete(const QTextDocument& document, int position) {
    const QChar c = document.characterAt(position);
    if (c == QChar(0xFDD0) || c == QChar(0xFDD1))
        return false;
    if (c != QChar::ObjectReplacementCharacter)
        return true;
    const QTextBlock block = document.findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.position() + fragment.length() > position) {
            const QTextCharFormat format = fragment.charFormat();
            return format.objectIndex() == -1 || format.objectType() == QTextFormat::ImageObject;
        }
    }
    return true;
}

// Selects [from, to) with the caret at its end, as Qt's widget has it when Backspace removes
// text, or at its start, as for Delete; undo restores the caret from which way it was. Only
// inside an edit block: outside one, moving a cursor analyses the paragraph.
void select(QTextCursor& cursor, int from, int to, bool caretAtEnd) {
    cursor.setPosition(caretAtEnd ? from : to);
    cursor.setPosition(caretAtEnd ? to : from, QTextCursor::KeepAnchor);
}

// What a key removes when nothing is selected: from where to where around the caret.
std::pair<int, int> reachOf(Edit edit, const QTextEdit& pane, const QTextCursor& cursor) {
    const QTextDocument& document = *pane.document();
    const int position = cursor.position();
    const bool selected = cursor.hasSelection();
    int from = position;
    int to = position;
    switch (edit) {
    case Edit::Type:
        if (pane.overwriteMode() && !selected && !cursor.atBlockEnd())
            to = PaneBoundaries::nextCluster(document, position);
        break;
    case Edit::Backspace:
        from = PaneBoundaries::previousChar(document, position);
        break;
    case Edit::Delete:
        to = PaneBoundaries::nextCluster(document, position);
        break;
    case Edit::DeleteWordAfter:
        to = PaneBoundaries::nextWord(document, position);
        break;
    case Edit::DeleteWordBefore:
        from = PaneBoundaries::previousWord(document, position);
        break;
    case Edit::DeleteLineAfter: {
        const QTextBlock block = cursor.block();
        const int end = block.position() + block.length() - 1;
        to = position == end - 1 ? PaneBoundaries::nextCluster(document, position) : end;
        break;
    }
    default:
        break;
    }
    return {from, to};
}
} // namespace

bool PaneTyping::keyPress(QTextEdit& pane, PaneLayout& layout, QKeyEvent* event) {
    const Edit edit = editFor(event);
    if (edit == Edit::None || pane.isReadOnly())
        return false;
    QTextDocument& document = *pane.document();
    const QTextCursor cursor = pane.textCursor();
    const bool selected = cursor.hasSelection();
    // The widget stretches a selection to the paragraph's end before removing it: rare enough
    // to leave to it.
    if (edit == Edit::DeleteLineAfter && selected)
        return false;
    const auto [from, to] = reachOf(edit, pane, cursor);
    if (!layout.inLongParagraph(cursor.selectionStart()) &&
        !layout.inLongParagraph(cursor.selectionEnd()) && !layout.inLongParagraph(from) &&
        !layout.inLongParagraph(to))
        return false;
    // At a paragraph's start Backspace takes a list item out of its list, or an indented
    // paragraph out by a step: the widget's own business, and no text changes.
    if (edit == Edit::Backspace && cursor.atBlockStart() &&
        ((cursor.currentList() && !selected) || cursor.blockFormat().indent() > 0))
        return false;

    switch (edit) {
    case Edit::Type:
        if (to > from && canDelete(document, from))
            removeChars(cursor, from, to, false);
        type(pane.textCursor(), event->text());
        break;
    case Edit::LineBreak:
        type(cursor, QString(QChar::LineSeparator));
        break;
    case Edit::Paragraph: {
        QTextCursor paragraph = cursor;
        PaneParagraphs::breakParagraph(paragraph);
        remember(document, Kind::Other, paragraph.position());
        break;
    }
    case Edit::Backspace:
    case Edit::Delete: {
        const bool backspace = edit == Edit::Backspace;
        if (selected)
            removeRange(cursor, from, to, false);
        else if (to > from && canDelete(document, backspace ? to - 1 : from))
            removeChars(cursor, from, to, backspace);
        break;
    }
    case Edit::DeleteWordAfter:
    case Edit::DeleteLineAfter:
    case Edit::DeleteWordBefore:
        removeRange(cursor, from, to, edit != Edit::DeleteWordBefore);
        break;
    case Edit::None:
        break;
    }
    return true;
}

bool PaneTyping::continues(const QTextDocument& document, Kind kind, int caret) const {
    // Qt merges an edit into the last undo step only while the document counts as modified, so
    // the first edit after a save starts a step of its own.
    return last_.kind == kind && last_.document == &document && last_.caret == caret &&
           last_.revision == document.revision() &&
           last_.undoSteps == document.availableUndoSteps() && document.isModified();
}

void PaneTyping::remember(QTextDocument& document, Kind kind, int caret) {
    last_.document = &document;
    last_.kind = kind;
    last_.revision = document.revision();
    last_.undoSteps = document.availableUndoSteps();
    last_.caret = caret;
}

void PaneTyping::type(QTextCursor cursor, const QString& text) {
    QTextDocument& document = *cursor.document();
    // The format QTextCursor::insertText(text) would give it.
    QTextCharFormat format = cursor.charFormat();
    format.clearProperty(QTextFormat::ObjectType);
    // Typed text goes on in the last step when that step ends in text typed just before it in
    // the same format, where it stands in the document and in the order it was typed: nothing
    // came between, or the revision would have moved.
    if (!cursor.hasSelection() && continues(document, Kind::Typed, cursor.position()) &&
        format == last_.typedFormat)
        cursor.joinPreviousEditBlock();
    else
        cursor.beginEditBlock();
    cursor.insertText(text, format);
    cursor.endEditBlock();
    remember(document, Kind::Typed, cursor.position());
    last_.typedFormat = format;
}

void PaneTyping::removeChars(QTextCursor cursor, int from, int to, bool backwards) {
    QTextDocument& document = *cursor.document();
    // A paragraph mark removed is always a step of its own.
    const bool mark = document.findBlock(from) != document.findBlock(to);
    const bool join = !mark && continues(document, Kind::Removed, cursor.position());
    if (!join) {
        removeRange(cursor, from, to, backwards);
        last_.kind = mark ? Kind::Other : Kind::Removed;
        last_.removedFrom = from;
        last_.removedTo = to;
        last_.backwards = backwards;
        return;
    }
    // Qt merges a removal into the run before it when the removed texts were neighbours in the
    // order they were typed or read in, which only the document knows: it is asked by joining
    // the run, and when the two stay apart, the run is undone and made again as two steps.
    const int steps = document.availableUndoSteps();
    cursor.joinPreviousEditBlock();
    select(cursor, from, to, backwards);
    cursor.removeSelectedText();
    cursor.endEditBlock();
    const int runLength = last_.removedTo - last_.removedFrom;
    if (document.availableUndoSteps() == steps) {
        remember(document, Kind::Removed, cursor.position());
        last_.removedFrom = from;
        last_.removedTo = from + runLength + (to - from);
        last_.backwards = backwards;
        return;
    }
    const int runFrom = last_.removedFrom;
    const bool runBackwards = last_.backwards;
    document.undo();
    removeRange(cursor, runFrom, runFrom + runLength, runBackwards);
    removeRange(cursor, from, to, backwards);
    last_.kind = Kind::Removed;
    last_.removedFrom = from;
    last_.removedTo = to;
    last_.backwards = backwards;
}

void PaneTyping::removeRange(QTextCursor cursor, int from, int to, bool backwards) {
    QTextDocument& document = *cursor.document();
    if (!cursor.hasSelection() && from == to)
        return;
    cursor.beginEditBlock();
    if (!cursor.hasSelection())
        select(cursor, from, to, backwards);
    cursor.removeSelectedText();
    cursor.endEditBlock();
    remember(document, Kind::Other, cursor.position());
}
