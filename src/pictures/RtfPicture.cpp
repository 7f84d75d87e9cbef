#include "pictures/RtfPicture.h"

#include "model/Twips.h"
#include "pictures/Dib.h"
#include "pictures/EnhancedMetafile.h"
#include "pictures/WindowsMetafile.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace rtf {

namespace {

constexpr int maxTwips = 31680 * 4; // 88 inches: larger sizes are damage, not intent

int clampTwips(double twips) {
    return int(std::clamp(twips, 1.0, double(maxTwips)));
}

const QString pictureNamePrefix = QStringLiteral("rtf-image:");
const QString placeholderKey = QStringLiteral("placeholder");

// The largest side of an image drawn for a picture, in pixels: a picture shows at most a page.
constexpr int maxPixelSide = 1600;

// Layout units are pixels of a 96 dpi screen.
QSize pixelSize(QSizeF layoutSize) {
    double w = std::max(1.0, layoutSize.width());
    double h = std::max(1.0, layoutSize.height());
    const double scale = std::min(1.0, maxPixelSide / std::max(w, h));
    return QSize(std::max(1, int(std::lround(w * scale))),
                 std::max(1, int(std::lround(h * scale))));
}

QString kindName(PictureKind kind) {
    switch (kind) {
    case PictureKind::WindowsMetafile:
        return QStringLiteral("WMF picture");
    case PictureKind::EnhancedMetafile:
        return QStringLiteral("EMF picture");
    case PictureKind::Bitmap:
        return QStringLiteral("Bitmap picture");
    case PictureKind::Png:
        return QStringLiteral("PNG picture");
    case PictureKind::Jpeg:
        return QStringLiteral("JPEG picture");
    case PictureKind::Dib:
        return QStringLiteral("DIB picture");
    case PictureKind::Unknown:
        break;
    }
    return QStringLiteral("Picture");
}

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

QImage decodePicture(const Picture& picture) {
    QImage image;
    switch (picture.kind) {
    case PictureKind::Png:
        image.loadFromData(picture.data, "PNG");
        break;
    case PictureKind::Jpeg:
        image.loadFromData(picture.data, "JPEG");
        break;
    case PictureKind::WindowsMetafile: {
        const WindowsMetafile metafile(picture.data);
        image = metafile.soleBitmap();
        if (image.isNull())
            image = metafile.render(pixelSize(displaySize(picture, {})));
        break;
    }
    case PictureKind::EnhancedMetafile:
        image = EnhancedMetafile::firstBitmap(picture.data);
        break;
    case PictureKind::Dib:
        image = Dib::toImage(picture.data);
        break;
    case PictureKind::Bitmap:
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

QImage placeholderImage(const Picture& picture, QSizeF size) {
    QImage image(pixelSize(size), QImage::Format_RGB32);
    image.fill(qRgb(0xF0, 0xF0, 0xF0));
    image.setText(placeholderKey, kindName(picture.kind));
    QPainter painter(&image);
    painter.setPen(QColor(0xA0, 0xA0, 0xA0));
    painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
    // Text needs the fonts of a GUI application; without one the box stays empty.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        painter.setPen(QColor(0x60, 0x60, 0x60));
        QFont font = painter.font();
        font.setPixelSize(std::clamp(image.height() / 3, 6, 13));
        painter.setFont(font);
        painter.drawText(image.rect().adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWordWrap,
                         kindName(picture.kind));
    }
    return image;
}

bool isPlaceholder(const QImage& image) {
    return !image.text(placeholderKey).isEmpty();
}

QString pictureName(int number) {
    return pictureNamePrefix + QString::number(number);
}

bool isPictureName(const QString& name) {
    return name.startsWith(pictureNamePrefix);
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
