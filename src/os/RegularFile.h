#pragma once

#include <QString>

class QFile;

// Every document, picture or object file the program reads is opened here. Only a regular file
// is read, after following links: a FIFO or a socket would block, a device never end. The file
// is opened without blocking and what was opened is checked, so nothing can swap a FIFO in
// between the look and the opening.
namespace RegularFile {

// Opens `path` (a name as NativePath keeps it) into `file` for reading. Throws Error 53 (File not
// found) when nothing is there, else Error 75 (Path/File access error) for a folder, FIFO,
// socket or device and for a file that cannot be read. `reason`, when given, receives the
// system's words for the failure.
void open(QFile& file, const QString& path, QString* reason = nullptr);

} // namespace RegularFile
