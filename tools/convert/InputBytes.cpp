#include "InputBytes.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

InputBytes::InputBytes(QFile& file) {
    const qint64 size = file.size();
    if (size > 0) {
        void* at = ::mmap(nullptr, size_t(size), PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (at == MAP_FAILED)
            throw std::bad_alloc();
        mapped_ = at;
        mappedSize_ = size_t(size);
    }
    qint64 got = 0;
    while (got < size) {
        const ssize_t n =
            ::read(file.handle(), static_cast<char*>(mapped_) + got, size_t(size - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error_ = QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        if (n == 0)
            break; // the file was cut short meanwhile: what is there is the file
        got += n;
    }
    bytes_ = QByteArray::fromRawData(static_cast<const char*>(mapped_), got);
}

InputBytes::~InputBytes() {
    release();
}

void InputBytes::release() {
    bytes_ = {};
    if (mapped_)
        ::munmap(mapped_, mappedSize_);
    mapped_ = nullptr;
}
