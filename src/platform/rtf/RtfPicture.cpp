#include "platform/rtf/RtfPicture.h"

#include "platform/Twips.h"

#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>
#include <QtEndian>

#include <algorithm>

namespace rtf {

namespace {

constexpr int maxTwips = 31680 * 4; // 88 inches: larger sizes are damage, not intent

quint16 u16(QByteArrayView data, qsizetype at) {
    return qFromLittleEndian<quint16>(data.data() + at);
}
quint32 u32(QByteArrayView data, qsizetype at) {
    return qFromLittleEndian<quint32>(data.data() + at);
}

int clampTwips(double twips) {
    return int(std::clamp(twips, 1.0, double(maxTwips)));
}

const QString pictureNamePrefix = QStringLiteral("rtf-image:");

QUrl originalName(const QString& imageName) {
    return QUrl(imageName + QStringLiteral("#rtf"));
}

// Data as hex digits in lines of 128, each after a line break, as the writer has always saved
// pictures.
void appendHexLines(QByteArray& out, QByteArrayView data) {
    static constexpr char digits[] = "0123456789abcdef";
    out.reserve(out.size() + data.size() * 2 + (data.size() / 64 + 1) * 2 + 64);
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (i % 64 == 0)
            out.append("\r\n");
        const auto byte = static_cast<unsigned char>(data[i]);
        out.append(digits[byte >> 4]);
        out.append(digits[byte & 15]);
    }
}

void appendWord(QByteArray& out, const char* name, int value) {
    out.append('\\').append(name).append(QByteArray::number(value));
}

const char* kindWord(PictureKind kind) {
    switch (kind) {
    case PictureKind::Png:
        return "\\pngblip";
    case PictureKind::Jpeg:
        return "\\jpegblip";
    case PictureKind::WindowsMetafile:
        return "\\wmetafile8";
    case PictureKind::EnhancedMetafile:
        return "\\emfblip";
    case PictureKind::Dib:
        return "\\dibitmap0";
    case PictureKind::Bitmap:
        return "\\wbitmap0";
    case PictureKind::Unknown:
        break;
    }
    return "";
}

} // namespace

void appendHexData(Picture& picture, QByteArrayView text, int& nibble) {
    for (char c : text) {
        const int v = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
        if (v < 0)
            continue;
        if (nibble < 0) {
            nibble = v;
        } else {
            picture.data.append(char(nibble * 16 + v));
            nibble = -1;
        }
    }
}

QImage imageFromDib(QByteArrayView dib) {
    if (dib.size() < 12)
        return {};
    const quint32 headerSize = u32(dib, 0);
    if (headerSize < 12 || headerSize > quint32(dib.size()))
        return {};
    qsizetype colours = 0;
    qsizetype colourSize = 4;
    qsizetype masks = 0;
    if (headerSize == 12) { // BITMAPCOREHEADER
        const int bits = u16(dib, 10);
        colours = bits <= 8 ? (qsizetype(1) << bits) : 0;
        colourSize = 3;
    } else {
        if (headerSize < 40)
            return {};
        const int bits = u16(dib, 14);
        const quint32 compression = u32(dib, 16);
        const quint32 used = u32(dib, 32);
        colours = used ? qsizetype(std::min<quint32>(used, 256))
                       : (bits <= 8 ? (qsizetype(1) << bits) : 0);
        if (headerSize == 40 && (compression == 3 || compression == 6))
            masks = compression == 3 ? 12 : 16;
    }
    // A bitmap file is the DIB behind a 14-byte file header that says where the pixels start.
    const qsizetype pixelOffset = 14 + headerSize + masks + colours * colourSize;
    QByteArray file;
    file.reserve(14 + dib.size());
    file.append("BM");
    char header[12];
    qToLittleEndian<quint32>(quint32(14 + dib.size()), header);
    qToLittleEndian<quint32>(0, header + 4);
    qToLittleEndian<quint32>(quint32(pixelOffset), header + 8);
    file.append(header, 12);
    file.append(dib.data(), dib.size());
    QImage image;
    image.loadFromData(file, "BMP");
    return image;
}

QImage imageFromWindowsMetafile(QByteArrayView wmf) {
    qsizetype pos = 0;
    if (wmf.size() >= 22 && u32(wmf, 0) == 0x9AC6CDD7u) // placeable header
        pos = 22;
    if (wmf.size() < pos + 18)
        return {};
    pos += qsizetype(u16(wmf, pos + 2)) * 2; // header size in words
    while (pos + 6 <= wmf.size()) {
        const qsizetype words = u32(wmf, pos);
        const int function = u16(wmf, pos + 4);
        if (words < 3 || function == 0)
            break;
        const qsizetype end = std::min(wmf.size(), pos + words * 2);
        qsizetype dibAt = 0;
        switch (function) {
        case 0x0B41: // META_DIBSTRETCHBLT: raster operation, then 8 coordinates
            dibAt = pos + 6 + 4 + 16;
            break;
        case 0x0F43: // META_STRETCHDIB: raster operation, colour usage, 8 coordinates
            dibAt = pos + 6 + 4 + 2 + 16;
            break;
        case 0x0940: // META_DIBBITBLT: raster operation, 6 coordinates
            dibAt = pos + 6 + 4 + 12;
            break;
        case 0x0D33: // META_SETDIBTODEV: colour usage, scan lines, 7 coordinates
            dibAt = pos + 6 + 2 + 2 + 2 + 14;
            break;
        default:
            break;
        }
        if (dibAt && dibAt < end) {
            QImage image = imageFromDib(wmf.sliced(dibAt, end - dibAt));
            if (!image.isNull())
                return image;
        }
        pos += words * 2;
    }
    return {};
}

