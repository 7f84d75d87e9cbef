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

void MainFrame::connectEditMenu() {
    connect(itemedit, &QMenu::aboutToShow, this, &MainFrame::itemedit_Click);
    connect(undoitem, &QAction::triggered, this, [this] { EditCommands::Undo(activePane()); });
    connect(cutitem, &QAction::triggered, this, [this] { EditCommands::Cut(activePane()); });
    connect(copyitem, &QAction::triggered, this, [this] { EditCommands::Copy(activePane()); });
    connect(pasteitem, &QAction::triggered, this, [this] { EditCommands::Paste(activePane()); });
    connect(clearitem, &QAction::triggered, this, [this] { EditCommands::Delete(activePane()); });
    connect(allitem, &QAction::triggered, this, [this] { EditCommands::SelectAll(activePane()); });
    connect(Edit_Find, &QAction::triggered, this, &MainFrame::Edit_Find_Click);
}

RichTextBox* MainFrame::activePane() const {
    return paneOf(activeDocument());
}

// Ctrl+Z is the Undo entry's shortcut, and a disabled entry's shortcut does nothing: the entry
// follows the active pane's undo state all the time, not only while the menu is open.
void MainFrame::refreshUndoItem() {
    const RichTextBox* pane = activePane();
    undoitem->setEnabled(pane && pane->canUndo());
}

void MainFrame::itemedit_Click() {
    const EditCommands::EditMenuState state = EditCommands::editMenuState(activePane());
    undoitem->setEnabled(state.undo);
    cutitem->setEnabled(state.cut);
    copyitem->setEnabled(state.copy);
    clearitem->setEnabled(state.clear);
    pasteitem->setEnabled(state.paste);
    allitem->setEnabled(state.all);
    Edit_Find->setEnabled(state.find);
}

void MainFrame::Edit_Find_Click() {
    if (DocumentWindow* document = activeDocument())
        Find::ShowFind(document, document->Text1->SelText(), [this] { return activePane(); });
}

void MainFrame::Print_run_Click() {
    PrintCommand::Print_run(activeDocument());
}
