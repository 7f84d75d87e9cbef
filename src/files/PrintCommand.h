#pragma once

class DocumentWindow;

// File/Print: the printer dialog of the document window, then its selection, or the whole
// document when nothing is selected, printed with its formatting. A cancel or a printer's
// failure ends the command without a message; running out of memory is reported.
namespace PrintCommand {
void Print_run(DocumentWindow* active);
} // namespace PrintCommand
