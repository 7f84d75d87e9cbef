#pragma once

class QTextDocument;

// Where characters and words begin and end, read from the document a character at a time. In
// a paragraph of megabytes Qt finds these in the paragraph's layout, which analyses all of its
// text first; these look only at the characters around the position.
namespace PaneBoundaries {

// One character on or back, a surrogate pair counting as one.
int nextChar(const QTextDocument& document, int position);
int previousChar(const QTextDocument& document, int position);
// The end of the character that starts at `position`, combining marks and other parts of what
// shows as one character included, as Delete removes it.
int nextCluster(const QTextDocument& document, int position);
// The start of the next word, past the rest of this one and the spaces after it.
int nextWord(const QTextDocument& document, int position);
// The start of this word, or of the one before when `position` is at a word's start.
int previousWord(const QTextDocument& document, int position);
// The word around `position`, as a double click selects it, or the character there when it is
// not in a word.
struct Range {
    int from = 0;
    int to = 0;
};
Range wordAt(const QTextDocument& document, int position);

} // namespace PaneBoundaries
