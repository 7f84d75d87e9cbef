#pragma once

#include <QString>

// Reads and writes one value of a profile file (sections in square brackets, "key=value"
// lines). Section and key names match without regard to letter case. A write changes only the
// value's own line, or adds the lines it needs, and keeps every other byte of the file:
// comments, other sections, blank lines, line ends and text in any encoding.
namespace ProfileFile {

// The value, with blanks around it and one pair of enclosing quotes removed; empty when the
// file, the section or the key is absent or the file cannot be read.
QString read(const QString& path, const QString& section, const QString& key);

// Stores value under key in section, creating the file, the section and the key as needed.
// Throws Error 70 (Permission denied) or 75 (Path/File access error) when the file cannot be
// written, and Error 5 for a section or key name that the format cannot hold.
void write(const QString& path, const QString& section, const QString& key, const QString& value);

// The program's settings: a value read as the profile call's buffer holds it, at most 254
// characters; a write that never throws, false when nothing was stored.
QString readSetting(const QString& path, const QString& section, const QString& key);
bool writeSetting(const QString& path, const QString& section, const QString& key,
                  const QString& value);

} // namespace ProfileFile
