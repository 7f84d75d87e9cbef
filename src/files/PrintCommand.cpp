#include "files/PrintCommand.h"

#include "platform/CommonDialog.h"
#include "platform/Error.h"
#include "platform/RichTextBox.h"

#include <QPrinter>
#include <exception>

namespace {
constexpr int printSetupFlag = 64;
constexpr int selectionFlag = 1;
} // namespace

namespace PrintCommand {

void printPane(CommonDialog& Com1, RichTextBox& Text1) {
    try {
        Com1.Flags = printSetupFlag;
        if (Text1.SelLength() != 0)
            Com1.Flags = Com1.Flags + selectionFlag;
        Com1.CancelError = true;
        QPrinter printer(QPrinter::HighResolution);
        Com1.ShowPrinter(printer);
        Text1.SelPrint(printer);
    } catch (const Error&) {
        // A cancelled dialog, a printer that cannot be opened: the command just ends.
    } catch (const std::exception&) {
    }
}

} // namespace PrintCommand
