#include "app/KeptWorkOffer.h"

#include "app/MainFrame.h"
#include "document/DocumentWindow.h"
#include "files/UnsavedWork.h"
#include "files/WorkKeeper.h"
#include "pane/RichTextBox.h"
#include "storage/DocumentFile.h"
#include "system/Desktop.h"
#include "system/MsgBox.h"
#include "text/Error.h"

#include <QDateTime>

#include <new>

namespace Startup {

namespace {
constexpr int discardedDays = 7;

// Opens the copy as its document, changed, captioned and saving where the document would; the
// document's own file is not read or written. False when the copy cannot be read.
bool reopen(MainFrame& frame, UnsavedWork& work, const KeptCopies::LeftBehind& copy) {
    const QByteArray rtf = work.copies().content(copy);
    if (rtf.isEmpty())
        return false;
    DocumentFile::Content content;
    try {
        content = DocumentFile::fromBytes(rtf, DocumentFile::Kind::RichText, QTextCharFormat());
    } catch (const Error&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    auto* window = new DocumentWindow;
    window->Text1->adoptDocument(std::move(content.document));
    window->Com1.Filter = QStringLiteral("rtf Word file|*.rtf");
    window->Com1.FileName = copy.about.path;
    window->Text1->textEncoding = copy.about.encoding;
    window->setCaption(copy.about.caption);
    frame.showDocument(window);
    window->layOutPane(DocumentWindow::Wrap::FullWidth);
    window->markChanged();
    // The old copy goes only once this run holds one of its own: a crash right after the
    // recovery still finds the work.
    if (auto* keeper = window->findChild<WorkKeeper*>()) {
        KeptCopies* copies = &work.copies();
        keeper->keepNow([copies, copy] { copies->recovered(copy); });
    }
    return true;
}

QString nameOf(const KeptCopies::LeftBehind& copy) {
    return copy.about.path.isEmpty() ? copy.about.caption : copy.about.path;
}
} // namespace

void offerKeptWork(MainFrame& frame, UnsavedWork& work) {
    KeptCopies& copies = work.copies();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    copies.dropDiscardedBefore(now.addDays(-discardedDays));
    const QList<KeptCopies::LeftBehind> left = copies.leftBehind();
    if (left.isEmpty())
        return;
    QList<KeptWork> offered;
    for (const KeptCopies::LeftBehind& copy : left)
        offered.append({copy.about.caption, copy.about.path, copy.about.keptAt});
    switch (DesktopSeam::current().offerRecovery(offered)) {
    case RecoveryChoice::Later:
        return;
    case RecoveryChoice::Discard:
        for (const KeptCopies::LeftBehind& copy : left)
            copies.discard(copy, now);
        return;
    case RecoveryChoice::Recover:
        break;
    }
    QStringList damaged;
    for (const KeptCopies::LeftBehind& copy : left) {
        if (!copy.damaged && reopen(frame, work, copy))
            continue;
        copies.setAside(copy);
        damaged.append(nameOf(copy));
    }
    if (!damaged.isEmpty())
        MsgBox(QStringLiteral("These copies of unsaved work could not be read. They were put "
                              "aside in ") +
                   copies.root() + QStringLiteral("/damaged:") + QStringLiteral("\r\n") +
                   damaged.join(QStringLiteral("\r\n")),
               MsgBoxStyle::Exclamation, QStringLiteral("Recover unsaved work"));
}

} // namespace Startup
