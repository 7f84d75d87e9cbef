#include "pictures/EmbeddedFile.h"

#include "model/Twips.h"
#include "os/RegularFile.h"
#include "pictures/OlePackage.h"
#include "pictures/RtfPicture.h"
#include "text/Error.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>
#include <new>
#include <optional>

namespace EmbeddedFile {

namespace {

// What goes into the document: the picture it shows, at what size, and the RTF group that
// saves it.
struct Embedding {
    QImage image;
    QSizeF size;
    QByteArray group;
};

// The file's bytes, read once; nothing when it is not a regular file, cannot be read or is
// larger than maxSize, checked while reading too, since a file can grow meanwhile.
std::optional<QByteArray> readFile(const QString& path) {
    QFile file;
    try {
        RegularFile::open(file, path);
    } catch (const Error&) {
        return std::nullopt;
    }
    const qint64 size = file.size();
    if (size > maxSize)
        return std::nullopt;
    // Room for one byte more than the file had tells whether it grew since.
    QByteArray bytes(qsizetype(size) + 1, Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (bytes.size() > maxSize)
                return std::nullopt;
            bytes.resize(std::min<qsizetype>(bytes.size() * 2, maxSize + 1));
        }
        const qint64 got = file.read(bytes.data() + filled, bytes.size() - filled);
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        filled += qsizetype(got);
    }
    bytes.truncate(filled);
    return bytes;
}

QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The picture shows what a reader of the saved document will see: it is decoded from the very
// bytes that are saved, and sized as the reader sizes pictures.
std::optional<Embedding> embedPicture(rtf::Picture picture) {
    const QImage image = rtf::decodePicture(picture);
    if (image.isNull())
        return std::nullopt;
    picture.width = image.width();
    picture.height = image.height();
    const QSizeF size = rtf::displaySize(picture, image);
    picture.goalWidth = Twips::fromLayout(size.width());
    picture.goalHeight = Twips::fromLayout(size.height());
    return Embedding{image, size, rtf::pictureGroup(picture)};
}

// A file any image reader takes, by its content rather than its name. PNG and JPEG are saved
// as their own bytes, which RTF readers take as they are; other kinds as PNG, which they all
// read.
std::optional<Embedding> asPicture(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    QImage image;
    if (!reader.read(&image))
        return std::nullopt;
    rtf::Picture picture;
    if (format == "png") {
        picture.kind = rtf::PictureKind::Png;
        picture.data = bytes;
    } else if (format == "jpeg" || format == "jpg") {
        picture.kind = rtf::PictureKind::Jpeg;
        picture.data = bytes;
    } else {
        picture.kind = rtf::PictureKind::Png;
        picture.data = png(image);
    }
    return embedPicture(std::move(picture));
}

std::optional<Embedding> asPackage(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    rtf::Picture shown;
    shown.kind = rtf::PictureKind::Png;
    shown.data = png(icon(info.fileName()));
    std::optional<Embedding> embedding = embedPicture(std::move(shown));
    if (!embedding)
        return std::nullopt;
    const QByteArray object = OlePackage::embeddedObject(
        OlePackage::className,
        OlePackage::nativeData(info.fileName(), info.absoluteFilePath(), bytes));
    embedding->group =
        rtf::objectGroup(OlePackage::className, object, embedding->size, embedding->group);
    return embedding;
}

} // namespace

bool insert(QTextCursor& at, const QString& path) {
    try {
        QTextDocument* document = at.document();
        if (!document)
            return false;
        const std::optional<QByteArray> bytes = readFile(path);
        if (!bytes)
            return false;
        std::optional<Embedding> embedding = asPicture(*bytes);
        if (!embedding)
            embedding = asPackage(path, *bytes);
        if (!embedding)
            return false;
        // Nothing above touched the document.
        const QString name = rtf::unusedPictureName(*document);
        document->addResource(QTextDocument::ImageResource, QUrl(name), embedding->image);
        rtf::keepOriginalPicture(*document, name, embedding->group, embedding->size);
        QTextImageFormat format;
        format.setName(name);
        format.setWidth(embedding->size.width());
        format.setHeight(embedding->size.height());
        at.insertImage(format);
        return true;
    } catch (const std::bad_alloc&) {
        // The user is told: a file too big for the memory left is not one that cannot be read.
        throw;
    } catch (...) {
        return false;
    }
}

QImage icon(const QString& fileName) {
    constexpr int pageWidth = 32;
    constexpr int pageHeight = 40;
    constexpr int fold = 10;
    constexpr int margin = 4;
    constexpr int maxLabelWidth = 150;
    QFont font = QGuiApplication::font();
    font.setPixelSize(11);
    const QFontMetrics metrics(font);
    const QString label = metrics.elidedText(fileName, Qt::ElideMiddle, maxLabelWidth);
    const int width = std::max(pageWidth, metrics.horizontalAdvance(label)) + 2 * margin;
    const int labelTop = margin + pageHeight + margin;
    QImage image(width, labelTop + metrics.height() + margin, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal left = (width - pageWidth) / 2 + 0.5;
    const qreal top = margin + 0.5;
    const qreal right = left + pageWidth - 1;
    const qreal bottom = top + pageHeight - 1;
    // A sheet with its top right corner folded over, and a few lines of writing.
    painter.setPen(QPen(QColor(0x50, 0x50, 0x50), 1));
    painter.setBrush(QColor(0xFC, 0xFC, 0xFC));
    painter.drawPolygon(QPolygonF{
        {left, top}, {right - fold, top}, {right, top + fold}, {right, bottom}, {left, bottom}});
    painter.setBrush(QColor(0xD8, 0xD8, 0xD8));
    painter.drawPolygon(
        QPolygonF{{right - fold, top}, {right - fold, top + fold}, {right, top + fold}});
    painter.setPen(QPen(QColor(0x70, 0x90, 0xC0), 1));
    for (qreal y = top + fold + 6; y < bottom - 4; y += 5)
        painter.drawLine(QPointF(left + 5, y), QPointF(right - 5, y));
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, labelTop, width, metrics.height()), Qt::AlignHCenter | Qt::AlignTop,
                     label);
    painter.end();
    return image;
}

} // namespace EmbeddedFile
