#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <optional>

class QIODevice;

// Plain-text documents: the bytes of a file to paragraphs of text and back, remembering the
// encoding and the line end so that a save writes the file the way it came.
namespace PlainText {

struct Encoding {
    // The UTF-16 kinds are written with a byte order mark; the NoBom kinds came without one.
    enum class Kind { Utf8, Utf8Bom, Utf16LE, Utf16BE, Utf16LENoBom, Utf16BENoBom, Windows1252 };
    enum class LineEnd { CRLF, LF, CR };
    Kind kind = Kind::Utf8;
    LineEnd lineEnd = LineEnd::CRLF;

    bool operator==(const Encoding&) const = default;
};

struct Decoded {
    QString text; // paragraphs separated by '\n'; NUL bytes kept as U+0000
    Encoding encoding;
};

// UTF-8 or UTF-16 (either byte order) after a byte order mark. Without one: UTF-16 when the
// bytes are mostly NUL every other byte, as mostly-Latin text in UTF-16 is (the NULs' places
// tell the byte order); else UTF-8 when the bytes are valid UTF-8, Windows-1252 otherwise. CR LF,
// LF and a lone CR each end a paragraph; the first of them found becomes the encoding's line end
// (CRLF when none).
Decoded decode(QByteArrayView bytes);

// Reads and decodes `device` from its start as decode() does its whole content, handing the text
// to `take` a piece at a time (line ends already made '\n'), so that the file's bytes, its text
// and whatever the caller builds from it never stand in memory all at once. The device is read
// twice when it has no byte order mark: first to tell UTF-8 from Windows-1252. Empty when the
// device cannot be read or sought.
std::optional<Encoding> decodeInPieces(QIODevice& device, const std::function<void(QString&)>& take,
                                       qsizetype pieceBytes = 1 << 20);

// The text in the given encoding, each '\n' written as the line end. Text that Windows-1252
// cannot hold is written as UTF-8 instead, and everyCharacterFits tells so.
QByteArray encode(const QString& text, Encoding encoding, bool* everyCharacterFits = nullptr);

} // namespace PlainText
