#include "os/MemoryEstimate.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace MemoryEstimate {

namespace {

// The address space a document takes over its file's size, measured with the program itself
// under Xvfb (VmPeak less the idle program's 241 MB, under prlimit --as so that malloc reserves
// no arenas it does not use), open_bench's OpenToUsable and the converter (/usr/bin/time):
//   plain text, 50 MB of 75-character lines: 7.1 (356 MB); resident 3.9 shown, and 9.5 in the
//     converter, which holds the bytes, their text, the document and the text it writes;
//   RTF, rtf_bench's 25 MB sample (runs, lists, pictures, fields): 6.1 (153 MB), resident 2.6
//     shown and 3.6 converted; millions of one-word paragraphs take more, up to 28 resident, as
//     each costs Qt a block;
//   HTML, 25 MB of lines a third tags: 14 unlimited (350 MB), and under a limit of 460 MB, which
//     leaves 8 times the file, Qt crashed; resident 7.0 shown, 7.5 converted. The file's text,
//     that text without its tags and the document are all held at once.
// Rounded up, as shorter lines and more formats take more.
constexpr qint64 plainTextFactor = 8;
constexpr qint64 richTextFactor = 8;
constexpr qint64 htmlFactor = 14;

QByteArray readSmallFile(const char* path) {
    // Files the kernel makes up as they are read: they never block and are a few KB at most.
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return {};
    QByteArray text(16 * 1024, Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < text.size()) {
        const ssize_t got = ::read(fd, text.data() + filled, size_t(text.size() - filled));
        if (got <= 0)
            break;
        filled += got;
    }
    ::close(fd);
    text.truncate(filled);
    return text;
}

std::optional<qint64> number(QByteArrayView text) {
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

void lower(std::optional<qint64>& bound, std::optional<qint64> other) {
    if (other && (!bound || *other < *bound))
        bound = other;
}

std::optional<qint64> cgroupsLeft() {
    const QString path = cgroupPath(readSmallFile("/proc/self/cgroup"));
    if (path.isEmpty())
        return std::nullopt;
    // A group's ancestors limit it too: the tightest of them counts.
    std::optional<qint64> least;
    QString at = QStringLiteral("/sys/fs/cgroup") + (path == QLatin1String("/") ? QString() : path);
    for (;;) {
        const QByteArray max = readSmallFile(QByteArray(at.toLocal8Bit() + "/memory.max"));
        const QByteArray current = readSmallFile(QByteArray(at.toLocal8Bit() + "/memory.current"));
        lower(least, cgroupLeft(max, current));
        if (at == QLatin1String("/sys/fs/cgroup"))
            break;
        at.truncate(at.lastIndexOf(u'/'));
    }
    return least;
}

std::optional<qint64> ownAddressSpaceLeft() {
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::nullopt;
    const long pageSize = sysconf(_SC_PAGESIZE);
    return addressSpaceLeft(qint64(std::min<rlim_t>(limit.rlim_cur, rlim_t(INT64_MAX))),
                            readSmallFile("/proc/self/statm"), pageSize > 0 ? pageSize : 4096);
}

} // namespace

qint64 documentBytes(qint64 fileBytes, Form form) {
    const qint64 factor = form == Form::PlainText  ? plainTextFactor
                          : form == Form::RichText ? richTextFactor
                                                   : htmlFactor;
    return std::max<qint64>(fileBytes, 0) * factor;
}

bool fits(qint64 bytes, std::optional<qint64> left) {
    return !left || bytes <= *left;
}

std::optional<qint64> left() {
    std::optional<qint64> least = ownAddressSpaceLeft();
    lower(least, cgroupsLeft());
    lower(least, availableFromMeminfo(readSmallFile("/proc/meminfo")));
    return least;
}

std::optional<qint64> availableFromMeminfo(QByteArrayView meminfo) {
    for (const QByteArrayView line :
         QByteArray::fromRawData(meminfo.data(), meminfo.size()).split('\n')) {
        if (!line.startsWith("MemAvailable:"))
            continue;
        QByteArrayView value = line.sliced(13).trimmed();
        if (!value.endsWith("kB"))
            return std::nullopt;
        const std::optional<qint64> kilobytes = number(value.chopped(2));
        if (!kilobytes || *kilobytes > INT64_MAX / 1024)
            return std::nullopt;
        return *kilobytes * 1024;
    }
    return std::nullopt;
}

std::optional<qint64> cgroupLeft(QByteArrayView max, QByteArrayView current) {
    const std::optional<qint64> limit = number(max);
    const std::optional<qint64> used = number(current);
    // "max", or a group without the memory controller.
    if (!limit || !used)
        return std::nullopt;
    return std::max<qint64>(*limit - *used, 0);
}

QString cgroupPath(QByteArrayView procSelfCgroup) {
    for (const QByteArrayView line :
         QByteArray::fromRawData(procSelfCgroup.data(), procSelfCgroup.size()).split('\n')) {
        if (!line.startsWith("0::/"))
            continue;
        const QString path = QString::fromUtf8(line.sliced(3)).trimmed();
        // A group's name cannot climb out of the hierarchy.
        if (path.contains(QLatin1String("/..")) || path.endsWith(QLatin1String(" (deleted)")))
            return {};
        return path.size() > 1 && path.endsWith(u'/') ? path.chopped(1) : path;
    }
    return {};
}

qint64 addressSpaceLeft(qint64 limit, QByteArrayView statm, qint64 pageSize) {
    const qsizetype end = statm.indexOf(' ');
    const std::optional<qint64> pages = number(end < 0 ? statm : statm.first(end));
    if (!pages || *pages > INT64_MAX / pageSize)
        return 0;
    return std::max<qint64>(limit - *pages * pageSize, 0);
}

} // namespace MemoryEstimate
