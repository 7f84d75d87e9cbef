#include "files/SaveCommand.h"

#include "app/MDI.h"
#include "document/Wordbox.h"
#include "files/DocumentKind.h"
#include "files/HtmlWriter.h"
#include "platform/AtomicFile.h"
#include "platform/Error.h"
#include "platform/MsgBox.h"
#include "platform/RichTextBox.h"
#include "suite/ReportError.h"

#include <QFileInfo>

namespace {
bool hasFile(const Wordbox& window) {
    const QString caption = window.Caption();
    return !caption.isEmpty() && caption != QLatin1String("noname") && !QFileInfo(caption).isDir();
}

// A name typed without an extension gets the dialog's own, ".rtf".
QString withExtension(const QString& name) {
    return QFileInfo(name).suffix().isEmpty() ? name + QStringLiteral(".rtf") : name;
}

bool confirmReplace(const QString& path) {
    if (!QFileInfo::exists(path))
        return true;
    return MsgBox(path + QStringLiteral(" already exists. Do you want to replace it?"),
                  MsgBoxStyle::YesNo + MsgBoxStyle::Exclamation,
                  QStringLiteral("Save as")) == MsgBoxResult::Yes;
}

bool confirmDropFormatting(const RichTextBox& pane) {
    if (!hasFormatting(*pane.document()))
        return true;
    return MsgBox(QStringLiteral("Saving as plain text loses the document's formatting. Save "
                                 "anyway?"),
                  MsgBoxStyle::YesNo + MsgBoxStyle::Exclamation,
                  QStringLiteral("Save as")) == MsgBoxResult::Yes;
}

// Writes the document in the form its name asks for; false when the user declined.
bool write(MDI& frame, Wordbox& window, const QString& path) {
    RichTextBox& pane = *window.Text1;
    switch (documentKindOf(path)) {
    case DocumentKind::RichText:
        pane.SaveFile(path, 0);
        frame.rtfcolor(path, 1);
        return true;
    case DocumentKind::Html:
        AtomicFile::write(path, HtmlWriter::write(*pane.document()));
        return true;
    case DocumentKind::PlainText:
        if (!confirmDropFormatting(pane))
            return false;
        pane.SaveFile(path, 1);
        return true;
    }
    return false;
}

void saveTo(MDI& frame, Wordbox& window, const QString& path) {
    try {
        if (!write(frame, window, path))
            return;
        window.Com1.FileName = path;
        window.setCaption(path);
        window.Text1->Tag.clear();
    } catch (const Error& error) {
        Common::ReportError(error);
    }
}
} // namespace

namespace SaveCommand {
void save(MDI& frame) {
    Wordbox* window = frame.activeDocument();
    if (!window)
        return;
    if (!hasFile(*window))
        return saveAs(frame);
    saveTo(frame, *window, window->Caption());
}

void saveAs(MDI& frame) {
    Wordbox* window = frame.activeDocument();
    if (!window)
        return;
    CommonDialog& dialog = window->Com1;
    dialog.CancelError = true;
    dialog.DialogTitle = QStringLiteral("Save as");
    dialog.FileName = hasFile(*window) ? window->Caption() : QString();
    try {
        dialog.ShowSave();
    } catch (const Error&) {
        return; // cancelled: nothing written, the marker stays
    }
    const QString path = withExtension(dialog.FileName);
    if (!confirmReplace(path))
        return;
    saveTo(frame, *window, path);
}
} // namespace SaveCommand
