#include "CanonicalPaths.h"

#include "text/NativePath.h"

#include <QList>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// "a//b/./c/" as "a/b/c": the same file to the system, whatever the links.
QByteArray tidied(const QByteArray& name) {
    QByteArray out;
    out.reserve(name.size());
    for (const QByteArray& part : name.split('/')) {
        if (part.isEmpty() || part == ".")
            continue;
        out += '/' + part;
    }
    return out.isEmpty() ? QByteArrayLiteral("/") : out;
}

QByteArray joined(const QByteArray& folder, const QByteArray& leaf) {
    return folder.endsWith('/') ? folder + leaf : folder + '/' + leaf;
}

} // namespace

CanonicalPaths::CanonicalPaths() {
    char buffer[PATH_MAX];
    current_ = ::getcwd(buffer, sizeof buffer) ? QByteArray(buffer) : QByteArrayLiteral("/");
}

QByteArray CanonicalPaths::of(const QString& path) {
    const QByteArray name = NativePath::encode(path);
    return resolved(tidied(name.startsWith('/') ? name : current_ + '/' + name));
}

// `name` is whole and tidied.
QByteArray CanonicalPaths::resolved(const QByteArray& name) {
    if (name == "/")
        return name;
    const qsizetype slash = name.lastIndexOf('/');
    const QByteArray folder = slash == 0 ? QByteArrayLiteral("/") : name.left(slash);
    const QByteArray leaf = name.mid(slash + 1);
    // A file or a name not there yet is its folder's; a link or ".." needs the system's reading.
    struct stat info {};
    if (leaf != ".." &&
        (::lstat(name.constData(), &info) == 0 ? !S_ISLNK(info.st_mode)
                                               : errno == ENOENT || errno == ENOTDIR))
        return joined(resolvedFolder(folder), leaf);
    char buffer[PATH_MAX];
    if (::realpath(name.constData(), buffer))
        return buffer;
    // A link leading nowhere, or ".." of a folder not there: as far as the folder resolves.
    return joined(resolvedFolder(folder), leaf);
}

QByteArray CanonicalPaths::resolvedFolder(const QByteArray& folder) {
    const auto known = folders_.constFind(folder);
    if (known != folders_.constEnd())
        return known.value();
    char buffer[PATH_MAX];
    const QByteArray result =
        ::realpath(folder.constData(), buffer) ? QByteArray(buffer) : resolved(folder);
    // A tree of more folders than this is walked in order, mostly: forgetting all at once costs
    // little.
    if (folders_.size() >= 4096)
        folders_.clear();
    folders_.insert(folder, result);
    return result;
}
