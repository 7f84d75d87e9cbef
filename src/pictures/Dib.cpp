#include "pictures/Dib.h"

#include <QtEndian>

#include <algorithm>
#include <cstdlib>

namespace Dib {

namespace {

// A page scanned at 400 dpi: beyond that, sizes are damage, and compressed pixels could make a
// few bytes claim gigabytes.
constexpr qint64 maxPixels = qint64(16) * 1024 * 1024;

quint16 u16(QByteArrayView data, qsizetype at) {
    return qFromLittleEndian<quint16>(data.data() + at);
}
quint32 u32(QByteArrayView data, qsizetype at) {
    return qFromLittleEndian<quint32>(data.data() + at);
}
qint32 i32(QByteArrayView data, qsizetype at) {
    return qFromLittleEndian<qint32>(data.data() + at);
}

} // namespace

QImage toImage(QByteArrayView dib) {
    if (dib.size() < 12)
        return {};
    const quint32 headerSize = u32(dib, 0);
    if (headerSize < 12 || headerSize > quint32(dib.size()))
        return {};
    qsizetype colours = 0;
    qsizetype colourSize = 4;
    qsizetype masks = 0;
    qint64 width = 0;
    qint64 height = 0;
    int bits = 0;
    quint32 compression = 0;
    if (headerSize == 12) { // BITMAPCOREHEADER
        width = u16(dib, 4);
        height = u16(dib, 6);
        bits = u16(dib, 10);
        colours = bits <= 8 ? (qsizetype(1) << bits) : 0;
        colourSize = 3;
    } else {
        if (headerSize < 40)
            return {};
        width = i32(dib, 4);
        height = std::abs(qint64(i32(dib, 8)));
        bits = u16(dib, 14);
        compression = u32(dib, 16);
        const quint32 used = u32(dib, 32);
        colours = used ? qsizetype(std::min<quint32>(used, 256))
                       : (bits <= 8 ? (qsizetype(1) << bits) : 0);
        if (headerSize == 40 && (compression == 3 || compression == 6))
            masks = compression == 3 ? 12 : 16;
    }
    if (width <= 0 || height <= 0 || bits <= 0 || bits > 32 || width * height > maxPixels)
        return {};
    const qsizetype pixelStart = headerSize + masks + colours * colourSize;
    // Uncompressed rows are whole 32-bit words; damaged files promise more rows than they hold.
    if (compression == 0 || compression == 3 || compression == 6) {
        const qint64 rowBytes = (width * bits + 31) / 32 * 4;
        if (pixelStart + rowBytes * height > dib.size())
            return {};
    }
    // A bitmap file is the DIB behind a 14-byte file header that says where the pixels start.
    QByteArray file;
    file.reserve(14 + dib.size());
    file.append("BM");
    char header[12];
    qToLittleEndian<quint32>(quint32(14 + dib.size()), header);
    qToLittleEndian<quint32>(0, header + 4);
    qToLittleEndian<quint32>(quint32(14 + pixelStart), header + 8);
    file.append(header, 12);
    file.append(dib.data(), dib.size());
    QImage image;
    image.loadFromData(file, "BMP");
    return image;
}

} // namespace Dib
