#pragma once

#include "files/KeptCopies.h"

#include <QObject>
#include <QThreadPool>

#include <chrono>
#include <functional>
#include <set>

// This run's copies of unsaved work: where they live, how soon after a change they are kept,
// and the one thread that writes and removes them, in the order they were asked for, so a
// removal asked after a write is never undone by it. There is one while the program runs; the
// frame has each document window watched by it.
class UnsavedWork : public QObject {
    Q_OBJECT

public:
    // Copies go under `root`, kept at most `interval` after the first change not yet kept.
    UnsavedWork(const QString& root, std::chrono::milliseconds interval, QObject* parent = nullptr);
    // Waits for the writing in progress and leaves the copies: only finish() removes them.
    ~UnsavedWork() override;
    UnsavedWork(const UnsavedWork&) = delete;
    UnsavedWork& operator=(const UnsavedWork&) = delete;

    // The one of this run; none before the start-up made it.
    static UnsavedWork* current();
    // Where copies live: beside multi.ini for a program run from the folder it was built in
    // (when it may write there), else in the user's state folder.
    static QString rootFolder();

    // Claims this run's folder; false when it cannot be made, and then nothing is kept.
    bool start();
    KeptCopies& copies() { return copies_; }
    std::chrono::milliseconds interval() const { return interval_; }

    // A number for a document's copy, new for each.
    int newId() { return ++lastId_; }

    // On the writing thread: `rtf()` becomes document `id`'s copy, then `afterKept` runs (there
    // too). A failure (a full disk) is silent; the window tries again an interval later.
    void keep(int id, const KeptCopies::About& about, std::function<QByteArray()> rtf,
              std::function<void()> afterKept = {});
    void forget(int id);
    // Whether a copy was asked for and not forgotten since.
    bool keepsAny() const { return !kept_.empty(); }
    // A clean end: every copy of this run goes, with its folder.
    void finish();
    // Returns once everything asked so far is written or removed.
    void waitForWrites();

signals:
    // Document `id`'s copy could not be written.
    void keepFailed(int id);

private:
    KeptCopies copies_;
    std::chrono::milliseconds interval_;
    QThreadPool writer_;
    int lastId_ = 0;
    std::set<int> kept_;
};
