#include "files/OpenCommand.h"

#include "document/DocumentWindow.h"
#include "files/PaneFile.h"
#include "format/BackgroundColorFile.h"
#include "pane/RichTextBox.h"
#include "storage/DocumentFile.h"
#include "system/MsgBox.h"
#include "text/Error.h"
#include "text/Runtime.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>

#include <new>

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

void load(DocumentWindow& window, const std::optional<QString>& sizeText) {
    const QString fileName = window.Com1.FileName;
    RichTextBox& pane = *window.Text1;
    BusyPointer busy;
    skippingOverflow([&] { pane.setText(QString()); });
    if (sizeText)
        skippingOverflow([&] { pane.setSelFontSize(Runtime::Val(*sizeText)); });
    if (DocumentFile::kindOf(fileName) == DocumentFile::Kind::RichText)
        skippingOverflow([&] {
            pane.setBackColor(quint32(Runtime::CLng(BackgroundColorFile::load(fileName))));
        });
    skippingOverflow([&] { DocumentFile::load(pane, fileName); });
}
} // namespace

namespace OpenCommand {
DocumentWindow* open(const std::optional<QString>& sizeText) {
    QPointer<DocumentWindow> window = new DocumentWindow;
    const auto fail = [&](const Error& error) -> DocumentWindow* {
        // No hidden window may stay counted as an open document.
        if (window) {
            window->markSaved();
            window->close();
        }
        if (error.number != Error::Cancel)
            MsgBox(QStringLiteral("Problem occurred. ") + QStringLiteral("\r\n") +
                       error.description,
                   MsgBoxStyle::Exclamation, QStringLiteral("Problem occured!"));
        return nullptr;
    };
    try {
        window->Com1.Filter = openFilter;
        window->Com1.CancelError = true;
        window->Com1.setAction(DialogAction::Open);
        if (!window->Com1.FileName.isEmpty())
            load(*window, sizeText);
        window->setCaption(window->Com1.FileName);
        return window;
    } catch (const Error& error) {
        return fail(error);
    } catch (const std::bad_alloc&) {
        // The window goes, and with it what it held: the other documents stay as they were.
        return fail(Error::withNumber(Error::OutOfMemory));
    }
}
} // namespace OpenCommand
