#pragma once

#include <QByteArrayView>
#include <QColor>
#include <QtEndian>

#include <algorithm>

// The records of a Windows metafile as the player and the file reader see them.
namespace WmfRecords {

namespace Fn {
enum : quint16 {
    Eof = 0x0000,
    SaveDc = 0x001E,
    SetBkColor = 0x0201,
    SetBkMode = 0x0102,
    SetMapMode = 0x0103,
    SetPolyFillMode = 0x0106,
    SetTextColor = 0x0209,
    SetTextAlign = 0x012E,
    RestoreDc = 0x0127,
    SelectClipRegion = 0x012C,
    SelectObject = 0x012D,
    DeleteObject = 0x01F0,
    SetWindowOrg = 0x020B,
    SetWindowExt = 0x020C,
    SetViewportOrg = 0x020D,
    SetViewportExt = 0x020E,
    OffsetWindowOrg = 0x020F,
    OffsetViewportOrg = 0x0211,
    LineTo = 0x0213,
    MoveTo = 0x0214,
    ScaleWindowExt = 0x0410,
    ScaleViewportExt = 0x0412,
    ExcludeClipRect = 0x0415,
    IntersectClipRect = 0x0416,
    Ellipse = 0x0418,
    Rectangle = 0x041B,
    SetPixel = 0x041F,
    TextOut = 0x0521,
    PolyPolygon = 0x0538,
    RoundRect = 0x061C,
    PatBlt = 0x061D,
    Polygon = 0x0324,
    Polyline = 0x0325,
    Arc = 0x0817,
    Pie = 0x081A,
    Chord = 0x0830,
    ExtTextOut = 0x0A32,
    DibBitBlt = 0x0940,
    DibStretchBlt = 0x0B41,
    SetDibToDev = 0x0D33,
    StretchDib = 0x0F43,
    // objects
    CreatePalette = 0x00F7,
    CreatePatternBrush = 0x01F9,
    DibCreatePatternBrush = 0x0142,
    CreatePenIndirect = 0x02FA,
    CreateFontIndirect = 0x02FB,
    CreateBrushIndirect = 0x02FC,
    CreateBitmapIndirect = 0x02FD,
    CreateBitmap = 0x06FE,
    CreateRegion = 0x06FF,
};
} // namespace Fn

inline quint16 u16(QByteArrayView data, qsizetype at) {
    return qFromLittleEndian<quint16>(data.data() + at);
}
inline quint32 u32(QByteArrayView data, qsizetype at) {
    return qFromLittleEndian<quint32>(data.data() + at);
}

// One record's parameters, read in 16-bit words; reads past its end give 0.
struct Record {
    quint16 function = 0;
    QByteArrayView params;

    qsizetype words() const { return params.size() / 2; }
    quint16 word(qsizetype i) const { return i >= 0 && i < words() ? u16(params, i * 2) : 0; }
    qint16 value(qsizetype i) const { return qint16(word(i)); }
    quint32 dword(qsizetype i) const { return word(i) | quint32(word(i + 1)) << 16; }
    QByteArrayView bytesFrom(qsizetype word) const {
        return word * 2 < params.size() ? params.sliced(word * 2) : QByteArrayView();
    }
};

// The records from `first` on, each within the data, until the end record.
template <typename Visit> void forEachRecord(QByteArrayView data, qsizetype first, Visit visit) {
    qsizetype pos = first;
    while (pos + 6 <= data.size()) {
        const quint32 words = u32(data, pos);
        const quint16 function = u16(data, pos + 4);
        if (words < 3 || function == Fn::Eof)
            return;
        const qsizetype end = qsizetype(std::min<quint64>(data.size(), pos + quint64(words) * 2));
        if (!visit(Record{function, data.sliced(pos + 6, end - pos - 6)}))
            return;
        pos = end;
    }
}

inline QColor colorRef(quint32 value) {
    return QColor(int(value & 0xFF), int(value >> 8 & 0xFF), int(value >> 16 & 0xFF));
}

inline bool isBitmapRecord(quint16 function) {
    return function == Fn::DibStretchBlt || function == Fn::StretchDib ||
           function == Fn::DibBitBlt || function == Fn::SetDibToDev;
}

// Where the bitmap of a bitmap record starts, in words; 0 when the record holds none.
inline qsizetype bitmapWord(const Record& r) {
    switch (r.function) {
    case Fn::DibStretchBlt: // raster operation, 8 coordinates
        return r.words() > 12 ? 10 : 0;
    case Fn::StretchDib: // raster operation, colour usage, 8 coordinates
        return 11;
    case Fn::DibBitBlt: // raster operation, 6 coordinates
        return r.words() > 10 ? 8 : 0;
    case Fn::SetDibToDev: // colour usage, scan lines, 7 coordinates
        return 9;
    default:
        return 0;
    }
}

} // namespace WmfRecords
