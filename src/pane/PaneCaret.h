#pragma once

class PaneLayout;
class QKeyEvent;
class QTextEdit;

// Moving the caret in a paragraph that the pane's layout lays out in pieces. Qt's text widget
// moves the caret by lines and words through the paragraph's own layout, which such a paragraph
// never gets (laying out or even analysing megabytes on every key press is what the pieces
// avoid), and it scrolls to where that layout would put the caret. There the pane asks its
// layout instead.
namespace PaneCaret {

// Handles a key that moves the caret or extends the selection, when the caret is in a paragraph
// laid out in pieces. False for any other key or place: the widget's own handling is right
// there, and keys that edit are PaneTyping's. `goalX` keeps the column that moves up and down
// keep.
bool keyPress(QTextEdit& pane, PaneLayout& layout, QKeyEvent* event, double& goalX);

// Selects the word at `position`, as a double click does; false outside such a paragraph.
bool selectWord(QTextEdit& pane, PaneLayout& layout, int position);

// Scrolls the caret into view when it is in such a paragraph, and repaints the view.
void show(QTextEdit& pane, PaneLayout& layout);

} // namespace PaneCaret
