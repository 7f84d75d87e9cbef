#include "pictures/WindowsMetafile.h"

#include "pictures/Dib.h"
#include "pictures/WindowsMetafilePlayer.h"

#include <optional>

using namespace WmfRecords;

namespace {

constexpr quint32 placeableKey = 0x9AC6CDD7u;
constexpr qint64 maxImagePixels = qint64(16) * 1024 * 1024;

} // namespace

WindowsMetafile::WindowsMetafile(QByteArrayView data) : m_data(data) {
    qsizetype pos = 0;
    if (data.size() >= 22 && u32(data, 0) == placeableKey) {
        const auto i16 = [&](qsizetype at) { return qint16(u16(data, at)); };
        m_placeableFrame =
            QRect(QPoint(i16(6), i16(8)), QPoint(i16(10) - 1, i16(12) - 1)).normalized();
        pos = 22;
    }
    if (data.size() < pos + 18)
        return;
    const quint16 type = u16(data, pos);
    const quint16 headerWords = u16(data, pos + 2);
    if ((type != 1 && type != 2) || headerWords < 9)
        return;
    m_objectCount = u16(data, pos + 10);
    m_firstRecord = pos + qsizetype(headerWords) * 2;
}

QImage WindowsMetafile::soleBitmap() const {
    if (!isValid())
        return {};
    QImage found;
    int drawings = 0;
    forEachRecord(m_data, m_firstRecord, [&](const Record& r) {
        switch (r.function) {
        case Fn::MoveTo:
        case Fn::LineTo:
        case Fn::Polyline:
        case Fn::Polygon:
        case Fn::PolyPolygon:
        case Fn::Rectangle:
        case Fn::RoundRect:
        case Fn::Ellipse:
        case Fn::Arc:
        case Fn::Pie:
        case Fn::Chord:
        case Fn::TextOut:
        case Fn::ExtTextOut:
        case Fn::SetPixel:
            ++drawings;
            return false;
        default:
            break;
        }
        if (isBitmapRecord(r.function) && bitmapWord(r)) {
            if (!found.isNull()) {
                ++drawings;
                return false;
            }
            found = Dib::toImage(r.bytesFrom(bitmapWord(r)));
        }
        return true;
    });
    return drawings ? QImage() : found;
}

QImage WindowsMetafile::render(QSize pixels) const {
    if (!isValid() || pixels.isEmpty() || qint64(pixels.width()) * pixels.height() > maxImagePixels)
        return {};
    // The frame: the placeable header's, else the window the metafile sets up for itself.
    QRectF frame = m_placeableFrame;
    if (frame.isEmpty()) {
        std::optional<QPointF> origin;
        std::optional<QPointF> extent;
        forEachRecord(m_data, m_firstRecord, [&](const Record& r) {
            if (r.function == Fn::SetWindowOrg && !origin)
                origin = QPointF(r.value(1), r.value(0));
            else if (r.function == Fn::SetWindowExt && !extent && r.value(0) && r.value(1))
                extent = QPointF(r.value(1), r.value(0));
            return !(origin && extent);
        });
        if (!extent)
            return {};
        frame = QRectF(origin.value_or(QPointF()), QSizeF(extent->x(), extent->y()));
    }
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(Qt::white);
    bool drew = false;
    {
        WmfPlayback::Player player(image, frame, m_objectCount);
        forEachRecord(m_data, m_firstRecord, [&](const Record& r) { return player.play(r); });
        drew = player.drewSomething();
    }
    return drew ? image : QImage();
}
