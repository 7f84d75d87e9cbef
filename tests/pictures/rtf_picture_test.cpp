#include "support/Files.h"
#include "support/rtf_test_support.h"

#include "pictures/RtfPicture.h"
#include "rtf/RtfWriter.h"

#include <QTextCursor>
#include <QtEndian>
#include <gtest/gtest.h>

using rtftest::pictures;
using rtftest::readRtf;

namespace {

QImage sampleImage() {
    QImage image(6, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            image.setPixel(x, y, qRgb(40 * x, 60 * y, 200));
    return image;
}

template <typename Number> void append(QByteArray& out, Number value) {
    char bytes[sizeof value];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof value);
}

// A metafile as the Windows control writes one around a bitmap: header, one bitmap record, end.
QByteArray metafileAround(const QByteArray& bitmap, quint16 function) {
    QByteArray record;
    append<quint32>(record, 0x00CC0020); // SRCCOPY
    if (function == 0x0F43)
        append<quint16>(record, 0); // colour usage
    for (int i = 0; i < 8; ++i)
        append<quint16>(record, 1);
    record.append(bitmap);
    if (record.size() % 2)
        record.append('\0');
    QByteArray wmf = QByteArray::fromHex("010009000003000000000000000000000000");
    append<quint32>(wmf, quint32(3 + record.size() / 2));
    append<quint16>(wmf, function);
    return wmf + record + QByteArray::fromHex("030000000000");
}

} // namespace

TEST(RtfPicture, ShowsPicturesAtTheirGoalSize) {
    const QImage sample = sampleImage();
    const QByteArray jpeg = rtftest::encoded(sample, "JPEG");
    // Sized at 6 by 4 pixels, 60 by 40 points and scaled to half its width.
    const auto sized = [](const char* kind, const QByteArray& data) -> QByteArray {
        return kind + QByteArray("\\picw6\\pich4\\picwgoal900\\pichgoal600\\picscalex50 ") +
               data.toHex();
    };
    const QByteArray dib = rtftest::dib(sample);
    const struct {
        const char* name;
        QByteArray group;
        QSizeF size;
        QImage pixels; // null: a box standing in for a picture Qt cannot draw
    } cases[] = {
        {"png", sized("\\pngblip", rtftest::encoded(sample, "PNG")), {30, 40}, sample},
        {"jpeg", sized("\\jpegblip", jpeg), {30, 40}, QImage::fromData(jpeg)},
        {"WMF, STRETCHBLT", sized("\\wmetafile8", metafileAround(dib, 0x0B41)), {30, 40}, sample},
        {"WMF, STRETCHDIB", sized("\\wmetafile8", metafileAround(dib, 0x0F43)), {30, 40}, sample},
        {"device-independent bitmap", sized("\\dibitmap0", dib), {30, 40}, sample},
        {"enhanced metafile", "\\emfblip\\picwgoal1500\\pichgoal750 0102", {100, 50}, {}},
        {"WMF, no bitmap", "\\wmetafile8\\picwgoal1500\\pichgoal750 0100", {100, 50}, {}},
        {"WMF in 0.01 mm", "\\wmetafile8\\picw2540\\pich1270 0100", {96, 48}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto document = readRtf("{\\rtf1 a{\\pict" + c.group + "}b}");
        const QList<rtftest::Picture> found = pictures(*document);
        ASSERT_EQ(found.size(), 1);
        EXPECT_EQ(found[0].size(), c.size);
        if (!c.pixels.isNull()) {
            EXPECT_EQ(found[0].image.convertToFormat(QImage::Format_RGB32),
                      c.pixels.convertToFormat(QImage::Format_RGB32));
        } else {
            // A box of the picture's own size, which says what kind of picture it stands for.
            EXPECT_TRUE(rtf::isPlaceholder(found[0].image));
            EXPECT_EQ(found[0].image.size(), c.size.toSize());
            EXPECT_EQ(found[0].image.text("placeholder"),
                      c.group.startsWith("\\emf") ? "EMF picture" : "WMF picture");
        }
        EXPECT_EQ(document->toPlainText(), QString("a") + QChar::ObjectReplacementCharacter + "b");
    }
}

namespace {

// Hex in lines of `width` digits, upper case, as some editors write it.
QByteArray hexLines(const QByteArray& data, int width) {
    const QByteArray hex = data.toHex().toUpper();
    QByteArray lines;
    for (qsizetype i = 0; i < hex.size(); i += width)
        lines += "\r\n" + hex.mid(i, width);
    return lines;
}

} // namespace

// Only the pictures Qt can draw are in the document as pictures; every picture is saved as the
// file had it, whether shown, stood in for by a box, or a kind we cannot read at all.
TEST(RtfPicture, SavesEveryPictureAsTheFileHadIt) {
    // A metafile that draws (a rectangle), as logos and charts do, instead of wrapping a bitmap.
    const QByteArray drawingMetafile = QByteArray::fromHex(
        "010009000003000000000000000000000000070000001b042800500000000000030000000000");
    const QByteArray png = rtftest::encoded(sampleImage(), "PNG");
    const QByteArray jpeg = rtftest::encoded(sampleImage(), "JPEG");
    const QByteArray groups[] = {
        "{\\pict\\wmetafile8\\picw2117\\pich1058\\picwgoal1200\\pichgoal600" +
            hexLines(drawingMetafile, 40) + "\r\n}",
        "{\\pict{\\*\\picprop\\shplid1025{\\sp{\\sn shapeType}{\\sv 75}}}\\picscalex89\\picscaley89"
        "\\piccropl0\\piccropr0\\picw20108\\pich28517\\picwgoal11400\\pichgoal16167\\emfblip"
        "\\bliptag-17377467{\\*\\blipuid fef6d745451b0ec7280b1becb0c3927f}" +
            hexLines(QByteArray("\x01\0\0\0l\0\0\0 EMF", 12), 128) + "}",
        "{\\pict\\macpict\\picw10\\pich10 0a0b0c}",
        "{\\pict\\jpegblip\\picw6\\pich4\\picwgoal90\\pichgoal60\\bin" +
            QByteArray::number(jpeg.size()) + " " + jpeg + "}",
        "{\\pict\\pngblip\\picw6\\pich4 " + png.toHex() + "}",
    };
    for (const QByteArray& group : groups) {
        SCOPED_TRACE(group.left(60).constData());
        auto document =
            readRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\pard Logo: " + group + " end}");
        ASSERT_EQ(pictures(*document).size(), 1);
        const QByteArray saved = rtf::write(*document);
        EXPECT_TRUE(saved.contains(group)) << saved.constData();
        auto reopened = readRtf(saved);
        EXPECT_EQ(pictures(*reopened).value(0).size(), pictures(*document)[0].size());
        EXPECT_EQ(rtf::write(*reopened), saved);
    }

    // Shown at another size, the picture is no longer what the file described.
    auto document = readRtf("{\\rtf1 {\\pict\\pngblip\\picw6\\pich4 " + png.toHex() + "}}");
    QTextCursor cursor(document.get());
    cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    QTextImageFormat larger = pictures(*document)[0].format;
    larger.setWidth(larger.width() * 2);
    cursor.setCharFormat(larger);
    const QByteArray saved = rtf::write(*document);
    EXPECT_FALSE(saved.contains(png.toHex())) << saved.constData();
    EXPECT_TRUE(saved.contains("\\picwgoal180")) << saved.constData();
}

