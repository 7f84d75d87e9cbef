#include "format/Formatting.h"

#include "document/DocumentWindow.h"
#include "format/FormatBar.h"
#include "pane/RichTextBox.h"
#include "pane/SelectionFormat.h"
#include "text/Runtime.h"

#include <QAbstractButton>
#include <QComboBox>
#include <algorithm>

namespace Formatting {

namespace {
constexpr int smallestListedSize = 6;
constexpr int largestMappedSize = 70;

void toggle(QAbstractButton* button, bool forceOn, std::optional<bool> current,
            const std::function<void(bool)>& set) {
    const bool on = forceOn || current != true;
    set(on);
    button->setChecked(on);
}

// The three buttons are one group: pressing one releases the others. False when no button
// shows the alignment; the buttons then keep their state.
bool pressAlignmentButton(FormatBar& bar, Alignment alignment) {
    const auto& shown = FormatBar::alignmentOfButton;
    if (std::find(shown.begin(), shown.end(), alignment) == shown.end())
        return false;
    for (size_t button = 0; button < shown.size(); ++button)
        bar.ImgAButtons[button]->setChecked(shown[button] == alignment);
    return true;
}

void showFontName(FormatBar& bar, const QString& name) {
    if (name == bar.rememberedFontName)
        return;
    const int entry = bar.cboFontCombo->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    bar.cboFontCombo->setCurrentIndex(entry);
    bar.rememberedFontName = entry >= 0 ? name : QString();
}

void showFontSize(FormatBar& bar, double size) {
    const QString text = Runtime::CStr(float(size));
    if (text == bar.rememberedSizeText)
        return;
    const double value = Runtime::Val(text);
    if (value >= smallestListedSize && value <= largestMappedSize)
        bar.cboSizeCombo->setCurrentIndex(Runtime::CInt(value - smallestListedSize));
    else
        bar.cboSizeCombo->setCurrentIndex(-1);
    bar.rememberedSizeText = text;
}
} // namespace

void AlignText(FormatBar& bar, DocumentWindow* document, Alignment alignment) {
    if (pressAlignmentButton(bar, alignment))
        document->Text1->setSelAlignment(alignment);
}

void ToggleBold(FormatBar& bar, DocumentWindow* document, bool forceOn) {
    RichTextBox* pane = document->Text1;
    toggle(bar.ImgFButtons[0], forceOn, pane->SelBold(), [pane](bool on) { pane->setSelBold(on); });
}

void ToggleItalic(FormatBar& bar, DocumentWindow* document, bool forceOn) {
    RichTextBox* pane = document->Text1;
    toggle(bar.ImgFButtons[1], forceOn, pane->SelItalic(),
           [pane](bool on) { pane->setSelItalic(on); });
}

void ToggleUnderline(FormatBar& bar, DocumentWindow* document, bool forceOn) {
    RichTextBox* pane = document->Text1;
    toggle(bar.ImgFButtons[2], forceOn, pane->SelUnderline(),
           [pane](bool on) { pane->setSelUnderline(on); });
}

void ToggleBullet(DocumentWindow* document) {
    RichTextBox* pane = document->Text1;
    if (pane->SelBullet() != true) {
        pane->setSelBullet(true);
        return;
    }
    pane->setSelBullet(false);
    pane->setSelHangingIndent(0);
}

void SyncToolbar(FormatBar& bar, DocumentWindow* document) {
    const SelectionFormat format = document->Text1->SelFormat();
    bar.ImgFButtons[0]->setChecked(format.bold == true);
    bar.ImgFButtons[1]->setChecked(format.italic == true);
    bar.ImgFButtons[2]->setChecked(format.underline == true);
    if (format.alignment)
        pressAlignmentButton(bar, *format.alignment);
    if (format.fontName)
        showFontName(bar, *format.fontName);
    if (format.fontSize)
        showFontSize(bar, *format.fontSize);
}

} // namespace Formatting
