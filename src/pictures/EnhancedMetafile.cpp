#include "pictures/EnhancedMetafile.h"

#include "pictures/Dib.h"

#include <QRect>
#include <QtEndian>

#include <algorithm>

namespace EnhancedMetafile {

namespace {

quint32 u32(QByteArrayView data, qsizetype at) {
    return qFromLittleEndian<quint32>(data.data() + at);
}

constexpr quint32 emrHeader = 1;
constexpr quint32 emrEof = 14;
constexpr quint32 signature = 0x464D4520; // " EMF"

// Where a bitmap record keeps the offsets and sizes of its bitmap's header and pixels, counted
// from the record's start; 0 for other records.
qsizetype bitmapFields(quint32 type) {
    switch (type) {
    case 76:  // EMR_BITBLT
    case 77:  // EMR_STRETCHBLT
    case 114: // EMR_ALPHABLEND
    case 116: // EMR_TRANSPARENTBLT
        return 84;
    case 80: // EMR_SETDIBITSTODEVICE
    case 81: // EMR_STRETCHDIBITS
        return 48;
    default:
        return 0;
    }
}

// A RECTL, its coordinates kept within a range where sizes and areas cannot overflow.
QRect rectAt(QByteArrayView data, qsizetype at) {
    const auto coordinate = [&](qsizetype offset) {
        return std::clamp(qFromLittleEndian<qint32>(data.data() + at + offset), -(1 << 24),
                          1 << 24);
    };
    return QRect(QPoint(coordinate(0), coordinate(4)), QPoint(coordinate(8), coordinate(12)))
        .normalized();
}

bool covers(const QRect& part, const QRect& whole) {
    const QRect shared = part.intersected(whole);
    return qint64(shared.width()) * shared.height() * 2 >= qint64(whole.width()) * whole.height();
}

} // namespace

QImage firstBitmap(QByteArrayView emf) {
    if (emf.size() < 88 || u32(emf, 0) != emrHeader || u32(emf, 40) != signature)
        return {};
    const QRect bounds = rectAt(emf, 8);
    qsizetype pos = 0;
    while (pos + 8 <= emf.size()) {
        const quint32 type = u32(emf, pos);
        const quint32 size = u32(emf, pos + 4);
        if (size < 8 || size % 4 || size > quint64(emf.size() - pos) || type == emrEof)
            break;
        const QByteArrayView record = emf.sliced(pos, size);
        // A bitmap that covers a small part of the picture is a detail of a drawing.
        const qsizetype at = bitmapFields(type);
        if (at && at + 16 <= record.size() && covers(rectAt(record, 8), bounds)) {
            const quint32 headerAt = u32(record, at);
            const quint32 headerSize = u32(record, at + 4);
            const quint32 pixelsAt = u32(record, at + 8);
            const quint32 pixelsSize = u32(record, at + 12);
            const quint64 end = quint64(record.size());
            if (headerSize && pixelsSize && headerAt + quint64(headerSize) <= end &&
                pixelsAt + quint64(pixelsSize) <= end) {
                // The header and its colours, then the pixels: the two parts of a DIB.
                QByteArray dib = record.sliced(headerAt, headerSize).toByteArray();
                dib.append(record.sliced(pixelsAt, pixelsSize));
                const QImage image = Dib::toImage(dib);
                if (!image.isNull())
                    return image;
            }
        }
        pos += size;
    }
    return {};
}

} // namespace EnhancedMetafile
