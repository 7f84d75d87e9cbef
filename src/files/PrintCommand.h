#pragma once

class CommonDialog;
class RichTextBox;

// File/Print: the printer dialog of the active document window, then its selection, or the
// whole document when nothing is selected, printed with its formatting. A cancel or any
// failure ends the command without a message.
namespace PrintCommand {

// The command on a window's dialog control and pane.
void printPane(CommonDialog& Com1, RichTextBox& Text1);

// On the active document window (any window with Com1 and Text1); nothing without one.
template <class Window> void Print_run(Window* active) {
    if (active && active->Text1)
        printPane(active->Com1, *active->Text1);
}

} // namespace PrintCommand
