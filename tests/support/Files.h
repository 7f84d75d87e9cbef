#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// Reading and writing whole files in tests.
namespace testfiles {

// The file's bytes; empty when it cannot be read.
inline QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes bytes to path, making its folder first; false when that fails.
inline bool write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Makes `path` into what `kind` names, none of them a regular file: "fifo", "socket" (a bound
// Unix socket), "null" and "zero" (links to those devices) or "folder". False when that fails.
inline bool makeSpecial(const QString& path, const QByteArray& kind) {
    const QByteArray name = QFile::encodeName(path);
    if (kind == "fifo")
        return ::mkfifo(name.constData(), 0600) == 0;
    if (kind == "null" || kind == "zero")
        return QFile::link("/dev/" + kind, path);
    if (kind == "folder")
        return QDir().mkpath(path);
    if (kind != "socket")
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (name.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    // The socket's node stays after its descriptor is closed; nothing listens on it.
    const bool bound =
        fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (fd >= 0)
        ::close(fd);
    return bound;
}

// Ends the test program when a step that must not wait has waited `seconds`: a read of a FIFO
// or a device would otherwise hang the run instead of failing it.
class HangGuard {
public:
    explicit HangGuard(unsigned seconds = 20) { ::alarm(seconds); }
    ~HangGuard() { ::alarm(0); }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;
};

} // namespace testfiles
