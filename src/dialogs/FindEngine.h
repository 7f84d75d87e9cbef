#pragma once

#include <QList>
#include <QString>
#include <optional>

class QTextDocument;

// The search behind the find dialog, on a document's plain text. Positions follow the dialog:
// 1-based where they stand for a search start or an exclusive end bound, 0-based where they
// select. Letter case is ignored by simple case folding, so non-ASCII letters (Ä/ä, Σ/σ/ς)
// compare as a reader expects while a match keeps the length of the text searched for.
namespace FindEngine {

// The range box: the order of its entries.
enum Range { All = 0, Up = 1, Down = 2 };

struct Bounds {
    int start = 1; // 1-based first position a match may start at
    int end = 1;   // 1-based exclusive bound a match must end before
};

// Bounds for a Find click, from the range and the pane's selection as it is at the click.
Bounds findBounds(int range, int selStart, int selLength, int textLength);
// Replace starts "Down" one position earlier: on the last character of the selection.
Bounds replaceBounds(int range, int selStart, int selLength, int textLength);

// The first occurrence in `text` that starts at or after `start` and ends before `end`, as a
// 0-based offset to select. `start` below 1 is raised to 1 first (the caller sees it raised).
// An empty `what` is never found, so a loop over the matches always ends.
std::optional<int> findInRange(const QString& text, const QString& what, int& start, int end);

// The 0-based offsets that repeated find-and-replace from the top takes: each search starts
// just after the previous replacement, so these are the non-overlapping occurrences from left
// to right, whatever the replacement holds.
QList<int> replaceAllOffsets(const QString& text, const QString& what);

// Replaces every one of those occurrences in `document`, whose plain text with one character
// per paragraph break is `text`, as one undoable step. Returns the caret position just after
// the last replacement, or nullopt when nothing was found. Linear in the text's length. Throws
// Error 7 before changing anything when the replacements would not fit in the memory left, and
// passes on std::bad_alloc after taking back the replacements made so far.
std::optional<int> replaceAll(QTextDocument& document, const QString& text, const QString& what,
                              const QString& with);

} // namespace FindEngine
