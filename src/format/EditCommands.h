#pragma once

class RichTextBox;

// The Edit menu's commands on the active document's pane (null when no document is open, in
// which case they do nothing). Undo, Cut, Copy and Paste only queue the keystroke the pane
// handles itself, so they also work from a toolbar button: the keystroke is processed after
// the button has given the focus back to the pane.
namespace EditCommands {

void Undo(RichTextBox* pane);  // Alt+Backspace
void Cut(RichTextBox* pane);   // Shift+Delete
void Copy(RichTextBox* pane);  // Ctrl+Insert
void Paste(RichTextBox* pane); // Shift+Insert
// Removes the selection without touching the clipboard.
void Delete(RichTextBox* pane);
void SelectAll(RichTextBox* pane);

// Which Edit menu entries are enabled, worked out each time the menu opens.
struct EditMenuState {
    bool undo = false;
    bool cut = false;
    bool copy = false;
    bool paste = false;
    bool clear = false;
    bool all = false;
    bool find = false;
    bool operator==(const EditMenuState&) const = default;
};

EditMenuState editMenuState(const RichTextBox* activePane);

} // namespace EditCommands
