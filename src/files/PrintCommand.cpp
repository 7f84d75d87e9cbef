#include "files/PrintCommand.h"

#include "document/DocumentWindow.h"
#include "pane/RichTextBox.h"
#include "system/Desktop.h"
#include "system/ReportError.h"
#include "text/Error.h"

#include <QPrinter>
#include <exception>

namespace PrintCommand {

void Print_run(DocumentWindow* active) {
    if (!active)
        return;
    CommonDialog& Com1 = active->Com1;
    RichTextBox& Text1 = *active->Text1;
    try {
        Com1.Flags = DialogFlags::PrintSetup;
        if (Text1.SelLength() != 0)
            Com1.Flags |= DialogFlags::PrintSelection;
        Com1.CancelError = true;
        QPrinter printer(QPrinter::HighResolution);
        Com1.ShowPrinter(printer);
        Text1.SelPrint(printer);
    } catch (const Error&) {
        // A cancelled dialog, a printer that cannot be opened: the command just ends.
    } catch (const std::exception& failure) {
        // Not a printer's refusal but the program running short (memory): that is told.
        Common::ReportError(Error{Error::OutOfMemory, QString::fromLocal8Bit(failure.what())});
    }
}

} // namespace PrintCommand
