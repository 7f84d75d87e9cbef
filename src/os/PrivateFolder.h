#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// A folder only this user may enter, held by its descriptor, and everything done inside it done
// through that descriptor: a name in it is never followed when it is a link, and a folder moved
// away or swapped for a link after it was opened is still the one written and removed. What the
// program keeps between runs lives in such folders; one that another user could change under us
// is refused rather than made private, as it may not be ours to change.
class PrivateFolder {
public:
    // Why a folder was not opened.
    enum class Refusal {
        None,
        Missing,      // nothing there, and it was not to be made
        Link,         // a symbolic link, not followed
        NotAFolder,   // a file, a device, ...
        NotOwned,     // another user's
        OpenToOthers, // others may read, write or enter it (its mode is not 0700)
        Failed,       // the system refused (permissions, a full disk, ...)
    };

    PrivateFolder() = default;
    ~PrivateFolder();
    PrivateFolder(PrivateFolder&& other) noexcept;
    PrivateFolder& operator=(PrivateFolder&& other) noexcept;
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;

    // Opens the folder `path`, making it (and the folders above it) when missing and `create`
    // is set. Only the last name is checked: the folders above are the user's to arrange, links
    // included. None (isOpen() false) when refused, and `refusal` says why.
    static PrivateFolder open(const QString& path, bool create, Refusal* refusal = nullptr);
    // The folder `name` in this one, alike.
    PrivateFolder child(const QString& name, bool create, Refusal* refusal = nullptr) const;

    bool isOpen() const { return descriptor_ >= 0; }
    int descriptor() const { return descriptor_; }

    // The names in the folder (not "." or ".."), in no particular order.
    QStringList names() const;
    // The size of the regular file `name`; none for anything else or nothing.
    std::optional<qint64> fileSize(const QString& name) const;
    // At most `limit` bytes from the start of the regular file `name`; none when it is not one
    // or cannot be read.
    std::optional<QByteArray> read(const QString& name, qint64 limit) const;
    // Makes `bytes` the file `name` (0600) as a whole: written and synced beside it under a
    // name of its own, then renamed over it, so a crash leaves the old file or the new, never a
    // mix. Throws Error 61 (Disk full) or 75 (Path/File access error).
    void write(const QString& name, const QByteArray& bytes) const;
    // Moves `name` to `target`'s `newName`, replacing what is there.
    bool move(const QString& name, const PrivateFolder& target, const QString& newName) const;
    // Removes `name`: a file or a link (never what it points to), or a folder with everything
    // in it, entering no link on the way.
    bool remove(const QString& name) const;
    // Removes everything in the folder, the folder itself staying.
    bool empty() const;

    // The words a user is shown for a refusal of `path`.
    static QString describe(Refusal refusal, const QString& path);

private:
    explicit PrivateFolder(int descriptor) : descriptor_(descriptor) {}
    int descriptor_ = -1;
};
