#include "files/OpenCommand.h"

#include "app/MDI.h"
#include "document/Wordbox.h"
#include "files/DocumentKind.h"
#include "platform/Error.h"
#include "platform/MsgBox.h"
#include "platform/RichTextBox.h"
#include "platform/Runtime.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>

namespace {
const QString openFilter = QStringLiteral(
    "All File|*.txt;*.rtf;*.htm|Text (*.TXT)|*.txt|Word (*.RTF)|*.rtf|Html (*.HTM)|*.htm");

// An overflow abandons only the step that raised it.
template <typename Step> void skippingOverflow(Step step) {
    try {
        step();
    } catch (const Error& error) {
        if (error.number != Error::Overflow)
            throw;
    }
}

// The busy pointer while a file is read; shown before the reading starts.
class BusyPointer {
public:
    BusyPointer() {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    ~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

void load(MDI& frame, Wordbox& window) {
    const QString fileName = window.Com1.FileName;
    RichTextBox& pane = *window.Text1;
    BusyPointer busy;
    skippingOverflow([&] { pane.setText(QString()); });
    // With no entry chosen in the size box there is no size to apply; the pane keeps its own.
    if (frame.cboSizeCombo->currentIndex() >= 0)
        skippingOverflow(
            [&] { pane.setSelFontSize(Runtime::Val(frame.cboSizeCombo->currentText())); });
    switch (documentKindOf(fileName)) {
    case DocumentKind::RichText:
        skippingOverflow([&] { pane.setBackColor(frame.rtfcolor(fileName, 2)); });
        skippingOverflow([&] { pane.LoadFile(fileName, 0); });
        break;
    case DocumentKind::Html:
        skippingOverflow([&] { pane.LoadFile(fileName, 1); });
        skippingOverflow([&] { pane.setText(frame.removeTags(pane.Text())); });
        break;
    case DocumentKind::PlainText:
        skippingOverflow([&] { pane.LoadFile(fileName, 1); });
        break;
    }
}
} // namespace

namespace OpenCommand {
void run(MDI& frame) {
    QPointer<Wordbox> window = new Wordbox;
    bool shown = false;
    try {
        window->Com1.Filter = openFilter;
        window->Com1.CancelError = true;
        window->Com1.setAction(1);
        if (!window->Com1.FileName.isEmpty())
            load(frame, *window);
        window->setCaption(window->Com1.FileName);
        frame.showDocument(window);
        shown = true;
        Wordbox* active = frame.activeDocument();
        skippingOverflow([&] {
            active->Text1->setWidth(active->ScaleWidth());
            active->Text1->setHeight(active->ScaleHeight() - 340);
            active->Text1->setRightMargin(active->ScaleWidth() - 300);
        });
        active->Text1->Tag.clear();
    } catch (const Error& error) {
        // No hidden window may stay counted as an open document.
        if (!shown && window) {
            window->Text1->Tag.clear();
            window->close();
        }
        if (error.number != Error::Cancel)
            MsgBox(QStringLiteral("Problem occurred. ") + QStringLiteral("\r\n") +
                       error.description,
                   48, QStringLiteral("Problem occured!"));
    }
}
} // namespace OpenCommand
