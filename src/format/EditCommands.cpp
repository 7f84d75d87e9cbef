#include "format/EditCommands.h"

#include "pane/RichTextBox.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>

namespace {
// Posted, not sent: the handler that queues the key returns first, and whatever it does to the
// focus (the toolbar hands it back to the pane) is done before the key arrives.
void queueKey(RichTextBox* pane, int key, Qt::KeyboardModifiers modifiers) {
    if (!pane)
        return;
    QCoreApplication::postEvent(pane, new QKeyEvent(QEvent::KeyPress, key, modifiers));
    QCoreApplication::postEvent(pane, new QKeyEvent(QEvent::KeyRelease, key, modifiers));
}

bool clipboardHasText() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasText();
}
} // namespace

namespace EditCommands {

void Undo(RichTextBox* pane) {
    queueKey(pane, Qt::Key_Backspace, Qt::AltModifier);
}
void Cut(RichTextBox* pane) {
    queueKey(pane, Qt::Key_Delete, Qt::ShiftModifier);
}
void Copy(RichTextBox* pane) {
    queueKey(pane, Qt::Key_Insert, Qt::ControlModifier);
}
void Paste(RichTextBox* pane) {
    queueKey(pane, Qt::Key_Insert, Qt::ShiftModifier);
}

void Delete(RichTextBox* pane) {
    if (pane)
        pane->setSelText(QString());
}

void SelectAll(RichTextBox* pane) {
    if (!pane)
        return;
    pane->setSelStart(0);
    pane->setSelLength(int(pane->Text().size()));
}

EditMenuState editMenuState(const RichTextBox* activePane) {
    if (!activePane)
        return {};
    const bool selected = activePane->SelLength() != 0;
    EditMenuState state;
    state.undo = activePane->canUndo();
    state.cut = selected;
    state.copy = selected;
    state.clear = selected;
    state.paste = clipboardHasText();
    state.all = true;
    state.find = true;
    return state;
}

} // namespace EditCommands
