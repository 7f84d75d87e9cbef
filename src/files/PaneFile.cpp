#include "files/PaneFile.h"

#include "pane/RichTextBox.h"
#include "storage/DocumentFile.h"
#include "system/Desktop.h"
#include "text/Error.h"

#include <QTextDocument>
#include <new>

namespace DocumentFile {

namespace {
std::optional<qint64> desktopMemoryLeft() {
    return DesktopSeam::current().memoryLeft();
}
} // namespace

void load(RichTextBox& pane, const QString& path) {
    Content content = read(path, pane.currentCharFormat(), desktopMemoryLeft);
    try {
        pane.adoptDocument(std::move(content.document));
    } catch (const std::bad_alloc&) {
        throw Error::withNumber(Error::OutOfMemory);
    }
    pane.textEncoding = content.encoding;
}

void save(const RichTextBox& pane, const QString& path) {
    write(path, *pane.document(), pane.textEncoding);
}

} // namespace DocumentFile
