#include "app/MainFrame.h"

#include "dialogs/FindDialog.h"
#include "dialogs/ShowFind.h"
#include "document/DocumentWindow.h"
#include "files/PrintCommand.h"
#include "format/EditCommands.h"
#include "pane/RichTextBox.h"

#include <QMenu>

namespace {
RichTextBox* paneOf(DocumentWindow* document) {
    return document ? document->Text1 : nullptr;
}
} // namespace

RichTextBox* MainFrame::activePane() const {
    return paneOf(activeDocument());
}

// Ctrl+Z is the Undo entry's shortcut, and a disabled entry's shortcut does nothing: the entry
// follows the active pane's undo state all the time, not only while the menu is open.
void MainFrame::refreshUndoItem() {
    const RichTextBox* pane = activePane();
    undoAction->setEnabled(pane && pane->canUndo());
}

void MainFrame::refreshEditMenu() {
    const EditCommands::EditMenuState state = EditCommands::editMenuState(activePane());
    undoAction->setEnabled(state.undo);
    cutAction->setEnabled(state.cut);
    copyAction->setEnabled(state.copy);
    deleteAction->setEnabled(state.clear);
    pasteAction->setEnabled(state.paste);
    selectAllAction->setEnabled(state.all);
    findAction->setEnabled(state.find);
}

void MainFrame::undo() {
    EditCommands::Undo(activePane());
}

void MainFrame::redo() {
    if (RichTextBox* pane = activePane())
        pane->redo();
}

void MainFrame::cut() {
    EditCommands::Cut(activePane());
}

void MainFrame::copy() {
    EditCommands::Copy(activePane());
}

void MainFrame::paste() {
    EditCommands::Paste(activePane());
}

void MainFrame::deleteSelection() {
    EditCommands::Delete(activePane());
}

void MainFrame::selectAll() {
    EditCommands::SelectAll(activePane());
}

void MainFrame::showFind() {
    if (DocumentWindow* document = activeDocument())
        Find::ShowFind(document, document->Text1->SelText(), [this] { return activePane(); });
}

void MainFrame::printDocument() {
    PrintCommand::Print_run(activeDocument());
}
