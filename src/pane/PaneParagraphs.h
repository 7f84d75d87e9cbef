#pragma once

#include <QtGlobal>

class QTextBlock;
class QTextBlockFormat;
class QTextCursor;

// Paragraphs as files, the ruler and the Paragraph dialog describe them: the first line starts
// `firstLine` from the margin (a list paragraph's number stands there) and the other lines stand
// `hanging` right of the first. Qt keeps the same paragraph as a left margin and a first-line
// offset from it, and a list paragraph's first-line text after the room its number takes.
namespace PaneParagraphs {

struct Indents {
    qreal firstLine = 0; // layout units
    qreal hanging = 0;
};

Indents indentsOf(const QTextBlock& block);
void setIndents(QTextBlockFormat& format, bool inList, const Indents& indents);

// Enter: a new paragraph in the format of the one it splits, its text in the caret's format.
void breakParagraph(QTextCursor& cursor);

// Takes the paragraph out of its list; its lines stay where they stood, the first where the
// number stood.
void leaveList(const QTextBlock& block);

} // namespace PaneParagraphs
