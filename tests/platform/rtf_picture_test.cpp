#include "rtf_test_support.h"

#include "platform/rtf/RtfPicture.h"
#include "platform/rtf/RtfWriter.h"

#include <QBuffer>
#include <QTextCursor>
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

namespace {

// A metafile that draws (a rectangle), as logos and charts do, instead of wrapping a bitmap.
const QByteArray drawingMetafile = QByteArray::fromHex(
    "010009000003000000000000000000000000070000001b042800500000000000030000000000");

// Hex in lines of `width` digits, upper case, as some editors write it.
QByteArray hexLines(const QByteArray& data, int width) {
    const QByteArray hex = data.toHex().toUpper();
    QByteArray lines;
    for (qsizetype i = 0; i < hex.size(); i += width)
        lines += "\r\n" + hex.mid(i, width);
    return lines;
}

QTextImageFormat firstImageFormat(const QTextDocument& document) {
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                return it.fragment().charFormat().toImageFormat();
    return {};
}

} // namespace

// Only the pictures Qt can draw are in the document as pictures; every picture is saved as the
// file had it, whether shown, stood in for by a box, or a kind we cannot read at all.
TEST(RtfPicture, SavesEveryPictureAsTheFileHadIt) {
    const QByteArray png = encoded(sampleImage(), "PNG");
    const QByteArray groups[] = {
        "{\\pict\\wmetafile8\\picw2117\\pich1058\\picwgoal1200\\pichgoal600" +
            hexLines(drawingMetafile, 40) + "\r\n}",
        "{\\pict{\\*\\picprop\\shplid1025{\\sp{\\sn shapeType}{\\sv 75}}}\\picscalex89\\picscaley89"
        "\\piccropl0\\piccropr0\\picw20108\\pich28517\\picwgoal11400\\pichgoal16167\\emfblip"
        "\\bliptag-17377467{\\*\\blipuid fef6d745451b0ec7280b1becb0c3927f}" +
            hexLines(QByteArray("\x01\0\0\0l\0\0\0 EMF", 12), 128) + "}",
        "{\\pict\\macpict\\picw10\\pich10 0a0b0c}",
        "{\\pict\\jpegblip\\picw6\\pich4\\picwgoal90\\pichgoal60\\bin" +
            QByteArray::number(encoded(sampleImage(), "JPEG").size()) + " " +
            encoded(sampleImage(), "JPEG") + "}",
        "{\\pict\\pngblip\\picw6\\pich4 " + png.toHex() + "}",
    };
    for (const QByteArray& group : groups) {
        const QByteArray rtf =
            "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard Logo: " + group + " end}";
        auto document = readRtf(rtf);
        QSizeF size;
        ASSERT_FALSE(onlyImage(*document, &size).isNull()) << group.left(60).constData();
        const QByteArray saved = rtf::write(*document);
        EXPECT_TRUE(saved.contains(group)) << group.left(60).constData() << "\n"
                                           << saved.constData();
        auto reopened = readRtf(saved);
        QSizeF reopenedSize;
        onlyImage(*reopened, &reopenedSize);
        EXPECT_EQ(reopenedSize, size) << group.left(60).constData();
        EXPECT_EQ(rtf::write(*reopened), saved) << group.left(60).constData();
    }

    // Shown at another size, the picture is no longer what the file described.
    auto document = readRtf("{\\rtf1 {\\pict\\pngblip\\picw6\\pich4 " + png.toHex() + "}}");
    QTextCursor cursor(document.get());
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    QTextImageFormat larger = firstImageFormat(*document);
    larger.setWidth(larger.width() * 2);
    cursor.setCharFormat(larger);
    const QByteArray saved = rtf::write(*document);
    EXPECT_FALSE(saved.contains(png.toHex())) << saved.constData();
    EXPECT_TRUE(saved.contains("\\picwgoal180")) << saved.constData();
}
