#include "files/WorkKeeper.h"

#include "document/DocumentWindow.h"
#include "files/DocumentSnapshot.h"
#include "files/SaveCommand.h"
#include "files/UnsavedWork.h"
#include "pane/RichTextBox.h"
#include "rtf/RtfWriter.h"
#include "storage/DocumentFile.h"

#include <QDateTime>
#include <QFileInfo>
#include <QTextDocument>

#include <limits>

namespace {
// Long enough to describe a few hundred paragraphs, short enough that a key pressed meanwhile
// still shows within a frame.
constexpr int sliceMs = 4;

bool unsaved(const DocumentWindow& window) {
    return window.isChanged();
}
} // namespace

WorkKeeper::WorkKeeper(DocumentWindow& window, UnsavedWork& work)
    : QObject(&window), window_(window), work_(&work), id_(work.newId()) {
    interval_.setSingleShot(true);
    interval_.setInterval(work.interval());
    slices_.setInterval(0);
    connect(&interval_, &QTimer::timeout, this, &WorkKeeper::beginCopy);
    connect(&slices_, &QTimer::timeout, this, &WorkKeeper::copySlice);
    connect(&window, &DocumentWindow::changed, this, &WorkKeeper::noteChange);
    connect(&window, &DocumentWindow::saved, this, &WorkKeeper::settle);
    connect(&work, &UnsavedWork::keepFailed, this, &WorkKeeper::retryLater);
}

WorkKeeper::~WorkKeeper() {
    // The window closed: its work was saved, or the user chose not to keep it.
    if (work_)
        work_->forget(id_);
}

bool WorkKeeper::busy() const {
    return interval_.isActive() || snapshot_ != nullptr;
}

void WorkKeeper::noteChange() {
    // A copy being taken takes this change along; one already handed over does not.
    if (!busy())
        interval_.start();
}

void WorkKeeper::retryLater(int id) {
    if (id == id_ && !busy() && unsaved(window_))
        interval_.start();
}

void WorkKeeper::keepNow(std::function<void()> afterKept) {
    afterKept_ = std::move(afterKept);
    interval_.stop();
    beginCopy();
}

void WorkKeeper::keepAtOnce() {
    if (!busy())
        return;
    interval_.stop();
    if (!snapshot_ || copied_ != window_.Text1->document())
        beginCopy();
    if (!snapshot_)
        return;
    while (!snapshot_->step(std::numeric_limits<int>::max())) {
    }
    handOver();
}

void WorkKeeper::beginCopy() {
    stopCopy();
    if (!unsaved(window_) || !work_)
        return;
    QTextDocument* document = window_.Text1->document();
    copied_ = document;
    snapshot_ = std::make_unique<DocumentSnapshot>(*document);
    contents_ = connect(document, &QTextDocument::contentsChange, this,
                        [this](int position, int, int added) {
                            if (snapshot_)
                                snapshot_->changed(position, added);
                        });
    slices_.start();
}

void WorkKeeper::copySlice() {
    if (!snapshot_) {
        slices_.stop();
        return;
    }
    // The pane was given another document (a file loaded into it): start on that one.
    if (copied_ != window_.Text1->document())
        return beginCopy();
    if (snapshot_->step(sliceMs))
        handOver();
}

void WorkKeeper::handOver() {
    std::shared_ptr<DocumentSnapshot> snapshot(snapshot_.release());
    QTextDocument* document = copied_;
    stopCopy();
    if (!unsaved(window_) || !work_)
        return;
    KeptCopies::About about;
    // A file named relative to the folder this run started in is found again by a run started
    // elsewhere: the copy names it in full, and its recovered window is captioned so.
    const QString file = SaveCommand::fileOf(window_);
    about.path = file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath();
    about.caption = file.isEmpty() ? window_.Caption() : about.path;
    about.kind =
        about.path.isEmpty() ? DocumentFile::Kind::RichText : DocumentFile::kindOf(about.path);
    about.keptAt = QDateTime::currentDateTimeUtc();
    about.encoding = window_.Text1->textEncoding;
    std::function<QByteArray()> rtf;
    if (snapshot->flat()) {
        rtf = [snapshot] { return rtf::write(*snapshot->build()); };
    } else {
        // Tables are copied the slow way, whole, here: documents with tables are rare and
        // already laid out by Qt's own layout, which holds the window up as long.
        const QByteArray bytes = rtf::write(*document);
        rtf = [bytes] { return bytes; };
    }
    work_->keep(id_, about, std::move(rtf), std::exchange(afterKept_, {}));
}

void WorkKeeper::settle() {
    interval_.stop();
    stopCopy();
    afterKept_ = {};
    if (work_)
        work_->forget(id_);
}

void WorkKeeper::stopCopy() {
    slices_.stop();
    disconnect(contents_);
    snapshot_.reset();
    copied_.clear();
}
