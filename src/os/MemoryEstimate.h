#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

#include <optional>

// Whether a document read from a file will fit in the memory the process has left. Qt does not
// survive running out of memory while it builds a document (its text tables crash instead of
// throwing), so a file is refused before the building starts when its document cannot fit.
namespace MemoryEstimate {

enum class Form { PlainText, RichText, Html };

// The memory a document read from `fileBytes` bytes of `form` takes while it is read and shown.
qint64 documentBytes(qint64 fileBytes, Form form);

// Whether `bytes` fit in `left` bytes; an unknown limit holds anything.
bool fits(qint64 bytes, std::optional<qint64> left);

// What this process may still allocate: the least of its address-space limit less what it maps
// already, its control group's limit less what the group uses (at every level of the group's
// path), and the memory the system says is available. Read from what the kernel offers under
// /proc and /sys, none of which blocks; nullopt when none of them sets a bound.
std::optional<qint64> left();

// The pieces of left(), from the text of the files they are read from.
// /proc/meminfo's MemAvailable line, in bytes.
std::optional<qint64> availableFromMeminfo(QByteArrayView meminfo);
// A cgroup v2 memory.max ("max" for none) less memory.current; never below 0.
std::optional<qint64> cgroupLeft(QByteArrayView max, QByteArrayView current);
// The cgroup v2 path in /proc/self/cgroup's "0::" line; empty when the process has none.
QString cgroupPath(QByteArrayView procSelfCgroup);
// An address-space limit less the pages /proc/self/statm says are mapped; never below 0.
qint64 addressSpaceLeft(qint64 limit, QByteArrayView statm, qint64 pageSize);

} // namespace MemoryEstimate
