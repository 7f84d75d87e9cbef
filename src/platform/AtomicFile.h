#pragma once

#include <QByteArray>
#include <QString>

namespace AtomicFile {
// Writes `bytes` to a temporary file beside `path` and renames it into place, so a failure
// (disk full, no permission, a missing folder) leaves any old file as it was. Throws Error
// 70 (Permission denied), 61 (Disk full) or 75 (Path/File access error), with the system's
// reason after the description.
void write(const QString& path, const QByteArray& bytes);
} // namespace AtomicFile
