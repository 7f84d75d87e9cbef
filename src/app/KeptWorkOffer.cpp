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
// Names listed in the message about copies that could not be read; the rest are counted.
constexpr int damagedNamed = 20;

// What the window of a recovered copy is: its document's file, or a new document when the copy
// names none, or names one not in full. Such a name did not come from this program, which keeps
// every file's name in full, so the window does not save there; it asks.
KeptWork offered(const KeptCopies::LeftBehind& copy) {
    const QString& path = copy.about.path;
    if (path.isEmpty())
        return {copy.about.caption, path, copy.about.keptAt, true};
    if (!CopyDescription::namesFileInFull(path))
        return {QStringLiteral("noname"), path, copy.about.keptAt, false};
    // The caption of a window with a file is the file's name: a copy saying otherwise is not
    // believed, as the window saves where its caption says.
    return {path, path, copy.about.keptAt, true};
}

// Opens the copy as its document, changed, captioned and saving where the document would; the
// document's own file is not read or written. False when the copy cannot be read.
bool reopen(MainFrame& frame, UnsavedWork& work, const KeptCopies::LeftBehind& copy,
            const KeptWork& shown) {
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
    window->Com1.FileName = shown.pathTrusted ? shown.path : QString();
    window->Text1->textEncoding = copy.about.encoding;
    window->setCaption(shown.caption);
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

void tellDamaged(const KeptCopies& copies, const QStringList& damaged) {
    QStringList lines = damaged.mid(0, damagedNamed);
    if (damaged.size() > damagedNamed)
        lines += QStringLiteral("and %1 more").arg(damaged.size() - damagedNamed);
    MsgBox(QStringLiteral("These copies of unsaved work could not be read. They were put aside "
                          "in ") +
               copies.root() + QStringLiteral("/damaged:") + QStringLiteral("\r\n") +
               lines.join(QStringLiteral("\r\n")),
           MsgBoxStyle::Exclamation, QStringLiteral("Recover unsaved work"));
}
} // namespace

void offerKeptWork(MainFrame& frame, UnsavedWork& work) {
    KeptCopies& copies = work.copies();
    if (!copies.refusal().isEmpty())
        MsgBox(QStringLiteral("Unsaved work is not kept aside while Quillet runs: ") +
                   copies.refusal() +
                   QStringLiteral(" Until that is put right, a crash loses what was typed since "
                                  "the last save."),
               MsgBoxStyle::Exclamation, QStringLiteral("Recover unsaved work"));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    copies.dropDiscardedBefore(now.addDays(-discardedDays));
    const QList<KeptCopies::LeftBehind> left = copies.leftBehind();
    if (left.isEmpty())
        return;
    QList<KeptWork> shown;
    for (const KeptCopies::LeftBehind& copy : left)
        shown.append(offered(copy));
    switch (DesktopSeam::current().offerRecovery(shown)) {
    case RecoveryChoice::Later:
        return;
    case RecoveryChoice::Discard:
        for (const KeptCopies::LeftBehind& copy : left)
            copies.discard(copy, now);
        return;
    case RecoveryChoice::Recover:
        break;
    }
    // Thousands of copies would be thousands of windows: the rest wait, still claimed by this
    // run and offered again by the next.
    QStringList damaged;
    int opened = 0;
    for (qsizetype i = 0; i < left.size() && opened < recoveredAtOnce; ++i) {
        if (!left[i].damaged && reopen(frame, work, left[i], shown[i])) {
            ++opened;
            continue;
        }
        copies.setAside(left[i]);
        damaged.append(nameOf(left[i]));
    }
    if (!damaged.isEmpty())
        tellDamaged(copies, damaged);
}

} // namespace Startup
