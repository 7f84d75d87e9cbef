#include "ScratchFile.h"

#include "text/NativePath.h"

#include <QDir>

#include <fcntl.h>
#include <unistd.h>

ScratchFile::ScratchFile() {
    const int fd = ::open(NativePath::encode(QDir::tempPath()).constData(),
                          O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 && !file_.open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle))
        ::close(fd);
    if (!file_.isOpen())
        memory_.open(QIODevice::ReadWrite);
}

QIODevice& ScratchFile::device() {
    return file_.isOpen() ? static_cast<QIODevice&>(file_) : memory_;
}