// A picture given twice, as an enhanced metafile for current readers and as a Windows metafile
// for older ones, shows the form we can draw and is saved with both.
TEST(RtfPicture, DrawsTheMetafileGivenBesideAnEnhancedOne) {
    const QByteArray drawing = testfiles::read(QUILLET_TEST_DATA "/pictures/red-rectangle.wmf");
    const QByteArray pair = "{\\*\\shppict{\\pict\\emfblip\\picwgoal1500\\pichgoal1500 0102}}"
                            "{\\nonshppict{\\pict\\wmetafile8\\picwgoal1500\\pichgoal1500 " +
                            drawing.toHex() + "}}";
    auto document = readRtf("{\\rtf1 a" + pair + "b}");
    const QList<rtftest::Picture> found = pictures(*document);
    ASSERT_EQ(found.size(), 1);
    EXPECT_FALSE(rtf::isPlaceholder(found[0].image));
    EXPECT_EQ(found[0].image.pixel(50, 50) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(document->toPlainText(), QString("a") + QChar::ObjectReplacementCharacter + "b");
    const QByteArray saved = rtf::write(*document);
    EXPECT_TRUE(saved.contains(pair)) << saved.constData();
    EXPECT_EQ(rtf::write(*readRtf(saved)), saved);
    // Apart, or with text between them or before the second in its group, they are two
    // pictures, the second of them skipped, and the text is read once.
    for (const QByteArray& between : {QByteArray("x{\\nonshppict"), QByteArray("{x\\nonshppict")}) {
        const QByteArray rtf = "{\\rtf1 {\\*\\shppict{\\pict\\emfblip 0102}}" + between +
                               "{\\pict\\wmetafile8 " + drawing.toHex() + "}}}";
        auto apart = readRtf(rtf);
        ASSERT_EQ(pictures(*apart).size(), 1);
        EXPECT_TRUE(rtf::isPlaceholder(pictures(*apart)[0].image));
        EXPECT_EQ(readRtf(rtf::write(*apart))->toPlainText(), apart->toPlainText());
    }
}
