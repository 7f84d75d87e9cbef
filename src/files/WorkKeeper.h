#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

class DocumentSnapshot;
class DocumentWindow;
class QTextDocument;
class UnsavedWork;

// Keeps a copy of one document window's unsaved work. The first change not yet kept starts the
// interval, which later changes do not put off, so a copy is never older than the interval.
// Then the document is described a slice at a time between the window's events, and the copy is
// written as RTF on the writing thread. A save or the window's closing removes the copy.
class WorkKeeper : public QObject {
    Q_OBJECT

public:
    // Watches `window` from now on, until it is saved or closes.
    WorkKeeper(DocumentWindow& window, UnsavedWork& work);
    ~WorkKeeper() override;

    // Keeps a copy now rather than an interval after the next change; `afterKept` runs on the
    // writing thread once the copy is written.
    void keepNow(std::function<void()> afterKept = {});
    // Hands a change not kept yet to the writing thread before returning, the whole document
    // described at once: the program is about to end.
    void keepAtOnce();
    // Whether a copy is due or being taken.
    bool busy() const;

private:
    void noteChange();
    // A copy could not be written: the next interval tries again.
    void retryLater(int id);
    void beginCopy();
    void copySlice();
    void handOver();
    void settle();
    void stopCopy();

    DocumentWindow& window_;
    QPointer<UnsavedWork> work_;
    int id_;
    QTimer interval_;
    QTimer slices_;
    std::unique_ptr<DocumentSnapshot> snapshot_;
    QPointer<QTextDocument> copied_;
    QMetaObject::Connection contents_;
    std::function<void()> afterKept_;
};
