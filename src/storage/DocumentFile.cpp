#include "storage/DocumentFile.h"
#include "storage/DocumentDefaults.h"

#include "os/AtomicFile.h"
#include "os/MemoryEstimate.h"
#include "os/RegularFile.h"
#include "rtf/RtfReader.h"
#include "rtf/RtfWriter.h"
#include "storage/HtmlWriter.h"
#include "storage/TableText.h"
#include "storage/TagRemoval.h"
#include "text/Error.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <new>

namespace {
// Where a table or frame begins and ends in the document's raw text.
constexpr char16_t frameStart = 0xFDD0;
constexpr char16_t frameEnd = 0xFDD1;
} // namespace

namespace DocumentFile {

Kind kindOf(const QString& path) {
    const QString lower = path.toLower();
    if (lower.contains(QLatin1String(".rtf")))
        return Kind::RichText;
    if (lower.contains(QLatin1String(".htm")))
        return Kind::Html;
    return Kind::PlainText;
}

void ensureRoomFor(qint64 fileBytes, Kind kind, MemoryLeft memoryLeft) {
    const MemoryEstimate::Form form = kind == Kind::RichText ? MemoryEstimate::Form::RichText
                                      : kind == Kind::Html   ? MemoryEstimate::Form::Html
                                                             : MemoryEstimate::Form::PlainText;
    if (!MemoryEstimate::fits(MemoryEstimate::documentBytes(fileBytes, form),
                              memoryLeft ? memoryLeft() : std::nullopt))
        throw Error::withNumber(Error::OutOfMemory);
}

Content fromBytes(const QByteArray& bytes, Kind kind, const QTextCharFormat& plainFormat) {
    Content content{std::make_unique<QTextDocument>(), std::nullopt};
    QTextDocument& document = *content.document;
    DocumentDefaults::setUp(document);
    // Loading is one step, not a history of edits to undo.
    document.setUndoRedoEnabled(false);
    if (kind == Kind::RichText) {
        if (!rtf::read(bytes, document).ok())
            throw Error::withNumber(Error::InvalidFileFormat);
        return content;
    }
    const PlainText::Decoded decoded = PlainText::decode(bytes);
    const QString text = kind == Kind::Html ? TagRemoval::removeTags(decoded.text) : decoded.text;
    // In one edit block the cursor does not lay the text out to find its place: a long
    // paragraph is not shaped here, and a view lays out only what it shows.
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    cursor.insertText(text, plainFormat);
    cursor.endEditBlock();
    content.encoding = decoded.encoding;
    return content;
}

Content read(const QString& path, const QTextCharFormat& plainFormat, MemoryLeft memoryLeft) try {
    QFile file;
    RegularFile::open(file, path);
    // Past this a document's text no longer fits in one string, so it could only be read cut.
    constexpr qint64 largestFile = qint64(1) << 30;
    if (file.size() > largestFile)
        throw Error::withNumber(Error::OutOfMemory);
    const Kind kind = kindOf(path);
    ensureRoomFor(file.size(), kind, memoryLeft);
    if (kind == Kind::PlainText) {
        // A piece at a time, so that the file's bytes, its text and the document are never in
        // memory all at once: a big text file then takes little more than its document. In one
        // edit block the cursor does not lay each piece out to find its place.
        Content content{std::make_unique<QTextDocument>(), std::nullopt};
        DocumentDefaults::setUp(*content.document);
        content.document->setUndoRedoEnabled(false);
        QTextCursor cursor(content.document.get());
        cursor.beginEditBlock();
        content.encoding = PlainText::decodeInPieces(
            file, [&](QString& piece) { cursor.insertText(piece, plainFormat); });
        cursor.endEditBlock();
        if (!content.encoding)
            throw Error::pathFileAccess();
        return content;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error::pathFileAccess();
    return fromBytes(bytes, kind, plainFormat);
} catch (const std::bad_alloc&) {
    // A file too big for the memory left is a failure to tell, not a reason to end the program
    // and lose the other documents.
    throw Error::withNumber(Error::OutOfMemory);
}

QString plainText(const QTextDocument& document) {
    QString text = document.toRawText();
    TableText::markCells(document, text);
    qsizetype kept = 0;
    for (const QChar c : std::as_const(text)) {
        switch (c.unicode()) {
        case QChar::ObjectReplacementCharacter:
            continue;
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
        case frameStart:
        case frameEnd:
            text[kept++] = QLatin1Char('\n');
            break;
        default:
            text[kept++] = c;
        }
    }
    text.truncate(kept);
    return text;
}

bool hasFormatting(const QTextDocument& document) {
    if (!document.rootFrame()->childFrames().isEmpty())
        return true;
    const QTextBlockFormat plainBlock;
    bool seenFormat = false;
    QTextCharFormat first;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        if (block.textList() || format.alignment() != plainBlock.alignment() ||
            format.leftMargin() != 0 || format.rightMargin() != 0 || format.textIndent() != 0 ||
            !format.tabPositions().isEmpty())
            return true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat chars = it.fragment().charFormat();
            if (chars.isImageFormat())
                return true;
            if (!seenFormat) {
                first = chars;
                seenFormat = true;
            } else if (chars != first) {
                return true;
            }
        }
    }
    return false;
}

namespace {
const PlainText::Encoding newTextEncoding{PlainText::Encoding::Kind::Utf8,
                                          PlainText::Encoding::LineEnd::LF};
} // namespace

QByteArray toBytes(const QTextDocument& document, Kind kind,
                   const std::optional<PlainText::Encoding>& encoding) {
    switch (kind) {
    case Kind::RichText:
        return rtf::write(document);
    case Kind::Html:
        return HtmlWriter::write(document);
    case Kind::PlainText:
        break;
    }
    return PlainText::encode(plainText(document), encoding.value_or(newTextEncoding));
}

QByteArray plainTextOfRtf(QByteArrayView rtf) {
    rtf::ReadStatus status = rtf::ReadStatus::Ok;
    const QString text = rtf::readSavedText(rtf, &status);
    if (status != rtf::ReadStatus::Ok)
        throw Error::withNumber(Error::InvalidFileFormat);
    return PlainText::encode(text, newTextEncoding);
}

void write(const QString& path, const QTextDocument& document,
           const std::optional<PlainText::Encoding>& encoding) {
    AtomicFile::write(path, toBytes(document, kindOf(path), encoding));
}

} // namespace DocumentFile
