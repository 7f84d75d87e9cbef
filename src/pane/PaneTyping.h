#pragma once

#include <QPointer>
#include <QTextCharFormat>
#include <QTextDocument>

class PaneLayout;
class QKeyEvent;
class QTextCursor;
class QTextEdit;

// The keys that edit text, where they edit a paragraph that the pane's layout lays out in pieces:
// typed text, Backspace, Delete, Enter and Shift+Enter, and the word and line deletes.
//
// After every edit Qt's text widget places its cursor through the paragraph's own layout,
// which an edit has just emptied, so the layout analyses the paragraph's whole text again: in
// a paragraph of megabytes a fifth of a second and more for every key. Qt leaves its cursor
// alone while an edit block is open, so the pane makes these edits itself, as the widget would
// make them, each inside an edit block, and scrolls to the caret through its own layout.
//
// Edit blocks would also change undo: Qt merges a run of typed characters, or of Backspaces or
// Deletes over neighbouring text, into one undo step, and each edit block is a step of its own.
// An edit that the widget's would have merged joins the step before, so undo goes back by the
// same steps as anywhere else.
class PaneTyping {
public:
    // Makes the edit the key asks for when it touches such a paragraph, and returns true; false
    // for any other key or place, where the widget's own handling is right.
    bool keyPress(QTextEdit& pane, PaneLayout& layout, QKeyEvent* event);

private:
    enum class Kind { Other, Typed, Removed };
    // The pane's last edit, as long as it is still the document's last undo step.
    struct Last {
        QPointer<QTextDocument> document;
        Kind kind = Kind::Other;
        int revision = -1;
        int undoSteps = -1;
        // Where the caret stood after it: an edit that continues it starts there.
        int caret = -1;
        QTextCharFormat typedFormat;
        // The text removed by a run of Backspaces and Deletes, and whether the last of them went
        // backwards.
        int removedFrom = 0;
        int removedTo = 0;
        bool backwards = false;
    };

    // Whether an edit of `kind` at `caret` would merge with the last undo step in Qt's widget
    // as far as can be told before making it.
    bool continues(const QTextDocument& document, Kind kind, int caret) const;
    void remember(QTextDocument& document, Kind kind, int caret);
    void type(QTextCursor cursor, const QString& text);
    // Removes [from, to) as Backspace (`backwards`) or Delete does when nothing is selected.
    void removeChars(QTextCursor cursor, int from, int to, bool backwards);
    // Removes the selection, or [from, to) when there is none, as one undo step of its own.
    void removeRange(QTextCursor cursor, int from, int to, bool backwards);

    Last last_;
};
