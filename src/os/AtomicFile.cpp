#include "os/AtomicFile.h"

#include "text/Error.h"
#include "text/NativePath.h"

#include <QIODevice>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void fail(int failure) {
    switch (failure) {
    case ENOENT:
    case ENOTDIR:
        throw Error::withNumber(Error::PathNotFound);
    case EACCES:
    case EPERM:
        throw Error::withNumber(Error::PermissionDenied);
    case ENOSPC:
    case EDQUOT:
        throw Error::withNumber(Error::DiskFull);
    default: {
        Error error = Error::pathFileAccess();
        const QString reason = failure == 0 ? QStringLiteral("Not a regular file")
                                            : QString::fromLocal8Bit(std::strerror(failure));
        error.description += QStringLiteral(" (") + reason + QLatin1Char(')');
        throw error;
    }
    }
}

// An open descriptor that closes itself.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // A close can be where a network file system reports that the data did not arrive.
    int close() {
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// A temporary file's name, removed again unless kept; none while empty.
class TemporaryName {
public:
    explicit TemporaryName(QByteArray name) : name_(std::move(name)) {}
    ~TemporaryName() {
        if (!kept_ && !name_.isEmpty())
            ::unlink(name_.constData());
    }
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;
    const char* get() const { return name_.constData(); }
    void set(QByteArray name) { name_ = std::move(name); }
    void keep() { kept_ = true; }

private:
    QByteArray name_;
    bool kept_ = false;
};

// 0 when every byte went out, else the reason; a write that takes nothing means a full disk.
int writeAll(int fd, const char* bytes, qint64 size) {
    qint64 written = 0;
    while (written < size) {
        const ssize_t step = ::write(fd, bytes + written, size_t(size - written));
        if (step < 0 && errno == EINTR)
            continue;
        if (step < 0)
            return errno;
        if (step == 0)
            return ENOSPC;
        written += step;
    }
    return 0;
}

// What is written: bytes in memory, or a device read a piece at a time.
struct Content {
    qint64 size = 0;
    std::function<int(int fd)> writeTo; // 0, or the reason it failed
};

Content contentOf(const QByteArray& bytes) {
    return {bytes.size(),
            [&bytes](int fd) { return writeAll(fd, bytes.constData(), bytes.size()); }};
}

Content contentOf(QIODevice& source) {
    return {source.size(), [&source](int fd) {
                if (!source.seek(0))
                    return EIO;
                QByteArray piece(1 << 20, Qt::Uninitialized);
                for (;;) {
                    const qint64 read = source.read(piece.data(), piece.size());
                    if (read < 0)
                        return EIO;
                    if (read == 0)
                        return 0;
                    if (const int failure = writeAll(fd, piece.constData(), read))
                        return failure;
                }
            }};
}

// Where the bytes go: the file a link leads to, so the link stays a link.
QByteArray target(const QString& path) {
    const QByteArray name = NativePath::encode(path);
    char resolved[PATH_MAX];
    return ::realpath(name.constData(), resolved) ? QByteArray(resolved) : name;
}

QByteArray folderOf(const QByteArray& name) {
    const qsizetype slash = name.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : name.left(slash);
}

// A name for a new file beside `name`, hidden, different at each call.
QByteArray temporaryBeside(const QByteArray& name) {
    const QByteArray base = name.mid(name.lastIndexOf('/') + 1).left(64);
    return folderOf(name) + "/." + base + '.' +
           QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
}

// A new, empty file beside `name`; -1 with errno set when the folder takes none.
int createBeside(const QByteArray& name, mode_t mode, QByteArray& created) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        created = temporaryBeside(name);
        const int fd = ::open(created.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// A new file in `name`'s folder that has no name until it is written: a process killed meanwhile
// (a crash, Ctrl+C, the memory limit) leaves nothing behind. -1 with errno set when the folder
// takes none; EOPNOTSUPP where its file system keeps no such files, or where no name could be
// given to one afterwards (no /proc).
int createUnnamed(const QByteArray& name, mode_t mode) {
    if (::access("/proc/self/fd", X_OK) != 0) {
        errno = EOPNOTSUPP;
        return -1;
    }
    const int fd = ::open(folderOf(name).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    // Kernels that know no O_TMPFILE open the folder itself, which cannot be written.
    if (fd < 0 && (errno == EISDIR || errno == EINVAL))
        errno = EOPNOTSUPP;
    return fd;
}

// Gives the unnamed file `fd` a hidden name beside `name`; false with errno set when it cannot.
bool nameBeside(int fd, const QByteArray& name, QByteArray& created) {
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        created = temporaryBeside(name);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, created.constData(),
                     AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            return false;
    }
    return false;
}

// Makes the rename that follows last through a power cut; a failure here changes nothing read.
void syncFolder(const QByteArray& name) {
    const int fd = ::open(folderOf(name).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The old file's own inode gets the new bytes. Room is claimed before the old bytes are touched,
// where the file system can do that.
void writeInPlace(const QByteArray& name, const Content& bytes) {
    Descriptor file(::open(name.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0)
        fail(errno);
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        fail(errno);
    if (!S_ISREG(info.st_mode))
        fail(0);
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags < 0 || ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        fail(errno);
    if (bytes.size > 0 && ::fallocate(file.get(), FALLOC_FL_KEEP_SIZE, 0, bytes.size) != 0 &&
        (errno == ENOSPC || errno == EDQUOT))
        fail(errno);
    if (const int failure = bytes.writeTo(file.get()))
        fail(failure);
    if (::ftruncate(file.get(), bytes.size) != 0 || ::fsync(file.get()) != 0)
        fail(errno);
    if (const int failure = file.close())
        fail(failure);
}

// True when written; false when the new file could not take the old one's owner or folder,
// and the caller should write in place.
bool writeBeside(const QByteArray& name, const Content& bytes, const struct stat* old) {
    // The old file's mode is set once its owner is: a change of owner clears set-id bits.
    const mode_t mode = old ? S_IRUSR | S_IWUSR : 0666;
    QByteArray created;
    int fd = createUnnamed(name, mode);
    const bool unnamed = fd >= 0;
    if (!unnamed && errno == EOPNOTSUPP)
        fd = createBeside(name, mode, created);
    Descriptor file(fd);
    if (file.get() < 0) {
        if (old && (errno == EACCES || errno == EPERM))
            return false;
        fail(errno);
    }
    TemporaryName temporary(created);
    if (old) {
        if ((old->st_uid != ::geteuid() || old->st_gid != ::getegid()) &&
            ::fchown(file.get(), old->st_uid, old->st_gid) != 0)
            return false;
        if (::fchmod(file.get(), old->st_mode & 07777) != 0)
            fail(errno);
    }
    if (const int failure = bytes.writeTo(file.get()))
        fail(failure);
    if (::fsync(file.get()) != 0)
        fail(errno);
    // Named only when whole, and renamed at once: only a kill between the two leaves it.
    if (unnamed) {
        if (!nameBeside(file.get(), name, created))
            fail(errno);
        temporary.set(created);
    }
    if (const int failure = file.close())
        fail(failure);
    if (::rename(temporary.get(), name.constData()) != 0)
        fail(errno);
    temporary.keep();
    syncFolder(name);
    return true;
}

void writeContent(const QString& path, const Content& bytes) {
    const QByteArray name = target(path);
    struct stat old {};
    const bool exists = ::stat(name.constData(), &old) == 0;
    if (!exists && errno != ENOENT)
        fail(errno);
    if (exists && S_ISDIR(old.st_mode))
        fail(EISDIR);
    // A FIFO or device of that name is not a document to replace or to write into.
    if (exists && !S_ISREG(old.st_mode))
        fail(0);
    if (!writeBeside(name, bytes, exists ? &old : nullptr))
        writeInPlace(name, bytes);
}

} // namespace

namespace AtomicFile {
void write(const QString& path, const QByteArray& bytes) {
    writeContent(path, contentOf(bytes));
}

void write(const QString& path, QIODevice& source) {
    writeContent(path, contentOf(source));
}
} // namespace AtomicFile
