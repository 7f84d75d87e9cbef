#include "support/Files.h"

#include "pictures/EnhancedMetafile.h"
#include "pictures/WindowsMetafile.h"

#include <QtEndian>
#include <gtest/gtest.h>

#include <initializer_list>

namespace {

// A metafile built record by record, parameters as 16-bit words in the order the file has them.
class Metafile {
public:
    // Parameters: `words`, then `data` (padded to a whole word), then `after`.
    Metafile& record(quint16 function, std::initializer_list<int> words,
                     const QByteArray& data = {}, std::initializer_list<int> after = {}) {
        QByteArray params;
        for (int w : words)
            append16(params, quint16(w));
        params += data;
        if (params.size() % 2)
            params.append('\0');
        for (int w : after)
            append16(params, quint16(w));
        append32(m_records, quint32(3 + params.size() / 2));
        append16(m_records, function);
        m_records += params;
        return *this;
    }
    // Window origin and extent, as metafiles set up their own coordinates.
    Metafile& window(int x, int y, int width, int height) {
        return record(0x020B, {y, x}).record(0x020C, {height, width});
    }
    Metafile& brush(QRgb rgb, int style = 0) {
        return record(0x02FC, {style, int(qRed(rgb) | qGreen(rgb) << 8), qBlue(rgb), 0});
    }
    Metafile& pen(QRgb rgb, int style = 0, int width = 0) {
        return record(0x02FA, {style, width, 0, int(qRed(rgb) | qGreen(rgb) << 8), qBlue(rgb)});
    }
    Metafile& select(int object) { return record(0x012D, {object}); }
    Metafile& rectangle(int left, int top, int right, int bottom) {
        return record(0x041B, {bottom, right, top, left});
    }

    QByteArray bytes(int objects = 16) const {
        QByteArray out;
        append16(out, 1);
        append16(out, 9);
        append16(out, 0x0300);
        append32(out, quint32(9 + m_records.size() / 2 + 3));
        append16(out, quint16(objects));
        append32(out, 0);
        append16(out, 0);
        return out + m_records + QByteArray::fromHex("030000000000");
    }

