#pragma once

class CommonDialog;
class RichTextBox;
class Wordbox;

// File/Print: the printer dialog of the active document window, then its selection, or the
// whole document when nothing is selected, printed with its formatting. A cancel or any
// failure ends the command without a message.
namespace PrintCommand {

void Print_run(Wordbox* active);
// The same on a window's dialog control and pane.
void printPane(CommonDialog& Com1, RichTextBox& Text1);

} // namespace PrintCommand
