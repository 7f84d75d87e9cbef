#include "dialogs/FindEngine.h"

#include "os/MemoryEstimate.h"
#include "system/Desktop.h"
#include "text/Error.h"
#include "text/Runtime.h"

#include <QTextCursor>
#include <QTextDocument>

#include <new>

namespace {
// What one replacement takes beyond its text, which the document and the pane's copy of it
// hold twice over: the document's undo records of the removal and the insertion and the piece
// of text the replacement becomes. find_bench's BM_ReplaceAllMemory measured 520 bytes for
// each of 100,000 replacements by a three-letter word (resident); rounded up for the address
// space, which grows by more.
constexpr qint64 bytesPerReplacement = 640;

qint64 replacementBytes(qsizetype count, qsizetype replacementLength) {
    return qint64(count) * (bytesPerReplacement + 4 * qint64(replacementLength));
}
} // namespace

namespace FindEngine {

Bounds findBounds(int range, int selStart, int selLength, int textLength) {
    switch (range) {
    case Up:
        return {1, selStart + selLength};
    case Down:
        return {selStart + selLength + 1, textLength + 1};
    default:
        return {1, textLength + 1};
    }
}

Bounds replaceBounds(int range, int selStart, int selLength, int textLength) {
    Bounds bounds = findBounds(range, selStart, selLength, textLength);
    if (range == Down)
        bounds.start -= 1;
    return bounds;
}

std::optional<int> findInRange(const QString& text, const QString& what, int& start, int end) {
    if (start < 1)
        start = 1;
    if (what.isEmpty())
        return std::nullopt;
    const int found = Runtime::InStr(start, text, what);
    if (found == 0 || found + what.size() > end)
        return std::nullopt;
    return found - 1;
}

QList<int> replaceAllOffsets(const QString& text, const QString& what) {
    QList<int> offsets;
    if (what.isEmpty())
        return offsets;
    // The same comparison as Runtime::InStr, continued from each match's end.
    for (qsizetype at = text.indexOf(what, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(what, at + what.size(), Qt::CaseInsensitive))
        offsets.append(int(at));
    return offsets;
}

std::optional<int> replaceAll(QTextDocument& document, const QString& text, const QString& what,
                              const QString& with) {
    QList<int> offsets = replaceAllOffsets(text, what);
    // The text has a tab or a line break where a table cell starts or ends: an occurrence that
    // takes one in runs from one cell into another, and is no one place's text to replace.
    if (what.contains(u'\t') || what.contains(u'\n')) {
        offsets.removeIf([&](int at) {
            for (int i = at; i < at + int(what.size()); ++i) {
                const char16_t c = document.characterAt(i).unicode();
                if (c == 0xFDD0 || c == 0xFDD1)
                    return true;
            }
            return false;
        });
    }
    if (offsets.isEmpty())
        return std::nullopt;
    if (!MemoryEstimate::fits(replacementBytes(offsets.size(), with.size()),
                              DesktopSeam::current().memoryLeft()))
        throw Error::withNumber(Error::OutOfMemory);

    // From the last occurrence back to the first, so every offset still points at its
    // occurrence when its turn comes.
    QTextCursor cursor(&document);
    const int stepsBefore = document.availableUndoSteps();
    cursor.beginEditBlock();
    try {
        for (auto it = offsets.crbegin(); it != offsets.crend(); ++it) {
            cursor.setPosition(*it);
            cursor.setPosition(*it + int(what.size()), QTextCursor::KeepAnchor);
            if (with.isEmpty())
                cursor.removeSelectedText();
            else
                cursor.insertText(with);
        }
    } catch (const std::bad_alloc&) {
        // A document left inside an edit block would take no further edit; the replacements
        // made so far are taken back, so the text is as it was.
        cursor.endEditBlock();
        if (document.availableUndoSteps() > stepsBefore)
            document.undo();
        throw;
    }
    cursor.endEditBlock();

    const qsizetype growth = (with.size() - what.size()) * (offsets.size() - 1);
    return int(offsets.last() + growth + with.size());
}

} // namespace FindEngine