    static void append16(QByteArray& out, quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        out.append(b, 2);
    }
    static void append32(QByteArray& out, quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    }

private:
    QByteArray m_records;
};

QRgb at(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

constexpr QRgb red = 0xFF0000;
constexpr QRgb blue = 0x0000FF;
constexpr QRgb white = 0xFFFFFF;

} // namespace

// Shapes land where the window maps them, in the pen and brush selected, in the order drawn.
TEST(WindowsMetafile, DrawsShapesWithTheSelectedPenAndBrush) {
    const QByteArray wmf = Metafile()
                               .window(0, 0, 200, 100)
                               .pen(0, 5) // PS_NULL: fills only
                               .select(0)
                               .brush(red)
                               .select(1)
                               .rectangle(0, 0, 100, 100)
                               .brush(blue)
                               .select(2)
                               .record(0x0418, {100, 200, 0, 100})          // ellipse, right half
                               .record(0x0324, {3, 10, 10, 50, 10, 10, 50}) // triangle
                               .bytes();
    const QImage image = WindowsMetafile(wmf).render(QSize(100, 50));
    ASSERT_EQ(image.size(), QSize(100, 50));
    EXPECT_EQ(at(image, 40, 40), red);  // the rectangle, scaled by half
    EXPECT_EQ(at(image, 75, 25), blue); // the ellipse's centre
    EXPECT_EQ(at(image, 51, 2), white); // outside the ellipse, in the corner
    EXPECT_EQ(at(image, 8, 8), blue);   // the triangle over the rectangle
    EXPECT_EQ(at(image, 22, 22), red);  // beyond the triangle's slope

    // A window whose y runs upwards draws the same picture upside down.
    const QImage flipped = WindowsMetafile(Metafile()
                                               .window(0, 100, 100, -100)
                                               .brush(red)
                                               .select(0)
                                               .rectangle(0, 0, 100, 20)
                                               .bytes())
                               .render(QSize(100, 100));
    EXPECT_EQ(at(flipped, 50, 95), red);
    EXPECT_EQ(at(flipped, 50, 5), white);
}

// Counts and sizes come from the file: none of them may cost more than the file's own size.
TEST(WindowsMetafile, HostileMetafilesCostNoMoreThanTheirSize) {
    Metafile hostile;
    hostile.window(0, 0, 10, 10);
    hostile.record(0x0324, {32767, 1, 1});                   // a polygon promising 32767 points
    hostile.record(0x0538, {65535, 65535, 3});               // polygons beyond the record
    hostile.record(0x0A32, {0, 0, 32767, 6, 0, 0, 5, 5});    // text longer than its record
    hostile.record(0x012D, {65535}).record(0x01F0, {65535}); // objects that do not exist
    hostile.record(0x0127, {0x8000});                        // RESTOREDC -32768
    for (int i = 0; i < 5000; ++i)
        hostile.record(0x001E, {}); // SAVEDC beyond any real nesting
    for (int i = 0; i < 2000; ++i)
        hostile.record(0x0415, {i % 10, i % 10 + 1, i % 7, i % 7 + 1}); // EXCLUDECLIPRECT
    hostile.record(0x020C, {0, 0}).record(0x0103, {7});                 // no extent, isotropic
    hostile.pen(0, 0, 30000).select(0); // a pen wider than the picture
    for (int i = 0; i < 20000; ++i)
        hostile.rectangle(-32768, -32768, 32767, 32767); // the whole picture, over and over
    hostile.record(0x0F43, {0x0020, 0x00CC, 0, 1, 1, 0, 0, 1, 1, 0, 0},
                   QByteArray::fromHex("28000000ffffff7fffffff7f01001800")); // 2^62 pixels
    const QByteArray wmf = hostile.bytes(65535);
    const QImage image = WindowsMetafile(wmf).render(QSize(800, 800));
    EXPECT_EQ(image.size(), QSize(800, 800));
    EXPECT_TRUE(WindowsMetafile(wmf).soleBitmap().isNull());
    // Cut anywhere, it still plays to where it stops.
    for (qsizetype length = 0; length < 400; length += 7)
        WindowsMetafile(wmf.left(length)).render(QSize(16, 16));
    EXPECT_TRUE(WindowsMetafile(wmf).render(QSize(100000, 100000)).isNull());
}

// An enhanced metafile shows a bitmap that fills it; a bitmap that is a detail of a drawing is
// no picture of the whole.
TEST(EnhancedMetafile, ShowsOnlyABitmapThatFillsIt) {
    // Its one record stretches a 4 by 4 bitmap over the bounds 0, 0 - 99, 99.
    const QByteArray filling =
        testfiles::read(QUILLET_TEST_DATA "/pictures/blue-bitmap-filling.emf");
    ASSERT_FALSE(filling.isEmpty());
    EXPECT_EQ(EnhancedMetafile::firstBitmap(filling).size(), QSize(4, 4));
    QByteArray detail = filling;
    qToLittleEndian<qint32>(9, detail.data() + 88 + 16); // the record's bounds end at 9, 9
    qToLittleEndian<qint32>(9, detail.data() + 88 + 20);
    EXPECT_TRUE(EnhancedMetafile::firstBitmap(detail).isNull());
    QByteArray lying = filling;
    qToLittleEndian<quint32>(0xFFFFFFF0, lying.data() + 88 + 48); // header beyond the record
    EXPECT_TRUE(EnhancedMetafile::firstBitmap(lying).isNull());
    qToLittleEndian<qint32>(INT_MIN, lying.data() + 88 + 8); // bounds that would overflow
    EXPECT_TRUE(EnhancedMetafile::firstBitmap(lying).isNull());
}
