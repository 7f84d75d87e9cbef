#include "rtf_test_support.h"

#include "platform/rtf/RtfPicture.h"

#include <QBuffer>
#include <QTextImageFormat>
#include <QtEndian>
#include <gtest/gtest.h>

using rtftest::readRtf;

namespace {

QImage sampleImage() {
    QImage image(6, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            image.setPixel(x, y, qRgb(40 * x, 60 * y, 200));
    return image;
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// The bitmap without its 14-byte file header: what metafiles and \dibitmap carry.
QByteArray dib(const QImage& image) {
    return encoded(image, "BMP").mid(14);
}

void appendWord(QByteArray& out, quint16 v) {
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}
void appendDword(QByteArray& out, quint32 v) {
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

// A metafile as the Windows control writes one around a bitmap: header, one bitmap record, end.
QByteArray metafileAround(const QByteArray& bitmap, quint16 function) {
    QByteArray record;
    appendDword(record, 0x00CC0020); // SRCCOPY
    if (function == 0x0F43)
        appendWord(record, 0); // colour usage
    for (int i = 0; i < 8; ++i)
        appendWord(record, 1);
    record.append(bitmap);
    if (record.size() % 2)
        record.append('\0');
    QByteArray wmf;
    appendWord(wmf, 1);
    appendWord(wmf, 9); // header size in words
    appendWord(wmf, 0x300);
    appendDword(wmf, 0);
    appendWord(wmf, 0);
    appendDword(wmf, 0);
    appendWord(wmf, 0);
    appendDword(wmf, quint32(3 + record.size() / 2));
    appendWord(wmf, function);
    wmf.append(record);
    appendDword(wmf, 3);
    appendWord(wmf, 0);
    return wmf;
}

QImage onlyImage(const QTextDocument& document, QSizeF* size) {
    for (auto it = document.begin().begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        if (format.isImageFormat()) {
            const QTextImageFormat image = format.toImageFormat();
            *size = QSizeF(image.width(), image.height());
            return document.resource(QTextDocument::ImageResource, QUrl(image.name()))
                .value<QImage>();
        }
    }
    return {};
}

} // namespace

TEST(RtfPicture, ShowsEmbeddedPicturesAtTheirGoalSize) {
    const QImage sample = sampleImage();
    const struct {
        const char* name;
        const char* kind;
        QByteArray data;
        bool exactPixels;
    } cases[] = {
        {"png", "\\pngblip", encoded(sample, "PNG"), true},
        {"jpeg", "\\jpegblip", encoded(sample, "JPEG"), false},
        {"metafile with DIBSTRETCHBLT", "\\wmetafile8", metafileAround(dib(sample), 0x0B41), true},
        {"metafile with STRETCHDIB", "\\wmetafile8", metafileAround(dib(sample), 0x0F43), true},
        {"device-independent bitmap", "\\dibitmap0", dib(sample), true},
    };
    for (const auto& c : cases) {
        const QByteArray rtf = "{\\rtf1 a{\\pict" + QByteArray(c.kind) +
                               "\\picw6\\pich4\\picwgoal900\\pichgoal600\\picscalex50 " +
                               c.data.toHex() + "}b}";
        auto document = readRtf(rtf);
        QSizeF size;
        const QImage image = onlyImage(*document, &size);
        ASSERT_FALSE(image.isNull()) << c.name;
        EXPECT_EQ(image.size(), sample.size()) << c.name;
        if (c.exactPixels) {
            EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), sample) << c.name;
        }
        EXPECT_EQ(size, QSizeF(30, 40)) << c.name; // 450 x 600 twips
        EXPECT_EQ(document->toPlainText(), QString("a") + QChar::ObjectReplacementCharacter + "b");
    }
}

TEST(RtfPicture, UnknownKindsKeepTheirSizeAsPlaceholders) {
    const struct {
        const char* rtf;
        QSizeF size;
    } cases[] = {
        {"{\\rtf1 {\\pict\\emfblip\\picwgoal1500\\pichgoal750 0102}}", {100, 50}},
        {"{\\rtf1 {\\pict\\wmetafile8\\picwgoal1500\\pichgoal750 0100}}", {100, 50}},
        // Without a goal size, a metafile's size is in hundredths of a millimetre.
        {"{\\rtf1 {\\pict\\wmetafile8\\picw2540\\pich1270 0100}}", {96, 48}},
    };
    for (const auto& c : cases) {
        auto document = readRtf(QByteArrayView(c.rtf));
        QSizeF size;
        EXPECT_FALSE(onlyImage(*document, &size).isNull()) << c.rtf;
        EXPECT_EQ(size, c.size) << c.rtf;
    }
}

TEST(RtfPicture, ExtractsBitmapsOnlyFromWellFormedMetafiles) {
    const QByteArray bitmap = dib(sampleImage());
    EXPECT_FALSE(rtf::imageFromWindowsMetafile(metafileAround(bitmap, 0x0B41)).isNull());
    EXPECT_TRUE(rtf::imageFromWindowsMetafile(metafileAround(bitmap, 0x0B41).left(40)).isNull());
    EXPECT_TRUE(rtf::imageFromWindowsMetafile(QByteArray(8, '\xFF')).isNull());
    EXPECT_TRUE(rtf::imageFromDib(bitmap.left(20)).isNull());
    QByteArray lying = bitmap;
    qToLittleEndian<quint32>(0x7FFFFFFF, lying.data()); // header size beyond the data
    EXPECT_TRUE(rtf::imageFromDib(lying).isNull());
}
