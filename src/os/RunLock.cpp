#include "os/RunLock.h"

#include "text/NativePath.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A link, a FIFO, another user's file or a second name of some other file is not ours to lock
// or write: whoever could plant one there would have us write into what it names.
int openLockFile(int folder, const QString& name, int flags) {
    const int descriptor = ::openat(folder, NativePath::encode(name).constData(),
                                    flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (descriptor < 0)
        return -1;
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid() ||
        info.st_nlink != 1) {
        ::close(descriptor);
        errno = EPERM;
        return -1;
    }
    return descriptor;
}

// "pid boot-id\n": what a reader needs to tell this run from a later one.
QByteArray contentFor(qint64 pid) {
    return QByteArray::number(pid) + ' ' + RunLock::bootId() + '\n';
}

QByteArray bootIdIn(const QByteArray& content) {
    const qsizetype blank = content.indexOf(' ');
    return blank < 0 ? QByteArray() : content.mid(blank + 1).trimmed();
}
} // namespace

RunLock::~RunLock() {
    ::close(descriptor_); // also lets the lock go
}

QByteArray RunLock::bootId() {
    QFile file(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().trimmed();
}

std::unique_ptr<RunLock> RunLock::take(const QString& path) {
    return take(AT_FDCWD, path);
}

std::unique_ptr<RunLock> RunLock::take(int folder, const QString& name) {
    const int descriptor = openLockFile(folder, name, O_RDWR | O_CREAT);
    if (descriptor < 0)
        return nullptr;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        ::close(descriptor);
        return nullptr;
    }
    const QByteArray content = contentFor(::getpid());
    if (::ftruncate(descriptor, 0) != 0 ||
        ::pwrite(descriptor, content.constData(), size_t(content.size()), 0) != content.size()) {
        ::close(descriptor);
        return nullptr;
    }
    return std::unique_ptr<RunLock>(new RunLock(descriptor));
}

bool RunLock::heldByLiveRun(const QString& path) {
    return heldByLiveRun(AT_FDCWD, path);
}

bool RunLock::heldByLiveRun(int folder, const QString& name) {
    const int descriptor = openLockFile(folder, name, O_RDONLY);
    if (descriptor < 0)
        return true;
    bool live;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
        live = false; // nobody holds it: its run has ended, however it ended
    } else if (errno == EWOULDBLOCK) {
        live = true;
    } else {
        // A file system without locks: the run lives when it started in this boot and its
        // process is still there.
        char buffer[128];
        const ssize_t length = ::pread(descriptor, buffer, sizeof buffer, 0);
        const QByteArray content(buffer, length > 0 ? qsizetype(length) : 0);
        const qint64 pid = content.left(content.indexOf(' ')).toLongLong();
        live = bootIdIn(content) == bootId() && pid > 0 &&
               (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
    }
    ::close(descriptor);
    return live;
}
