#include "app/MainFrame.h"

#include "dialogs/ParagraphDialog.h"
#include "dialogs/TabStopsDialog.h"
#include "document/DocumentWindow.h"
#include "format/Formatting.h"
#include "pane/RichTextBox.h"
#include "pictures/EmbeddedFile.h"
#include "system/Desktop.h"
#include "text/Error.h"
#include "text/Runtime.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTextCursor>
#include <new>

// The frame's formatting commands: the font and size boxes, the font and colour dialogs, the
// date box and the bullet entry. Each acts on the active document and does nothing without one.

void MainFrame::applyChosenFont() {
    DocumentWindow* active = activeDocument();
    if (!active)
        return;
    active->Text1->setSelFontName(cboFontCombo->currentText());
    active->Text1->SetFocus();
}

void MainFrame::applyChosenSize() {
    DocumentWindow* active = activeDocument();
    if (!active)
        return;
    try {
        active->Text1->setSelFontSize(Runtime::Val(cboSizeCombo->currentText()));
    } catch (const Error&) {
        // 0, a letter or a size out of reach is simply not applied.
    }
    active->Text1->SetFocus();
}

void MainFrame::applyTypedSize() {
    // Every keystroke in the box applies at once, and the next one goes to the document.
    applyChosenSize();
}

void MainFrame::insertDateStamp() {
    DocumentWindow* active = activeDocument();
    if (!active)
        return;
    // The entries keep the moment the program started, whatever the clock says now.
    active->Text1->setSelText(Combo2->currentText());
    active->Text1->SetFocus();
}

void MainFrame::toggleBullets() {
    if (DocumentWindow* active = activeDocument())
        Formatting::ToggleBullet(active);
}

void MainFrame::showParagraphDialog() {
    ParagraphDialog::showModal(activeDocument(), *this);
}

void MainFrame::showTabStopsDialog() {
    TabStopsDialog::showModal([this] { return activeDocument(); });
}

void MainFrame::showFontDialog() {
    DocumentWindow* active = activeDocument();
    if (!active)
        return;
    RichTextBox* pane = active->Text1;
    CommonDialog& dialog = active->Com1;
    // Any failure, the cancel included, ends the command where it stands.
    try {
        dialog.Flags = DialogFlags::FontScreenAndPrinter;
        dialog.Flags |= DialogFlags::FontExistingOnly;
        dialog.Flags |= DialogFlags::FontEffects;
        dialog.CancelError = true;
        dialog.FontName = cboFontCombo->currentText();
        dialog.FontSize = Runtime::CDbl(cboSizeCombo->currentText());
        // Effects the selection has are offered; the others keep what the dialog last held.
        if (pane->SelBold() == true)
            dialog.FontBold = true;
        if (pane->SelItalic() == true)
            dialog.FontItalic = true;
        if (pane->SelUnderline() == true)
            dialog.FontUnderline = true;
        if (pane->SelStrikeThru() == true)
            dialog.FontStrikethru = true;
        dialog.ShowFont();
        // An effect cleared in the dialog is not taken off the text.
        if (dialog.FontBold)
            Formatting::ToggleBold(*this, active, true);
        if (dialog.FontItalic)
            Formatting::ToggleItalic(*this, active, true);
        if (dialog.FontUnderline)
            Formatting::ToggleUnderline(*this, active, true);
        if (dialog.FontStrikethru)
            pane->setSelStrikeThru(true);
        pane->setSelColor(dialog.Color);
        SetFont(dialog.FontName, Runtime::CStr(float(dialog.FontSize)));
    } catch (const Error&) {
    }
}

void MainFrame::SetFont(const QString& strFontName, const QString& strFontSize) {
    const int entry =
        cboFontCombo->findText(strFontName, Qt::MatchExactly | Qt::MatchCaseSensitive);
    // A font the box does not list (a printer's own) leaves the box, and the text's font, alone.
    if (entry >= 0) {
        cboFontCombo->setCurrentIndex(entry);
        applyChosenFont();
    }
    const double size = Runtime::Val(strFontSize);
    cboSizeCombo->setEditText(Runtime::CStr(size));
    applyTypedSize();
    // The box then shows the size as its list writes it, when the list has it.
    const int listed = cboSizeCombo->findText(Runtime::Str(size), Qt::MatchExactly);
    if (listed >= 0)
        cboSizeCombo->setCurrentIndex(listed);
}

namespace {
// Shows the colour dialog; false when the user cancelled it.
bool colorChosen(CommonDialog& dialog) {
    try {
        dialog.ShowColor();
    } catch (const Error& error) {
        if (error.number == Error::Cancel)
            return false;
        throw;
    }
    return true;
}
} // namespace

void MainFrame::chooseTextColor() {
    DocumentWindow* active = activeDocument();
    if (!active)
        return;
    // Opens at the colour the dialog last held, not at the selection's.
    if (!colorChosen(active->Com1))
        return;
    active->Text1->setSelColor(active->Com1.Color);
    active->Text1->SetFocus();
}

void MainFrame::chooseBackgroundColor() {
    DocumentWindow* active = activeDocument();
    if (!active)
        return;
    active->Com1.Color = active->Text1->BackColor();
    if (!colorChosen(active->Com1))
        return;
    active->Text1->setBackColor(active->Com1.Color);
    active->Text1->SetFocus();
}

void MainFrame::insertObject() {
    DocumentWindow* active = activeDocument();
    if (!active)
        return;
    // Any failure, the cancel included, inserts nothing and says nothing.
    try {
        Com2.ShowOpen();
    } catch (const Error&) {
        return;
    }
    try {
        QTextCursor caret = active->Text1->textCursor();
        if (EmbeddedFile::insert(caret, Com2.FileName))
            active->Text1->setTextCursor(caret);
    } catch (const std::bad_alloc&) {
        // Like every failure of this command, running out of memory inserts nothing, silently;
        // the program and its documents carry on.
    }
}
