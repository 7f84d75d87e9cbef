#include "files/UnsavedWork.h"

#include "system/Desktop.h"

namespace {
UnsavedWork* theWork = nullptr;
} // namespace

UnsavedWork::UnsavedWork(const QString& root, std::chrono::milliseconds interval, QObject* parent)
    : QObject(parent), copies_(root), interval_(interval) {
    // One thread, so copies are written and removed in the order asked.
    writer_.setMaxThreadCount(1);
    theWork = this;
}

UnsavedWork::~UnsavedWork() {
    writer_.waitForDone();
    if (theWork == this)
        theWork = nullptr;
}

UnsavedWork* UnsavedWork::current() {
    return theWork;
}

QString UnsavedWork::rootFolder() {
    Desktop& desktop = DesktopSeam::current();
    if (desktop.programDirectoryWritable() && !desktop.programInstalled())
        return desktop.programDirectory() + QStringLiteral("/recovery");
    return desktop.userStateDirectory() + QStringLiteral("/quillet/recovery");
}

bool UnsavedWork::start() {
    return copies_.start();
}

void UnsavedWork::keep(int id, const KeptCopies::About& about, std::function<QByteArray()> rtf,
                       std::function<void()> afterKept) {
    kept_.insert(id);
    writer_.start([this, id, about, rtf = std::move(rtf), afterKept = std::move(afterKept)] {
        try {
            copies_.keep(id, about, rtf());
            if (afterKept)
                afterKept();
        } catch (...) {
            // A full disk or a folder gone: nothing the user is told while typing. The copy
            // before stays, and the window tries again an interval later.
            QMetaObject::invokeMethod(
                this, [this, id] { emit keepFailed(id); }, Qt::QueuedConnection);
        }
    });
}

void UnsavedWork::forget(int id) {
    kept_.erase(id);
    writer_.start([this, id] { copies_.forget(id); });
}

void UnsavedWork::finish() {
    writer_.start([this] { copies_.finish(); });
    writer_.waitForDone();
}

void UnsavedWork::waitForWrites() {
    writer_.waitForDone();
}
