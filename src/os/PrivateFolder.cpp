#include "os/PrivateFolder.h"

#include "text/Error.h"
#include "text/NativePath.h"

#include <QDir>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {
// Folders in a folder of copies are one or two deep; anything deeper was not made by us and is
// removed no further than this.
constexpr int deepest = 16;

constexpr int folderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

QByteArray native(const QString& name) {
    return NativePath::encode(name);
}

void setRefusal(PrivateFolder::Refusal* refusal, PrivateFolder::Refusal value) {
    if (refusal)
        *refusal = value;
}

// Why `name` in `parent` did not open as a folder.
PrivateFolder::Refusal refusalFor(int parent, const QByteArray& name, int failure) {
    struct stat info {};
    if (::fstatat(parent, name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(info.st_mode))
            return PrivateFolder::Refusal::Link;
        if (!S_ISDIR(info.st_mode))
            return PrivateFolder::Refusal::NotAFolder;
    }
    return failure == ENOENT ? PrivateFolder::Refusal::Missing : PrivateFolder::Refusal::Failed;
}

int openFolderIn(int parent, const QByteArray& name, bool create, PrivateFolder::Refusal* refusal) {
    bool made = false;
    if (create) {
        if (::mkdirat(parent, name.constData(), 0700) == 0)
            made = true;
        else if (errno != EEXIST) {
            setRefusal(refusal, PrivateFolder::Refusal::Failed);
            return -1;
        }
    }
    const int fd = ::openat(parent, name.constData(), folderFlags);
    if (fd < 0) {
        setRefusal(refusal, refusalFor(parent, name, errno));
        return -1;
    }
    struct stat info {};
    PrivateFolder::Refusal verdict = PrivateFolder::Refusal::None;
    if (::fstat(fd, &info) != 0)
        verdict = PrivateFolder::Refusal::Failed;
    else if (info.st_uid != ::geteuid())
        verdict = PrivateFolder::Refusal::NotOwned;
    else if ((info.st_mode & 0777) != 0700) {
        // The umask may have taken from a folder just made; one found so is not ours to change.
        if (!made || ::fchmod(fd, 0700) != 0)
            verdict = PrivateFolder::Refusal::OpenToOthers;
    }
    setRefusal(refusal, verdict);
    if (verdict != PrivateFolder::Refusal::None) {
        ::close(fd);
        return -1;
    }
    return fd;
}

QStringList namesIn(int folder) {
    QStringList names;
    // A descriptor of its own: reading a folder moves the descriptor's position.
    const int fd = ::openat(folder, ".", folderFlags);
    if (fd < 0)
        return names;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name != "." && name != "..")
            names += NativePath::decode(name);
    }
    ::closedir(dir);
    return names;
}

bool removeIn(int parent, const QByteArray& name, int depth);

bool emptyFolder(int folder, int depth) {
    if (depth > deepest)
        return false;
    bool all = true;
    for (const QString& entry : namesIn(folder))
        all = removeIn(folder, native(entry), depth + 1) && all;
    return all;
}

