#include "os/RegularFile.h"

#include "text/Error.h"
#include "text/NativePath.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

namespace {
[[noreturn]] void refuse(int failure, QString* reason) {
    if (reason)
        *reason = failure == 0 ? QStringLiteral("Not a regular file")
                               : QString::fromLocal8Bit(std::strerror(failure));
    throw failure == ENOENT ? Error::fileNotFound() : Error::pathFileAccess();
}
} // namespace

void open(QFile& file, const QString& path, QString* reason) {
    const QByteArray native = NativePath::encode(path);
    // A device is not even opened: opening some has effects of its own.
    struct stat info {};
    if (::stat(native.constData(), &info) != 0)
        refuse(errno, reason);
    if (!S_ISREG(info.st_mode))
        refuse(0, reason);
    // Without O_NONBLOCK a FIFO put there since would block the open itself.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        refuse(errno, reason);
    const auto closeAndRefuse = [&](int failure) {
        ::close(fd);
        refuse(failure, reason);
    };
    if (::fstat(fd, &info) != 0)
        closeAndRefuse(errno);
    if (!S_ISREG(info.st_mode))
        closeAndRefuse(0);
    // Reading a regular file never waits anyway, but QFile expects a descriptor that blocks.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        closeAndRefuse(errno);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        closeAndRefuse(EIO);
}

} // namespace RegularFile
