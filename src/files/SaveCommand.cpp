#include "files/SaveCommand.h"

#include "document/DocumentWindow.h"
#include "files/PaneFile.h"
#include "format/BackgroundColorFile.h"
#include "pane/RichTextBox.h"
#include "storage/DocumentFile.h"
#include "system/MsgBox.h"
#include "system/ReportError.h"
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
                  MsgBoxStyle::YesNo | MsgBoxStyle::Exclamation,
                  QStringLiteral("Save as")) == MsgBoxResult::Yes;
}

bool confirmDropFormatting(const RichTextBox& pane) {
    if (!DocumentFile::hasFormatting(*pane.document()))
        return true;
    return MsgBox(QStringLiteral("Saving as plain text loses the document's formatting. Save "
                                 "anyway?"),
                  MsgBoxStyle::YesNo | MsgBoxStyle::Exclamation,
                  QStringLiteral("Save as")) == MsgBoxResult::Yes;
}

// An HTML page is read with its tags removed and written back as that text: its tables, links
// and markup would be gone.
bool confirmDropMarkup(const QString& path, const QString& title) {
    if (!QFileInfo::exists(path))
        return true;
    return MsgBox(QFileInfo(path).fileName() +
                      QStringLiteral(" will be saved as plain text; its markup will be lost"),
                  MsgBoxStyle::YesNo | MsgBoxStyle::Exclamation, title) == MsgBoxResult::Yes;
}

enum class Outcome { Saved, Declined, Failed };

Outcome saveTo(DocumentWindow& window, const QString& path, const QString& title) {
    RichTextBox& pane = *window.Text1;
    try {
        const DocumentFile::Kind kind = DocumentFile::kindOf(path);
        if (kind == DocumentFile::Kind::Html && !confirmDropMarkup(path, title))
            return Outcome::Declined;
        if (kind == DocumentFile::Kind::PlainText && !confirmDropFormatting(pane))
            return Outcome::Declined;
        DocumentFile::save(pane, path);
        if (kind == DocumentFile::Kind::RichText)
            BackgroundColorFile::storeOnSave(path, pane.BackColor());
        window.Com1.FileName = path;
        window.setCaption(path);
        window.markSaved();
        return Outcome::Saved;
    } catch (const Error& error) {
        Common::ReportError(error);
        return Outcome::Failed;
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
    // Declining to write plain text over a page leaves the choice of another file.
    if (saveTo(window, window.Caption(), QStringLiteral("Save")) == Outcome::Declined &&
        DocumentFile::kindOf(window.Caption()) == DocumentFile::Kind::Html)
        saveAs(window);
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
    // Over a page, the question about its markup says more than the one about replacing it.
    if (DocumentFile::kindOf(path) != DocumentFile::Kind::Html && !confirmReplace(path))
        return;
    saveTo(window, path, QStringLiteral("Save as"));
}
} // namespace SaveCommand