bool removeIn(int parent, const QByteArray& name, int depth) {
    struct stat info {};
    if (::fstatat(parent, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT;
    if (!S_ISDIR(info.st_mode))
        return ::unlinkat(parent, name.constData(), 0) == 0 || errno == ENOENT;
    const int fd = ::openat(parent, name.constData(), folderFlags);
    if (fd < 0) {
        // Swapped for a link or a file since it was looked at: that goes, what it names stays.
        if (errno == ELOOP || errno == ENOTDIR)
            return ::unlinkat(parent, name.constData(), 0) == 0;
        return false;
    }
    const bool emptied = emptyFolder(fd, depth);
    ::close(fd);
    return emptied && ::unlinkat(parent, name.constData(), AT_REMOVEDIR) == 0;
}

int openRegular(int folder, const QByteArray& name, struct stat* info) {
    const int fd = ::openat(folder, name.constData(),
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::fstat(fd, info) != 0 || !S_ISREG(info->st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

[[noreturn]] void failWriting(int failure) {
    if (failure == ENOSPC || failure == EDQUOT)
        throw Error::withNumber(Error::DiskFull);
    Error error = Error::pathFileAccess();
    error.description +=
        QStringLiteral(" (") + QString::fromLocal8Bit(std::strerror(failure)) + u')';
    throw error;
}

bool writeAll(int fd, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t step = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (step < 0 && errno == EINTR)
            continue;
        if (step <= 0)
            return false;
        done += step;
    }
    return true;
}
} // namespace

PrivateFolder::~PrivateFolder() {
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

PrivateFolder::PrivateFolder(PrivateFolder&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, -1)) {}

PrivateFolder& PrivateFolder::operator=(PrivateFolder&& other) noexcept {
    if (this != &other) {
        if (descriptor_ >= 0)
            ::close(descriptor_);
        descriptor_ = std::exchange(other.descriptor_, -1);
    }
    return *this;
}

PrivateFolder PrivateFolder::open(const QString& path, bool create, Refusal* refusal) {
    const QString clean = QDir::cleanPath(path);
    const qsizetype slash = clean.lastIndexOf(u'/');
    const QString above = slash < 0 ? QStringLiteral(".") : clean.left(slash > 0 ? slash : 1);
    const QString name = clean.mid(slash + 1);
    if (create)
        QDir().mkpath(above);
    const int parent = ::open(native(above).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent < 0) {
        setRefusal(refusal, errno == ENOENT ? Refusal::Missing : Refusal::Failed);
        return {};
    }
    const int fd = openFolderIn(parent, native(name), create, refusal);
    ::close(parent);
    return PrivateFolder(fd);
}

PrivateFolder PrivateFolder::child(const QString& name, bool create, Refusal* refusal) const {
    if (!isOpen()) {
        setRefusal(refusal, Refusal::Failed);
        return {};
    }
    return PrivateFolder(openFolderIn(descriptor_, native(name), create, refusal));
}

QStringList PrivateFolder::names() const {
    return isOpen() ? namesIn(descriptor_) : QStringList();
}

std::optional<qint64> PrivateFolder::fileSize(const QString& name) const {
    struct stat info {};
    if (!isOpen() ||
        ::fstatat(descriptor_, native(name).constData(), &info, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(info.st_mode))
        return std::nullopt;
    return qint64(info.st_size);
}

std::optional<QByteArray> PrivateFolder::read(const QString& name, qint64 limit) const {
    struct stat info {};
    const int fd = isOpen() ? openRegular(descriptor_, native(name), &info) : -1;
    if (fd < 0)
        return std::nullopt;
    QByteArray bytes(qsizetype(std::min<qint64>(info.st_size, limit)), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t step =
            ::pread(fd, bytes.data() + done, size_t(bytes.size() - done), off_t(done));
        if (step < 0 && errno == EINTR)
            continue;
        if (step <= 0)
            break;
        done += step;
    }
    ::close(fd);
    bytes.truncate(done);
    return bytes;
}

void PrivateFolder::write(const QString& name, const QByteArray& bytes) const {
    if (!isOpen())
        failWriting(EBADF);
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = '.' + native(name) + '.' +
                    QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
        fd = ::openat(descriptor_, temporary.constData(),
                      O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            failWriting(errno);
    }
    if (fd < 0)
        failWriting(EEXIST);
    bool written = writeAll(fd, bytes) && ::fsync(fd) == 0;
    int failure = written ? 0 : errno;
    // A close can be where a network file system reports that the data did not arrive.
    if (::close(fd) != 0 && written) {
        written = false;
        failure = errno;
    }
    if (written &&
        ::renameat(descriptor_, temporary.constData(), descriptor_, native(name).constData()) == 0)
        return;
    if (written)
        failure = errno;
    ::unlinkat(descriptor_, temporary.constData(), 0);
    failWriting(failure);
}

bool PrivateFolder::move(const QString& name, const PrivateFolder& target,
                         const QString& newName) const {
    return isOpen() && target.isOpen() &&
           ::renameat(descriptor_, native(name).constData(), target.descriptor_,
                      native(newName).constData()) == 0;
}

bool PrivateFolder::remove(const QString& name) const {
    return isOpen() && removeIn(descriptor_, native(name), 0);
}

bool PrivateFolder::empty() const {
    return isOpen() && emptyFolder(descriptor_, 0);
}

QString PrivateFolder::describe(Refusal refusal, const QString& path) {
    switch (refusal) {
    case Refusal::None:
        break;
    case Refusal::Missing:
        return path + QStringLiteral(" does not exist.");
    case Refusal::Link:
        return path + QStringLiteral(" is a link to another place.");
    case Refusal::NotAFolder:
        return path + QStringLiteral(" is not a folder.");
    case Refusal::NotOwned:
        return path + QStringLiteral(" belongs to another user.");
    case Refusal::OpenToOthers:
        return path + QStringLiteral(" can be opened by other users (its permissions are not "
                                     "700, owner only).");
    case Refusal::Failed:
        return path + QStringLiteral(" could not be made or opened.");
    }
    return {};
}
