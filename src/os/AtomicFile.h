#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

namespace AtomicFile {
// Writes `bytes` to `path` (a name as NativePath keeps it; a link is followed and stays a link).
// The bytes go to a new file beside it, which then takes the old file's place, so a failure
// leaves any old file as it was; the new file gets the old one's owner, group and mode.
// Where that is not possible (the folder may not be written, or the owner not given, as when
// another user's file is saved by one allowed to write it) the old file is written in place,
// which keeps its owner by itself; room for the new bytes is claimed first, so a full disk still
// leaves the old content. Throws Error 76 (Path not found) for a missing folder, 70 (Permission
// denied), 61 (Disk full), or 75 (Path/File access error) with the system's reason after it.
void write(const QString& path, const QByteArray& bytes);
// As above, with the bytes of `source` from its start, read a piece at a time: what was made in
// a temporary file is never held in memory whole.
void write(const QString& path, QIODevice& source);
} // namespace AtomicFile
