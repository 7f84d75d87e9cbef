#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

// A running program's claim on a folder: a lock file naming the process and the boot it runs
// in, locked (flock) for as long as the process lives. The system drops the lock when the
// process ends however it ends, so a lock file nobody holds, or one written in another boot, was
// left by a run that is gone.
class RunLock {
public:
    ~RunLock();
    RunLock(const RunLock&) = delete;
    RunLock& operator=(const RunLock&) = delete;

    // Takes the lock file `name` in the folder open as `folder` (AT_FDCWD: `name` is a path),
    // creating it (mode 0600) and writing this process's id and boot id into it; none when a
    // live run holds it or it cannot be made. A lock file is never a link, and only a regular
    // file of this user's with no other name is written: what sits in its place otherwise is
    // left as it is.
    static std::unique_ptr<RunLock> take(int folder, const QString& name);
    static std::unique_ptr<RunLock> take(const QString& path);

    // Whether a live run holds the lock file `name` in `folder`. Where the file system has no
    // locks, a run lives when it started in this boot and its process is there. A missing or
    // unreadable file, or one that is not a lock file as take() makes them, counts as held, so
    // nothing of a run we cannot judge is taken from it.
    static bool heldByLiveRun(int folder, const QString& name);
    static bool heldByLiveRun(const QString& path);

    // This boot's id (empty where the system does not tell it).
    static QByteArray bootId();

private:
    explicit RunLock(int descriptor) : descriptor_(descriptor) {}
    int descriptor_;
};
