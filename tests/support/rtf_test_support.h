#pragma once

#include "rtf/RtfReader.h"
#include "storage/TableText.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextImageFormat>

#include <memory>

namespace rtftest {

inline std::unique_ptr<QTextDocument> readRtf(QByteArrayView data) {
    auto document = std::make_unique<QTextDocument>();
    rtf::read(data, *document);
    return document;
}

// The document's text with its paragraphs joined by '\n'; unlike toPlainText, it keeps line
// separators and no-break spaces as they are.
inline QString blockText(const QTextDocument& document) {
    QString text;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            text += u'\n';
        text += block.text();
    }
    return text;
}

// The document's text as reading its RTF as text gives it: paragraphs, line breaks, the starts
// of table rows and their ends as '\n', the other cells' starts as '\t'.
inline QString plainText(const QTextDocument& document) {
    QString text = document.toPlainText();
    TableText::markCells(document, text);
    return text;
}

// The format of the character at `position` in the document's text.
inline QTextCharFormat charFormatAt(const QTextDocument& document, int position) {
    const QTextBlock block = document.findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (position >= fragment.position() && position < fragment.position() + fragment.length())
            return fragment.charFormat();
    }
    return block.charFormat();
}

// An image in a file format: "PNG", "BMP", ...
inline QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// The bitmap without its 14-byte file header: what metafiles and \dibitmap carry.
inline QByteArray dib(const QImage& image) {
    return encoded(image, "BMP").mid(14);
}

// A \pict group of a PNG of one colour, with `words` (sizes, goals) after \pngblip.
inline QByteArray pngPict(QSize size, QRgb color, const QByteArray& words) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return "{\\pict\\pngblip" + words + " " + encoded(image, "PNG").toHex() + "}";
}

struct Picture {
    QTextImageFormat format;
    QImage image;
    QSizeF size() const { return {format.width(), format.height()}; }
};

// The document's pictures in order, one for each character that shows one.
inline QList<Picture> pictures(const QTextDocument& document) {
    QList<Picture> found;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (!it.fragment().charFormat().isImageFormat())
                continue;
            const QTextImageFormat format = it.fragment().charFormat().toImageFormat();
            const QVariant image =
                document.resource(QTextDocument::ImageResource, QUrl(format.name()));
            for (int i = 0; i < it.fragment().length(); ++i)
                found.append({format, image.value<QImage>()});
        }
    }
    return found;
}

} // namespace rtftest
