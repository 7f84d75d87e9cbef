#pragma once

#include <QImage>
#include <QString>
#include <QtGlobal>

class QTextCursor;

// A file the user embeds in a document (Form, Insert OLE file). A picture file becomes a picture
// at its natural size. Any other file becomes an embedded object that carries the file whole,
// shown as an icon with the file's name: saved as rich text it is an OLE package, which word
// processors on Windows open with the file's own program and others show as its icon.
namespace EmbeddedFile {

// Larger files are refused. The document keeps an embedded file as the text of its RTF group,
// hex digits at two characters a byte, and saving and reading it back hold a few more copies for
// a moment: about eight times the file's size at the peak, half a gigabyte at this limit. Files
// that large make documents no one can send or open quickly anyway.
inline constexpr qint64 maxSize = 64 * 1024 * 1024;

// Puts one object character made from the file at `path` where `at` is, in place of its
// selection, as one undo step. Returns false, and leaves the document as it was (its text,
// resources and undo history), when the file cannot be read whole (missing, a folder, no
// permission, not a regular file, larger than maxSize) or nothing could be made of it. Throws
// std::bad_alloc when memory runs out.
bool insert(QTextCursor& at, const QString& path);

// The icon an embedded file shows: a page with the file's name under it, cut short in the middle
// when long. The same name gives the same pixels.
QImage icon(const QString& fileName);

} // namespace EmbeddedFile
