#pragma once

#include "text/PlainText.h"

#include <QString>
#include <memory>
#include <optional>

class QTextCharFormat;
class QTextDocument;

// How a document file is read and written, told by its name: ".rtf" anywhere in the lower-cased
// name is rich text, else ".htm" anywhere is HTML (read as its text with the tags removed),
// else plain text. Open, Save, start-up and the converter all go through here. Nothing here
// needs a window: the pane's own load and save are files/PaneFile's.
namespace DocumentFile {

enum class Kind { RichText, Html, PlainText };
Kind kindOf(const QString& path);

struct Content {
    std::unique_ptr<QTextDocument> document;
    // How a plain-text or HTML file was written, so a save can write it back alike.
    std::optional<PlainText::Encoding> encoding;
};

// What the process may still allocate, asked just before a file is read: the program asks its
// desktop, the converter the system itself. A null one, or one that answers nullopt, sets no
// bound.
using MemoryLeft = std::optional<qint64> (*)();

// Throws Error 7 when the document read from a file of `fileBytes` bytes of `kind` would not fit
// in the memory the process has left: Qt ends the program when memory runs out while it builds
// a document, so a file too big is refused before the building starts.
void ensureRoomFor(qint64 fileBytes, Kind kind, MemoryLeft memoryLeft);

// Text read from a plain-text or HTML file takes `plainFormat`. Throws Error 53 for a missing
// file, 75 for one that cannot be read or is no regular file (a folder, FIFO, socket or device),
// 321 for a rich-text name on content that is not RTF.
// Throws Error 7, before reading, for a file whose document would not fit in `memoryLeft`.
Content read(const QString& path, const QTextCharFormat& plainFormat, MemoryLeft memoryLeft);
Content fromBytes(const QByteArray& bytes, Kind kind, const QTextCharFormat& plainFormat);

// What a plain-text file keeps of a document: line breaks end paragraphs, and pictures and
// objects, which have no text, leave nothing behind.
QString plainText(const QTextDocument& document);

// True when the document holds anything plain text cannot keep: more than one character
// format, paragraph formats, lists, pictures or tables.
bool hasFormatting(const QTextDocument& document);

// The file's bytes for the kind: plain text in `encoding` when every character fits it, else
// UTF-8 (a new document is UTF-8 with LF line ends).
QByteArray toBytes(const QTextDocument& document, Kind kind,
                   const std::optional<PlainText::Encoding>& encoding);
// What toBytes gives for plain text of the document RTF `rtf` reads as, read straight to text
// without building the document. Throws Error 321 for data that is not RTF, as reading does.
QByteArray plainTextOfRtf(QByteArrayView rtf);
// Writes the whole file or nothing: the old file stays when writing fails (Error 75 and kin).
void write(const QString& path, const QTextDocument& document,
           const std::optional<PlainText::Encoding>& encoding);

} // namespace DocumentFile