QImage decodePicture(const Picture& picture) {
    QImage image;
    switch (picture.kind) {
    case PictureKind::Png:
        image.loadFromData(picture.data, "PNG");
        break;
    case PictureKind::Jpeg:
        image.loadFromData(picture.data, "JPEG");
        break;
    case PictureKind::WindowsMetafile:
        image = imageFromWindowsMetafile(picture.data);
        break;
    case PictureKind::Dib:
        image = imageFromDib(picture.data);
        break;
    case PictureKind::Bitmap:
    case PictureKind::EnhancedMetafile:
    case PictureKind::Unknown:
        break;
    }
    return image;
}

QSizeF displaySize(const Picture& picture, const QImage& image) {
    auto natural = [&](int given, int imagePixels) -> double {
        if (picture.kind == PictureKind::WindowsMetafile ||
            picture.kind == PictureKind::EnhancedMetafile)
            return given * 1440.0 / 2540.0; // hundredths of a millimetre
        if (imagePixels > 0)
            return imagePixels * 15.0;
        return given * 15.0;
    };
    const double w = picture.goalWidth > 0
                         ? picture.goalWidth
                         : natural(picture.width, image.isNull() ? 0 : image.width());
    const double h = picture.goalHeight > 0
                         ? picture.goalHeight
                         : natural(picture.height, image.isNull() ? 0 : image.height());
    const double sx = picture.scaleX > 0 ? picture.scaleX / 100.0 : 1.0;
    const double sy = picture.scaleY > 0 ? picture.scaleY / 100.0 : 1.0;
    const int twipsW = w > 0 ? clampTwips(w * sx) : 480;
    const int twipsH = h > 0 ? clampTwips(h * sy) : 480;
    return QSizeF(twipsW / 15.0, twipsH / 15.0);
}

QImage placeholderImage() {
    constexpr int side = 16;
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(qRgb(0xF0, 0xF0, 0xF0));
    for (int i = 0; i < side; ++i) {
        for (const auto& [x, y] :
             {std::pair(i, 0), std::pair(i, side - 1), std::pair(0, i), std::pair(side - 1, i)})
            image.setPixel(x, y, qRgb(0xA0, 0xA0, 0xA0));
    }
    return image;
}

QString pictureName(int number) {
    return pictureNamePrefix + QString::number(number);
}

void carryPicture(const QTextDocument& from, const QString& fromName, QTextDocument& to,
                  const QString& toName) {
    const QVariant image = from.resource(QTextDocument::ImageResource, QUrl(fromName));
    if (image.isNull())
        return;
    to.addResource(QTextDocument::ImageResource, QUrl(toName), image);
    const QVariant kept = from.resource(QTextDocument::UserResource, originalName(fromName));
    if (!kept.isNull())
        to.addResource(QTextDocument::UserResource, originalName(toName), kept);
}

QString unusedPictureName(const QTextDocument& document) {
    // A picture's name stays taken after it is deleted, since undo can bring the picture back.
    for (int number = 1;; ++number) {
        const QString name = pictureName(number);
        if (document.resource(QTextDocument::ImageResource, QUrl(name)).isNull())
            return name;
    }
}

QByteArray pictureGroup(const Picture& picture) {
    QByteArray group = "{\\pict";
    group.append(kindWord(picture.kind));
    appendWord(group, "picw", picture.width);
    appendWord(group, "pich", picture.height);
    if (picture.goalWidth > 0)
        appendWord(group, "picwgoal", picture.goalWidth);
    if (picture.goalHeight > 0)
        appendWord(group, "pichgoal", picture.goalHeight);
    if (picture.scaleX != 100)
        appendWord(group, "picscalex", picture.scaleX);
    if (picture.scaleY != 100)
        appendWord(group, "picscaley", picture.scaleY);
    appendHexLines(group, picture.data);
    group.append('}');
    return group;
}

QByteArray objectGroup(QByteArrayView className, QByteArrayView objectData, QSizeF size,
                       QByteArrayView resultPicture) {
    QByteArray group = "{\\object\\objemb{\\*\\objclass ";
    group.append(className).append('}');
    appendWord(group, "objw", Twips::fromLayout(size.width()));
    appendWord(group, "objh", Twips::fromLayout(size.height()));
    group.append("{\\*\\objdata");
    appendHexLines(group, objectData);
    group.append("}{\\result").append(resultPicture).append("}}");
    return group;
}

void keepOriginalPicture(QTextDocument& document, const QString& imageName, QByteArrayView group,
                         QSizeF size) {
    document.addResource(QTextDocument::UserResource, originalName(imageName),
                         QVariantList{group.toByteArray(), size});
}

QByteArray originalPicture(const QTextDocument& document, const QTextImageFormat& image) {
    // Other pictures have none, and a relative name could be looked up as a file.
    if (!image.name().startsWith(pictureNamePrefix))
        return {};
    const QVariantList kept =
        document.resource(QTextDocument::UserResource, originalName(image.name())).toList();
    if (kept.size() != 2 || kept[1].toSizeF() != QSizeF(image.width(), image.height()))
        return {};
    return kept[0].toByteArray();
}

} // namespace rtf
