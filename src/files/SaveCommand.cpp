#include "files/SaveCommand.h"

#include "document/DocumentWindow.h"
#include "files/PaneFile.h"
#include "format/BackgroundColorFile.h"
#include "pane/RichTextBox.h"
#include "storage/DocumentFile.h"
#include "suite/ReportError.h"
#include "system/MsgBox.h"
#include "text/Error.h"

#include <QFileInfo>

namespace {
bool hasFile(const DocumentWindow& window) {
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
    if (!DocumentFile::hasFormatting(*pane.document()))
        return true;
    return MsgBox(QStringLiteral("Saving as plain text loses the document's formatting. Save "
                                 "anyway?"),
                  MsgBoxStyle::YesNo + MsgBoxStyle::Exclamation,
                  QStringLiteral("Save as")) == MsgBoxResult::Yes;
}

void saveTo(DocumentWindow& window, const QString& path) {
    RichTextBox& pane = *window.Text1;
    try {
        const DocumentFile::Kind kind = DocumentFile::kindOf(path);
        if (kind == DocumentFile::Kind::PlainText && !confirmDropFormatting(pane))
            return;
        DocumentFile::save(pane, path);
        if (kind == DocumentFile::Kind::RichText)
            BackgroundColorFile::storeOnSave(path, pane.BackColor());
        window.Com1.FileName = path;
        window.setCaption(path);
        window.markSaved();
    } catch (const Error& error) {
        Common::ReportError(error);
    }
}
} // namespace

namespace SaveCommand {
QString fileOf(const DocumentWindow& window) {
    return hasFile(window) ? window.Caption() : QString();
}

void save(DocumentWindow& window) {
    if (!hasFile(window))
        return saveAs(window);
    saveTo(window, window.Caption());
}

void saveAs(DocumentWindow& window) {
    CommonDialog& dialog = window.Com1;
    dialog.CancelError = true;
    dialog.DialogTitle = QStringLiteral("Save as");
    dialog.FileName = hasFile(window) ? window.Caption() : QString();
    try {
        dialog.ShowSave();
    } catch (const Error& error) {
        // A cancel writes nothing and leaves the marker; anything else the user hears of.
        Common::ReportError(error);
        return;
    }
    const QString path = withExtension(dialog.FileName);
    if (!confirmReplace(path))
        return;
    saveTo(window, path);
}
} // namespace SaveCommand
