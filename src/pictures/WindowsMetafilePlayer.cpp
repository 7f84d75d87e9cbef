#include "pictures/WindowsMetafilePlayer.h"

#include "pictures/Dib.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace WmfPlayback {

using namespace WmfRecords;

namespace {

constexpr int maxObjects = 4096;   // real pictures use a few dozen at a time
constexpr int maxSavedStates = 64; // SAVEDC nesting kept; deeper saves are counted only
constexpr int maxClipRects = 256;  // beyond this a clip is left as it is
// The area drawing may cover, in multiples of the image: a chart repaints its background a few
// times, a hostile file would fill the image millions of times.
constexpr double paintBudget = 256;

} // namespace

Player::Player(QImage& image, const QRectF& frame, int objectCount)
    : m_image(image), m_painter(&image), m_frame(frame),
      m_objects(size_t(std::clamp(objectCount, 1, maxObjects))),
      m_budget(paintBudget * image.width() * image.height()) {
    m_painter.setRenderHint(QPainter::Antialiasing);
    m_painter.setRenderHint(QPainter::TextAntialiasing);
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
    m_dc.windowOrg = m_dc.viewportOrg = frame.topLeft();
    m_dc.windowExt = m_dc.viewportExt = {frame.width(), frame.height()};
    applyTransform();
}

void Player::applyTransform() {
    // Logical units go to the metafile's device by the window and viewport, and the device area
    // of the picture's frame fills the image.
    double kx = 1;
    double ky = 1;
    if (m_dc.mapMode == 7 || m_dc.mapMode == 8) { // MM_ISOTROPIC, MM_ANISOTROPIC
        kx = m_dc.viewportExt.x() / m_dc.windowExt.x();
        ky = m_dc.viewportExt.y() / m_dc.windowExt.y();
        if (m_dc.mapMode == 7) {
            const double k = std::min(std::abs(kx), std::abs(ky));
            kx = std::copysign(k, kx);
            ky = std::copysign(k, ky);
        }
    }
    const double sx = m_image.width() / m_frame.width();
    const double sy = m_image.height() / m_frame.height();
    const double dx = (m_dc.viewportOrg.x() - m_dc.windowOrg.x() * kx - m_frame.left()) * sx;
    const double dy = (m_dc.viewportOrg.y() - m_dc.windowOrg.y() * ky - m_frame.top()) * sy;
    m_transform = QTransform(kx * sx, 0, 0, ky * sy, dx, dy);
    if (!m_transform.isInvertible() || !std::isfinite(dx) || !std::isfinite(dy))
        m_transform = QTransform();
    m_painter.setTransform(m_transform);
}

void Player::applyClip() {
    m_painter.resetTransform();
    if (m_dc.clip)
        m_painter.setClipRegion(*m_dc.clip);
    else
        m_painter.setClipping(false);
    m_painter.setTransform(m_transform);
}

bool Player::afford(QRectF logical, bool stroked) {
    QRectF area = m_transform.mapRect(logical);
    if (stroked) {
        const double penPixels = m_dc.pen.width * std::abs(m_transform.m11());
        area.adjust(-penPixels, -penPixels, penPixels, penPixels);
    }
    area = area.intersected(QRectF(m_image.rect()));
    m_budget -= area.width() * area.height() + area.width() + area.height() + 16;
    m_drew = true;
    return m_budget > 0;
}

QPolygonF Player::points(const Record& r, qsizetype first, qsizetype count) const {
    count = std::clamp<qsizetype>(count, 0, (r.words() - first) / 2);
    QPolygonF polygon;
    polygon.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        polygon.append(QPointF(r.value(first + 2 * i), r.value(first + 2 * i + 1)));
    return polygon;
}

void Player::arc(const Record& r, int kind) {
    const QRectF box = rect(r, 4);
    const QPointF end = point(r, 0);
    const QPointF start = point(r, 2);
    if (box.isEmpty() || !afford(box, true))
        return;
    const QPointF c = box.center();
    auto angle = [&](QPointF p) {
        return std::atan2(-(p.y() - c.y()) * box.width(), (p.x() - c.x()) * box.height()) * 180 /
               std::numbers::pi;
    };
    const double from = angle(start);
    double span = angle(end) - from;
    if (span <= 0)
        span += 360;
    QPainterPath path;
    if (kind == Fn::Pie)
        path.moveTo(c);
    else
        path.arcMoveTo(box, from);
    path.arcTo(box, from, span);
    if (kind != Fn::Arc)
        path.closeSubpath();
    setTools(kind != Fn::Arc);
    m_painter.drawPath(path);
}

void Player::text(QPointF at, QByteArrayView bytes, const std::vector<int>& advances,
                  std::optional<QRectF> opaque) {
    // Text needs the fonts of a GUI application; without one the rest is still drawn.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    const Font& f = m_dc.font;
    QString string;
    const int codePage = rtf::codePageOf(f.charset, -1, rtf::CodePage::windows1252, f.face);
    m_decoder.decode(codePage, bytes, string);
    if (string.isEmpty() && !opaque)
        return;
    if (m_dc.textAlign & 1) // TA_UPDATECP
        at = m_dc.position;
    const double scaleX = std::abs(m_transform.m11());
    const double scaleY = std::abs(m_transform.m22());
    // A negative height is the characters' own, a positive one the cell's, which has leading.
    const double height = f.height < 0 ? -f.height : f.height > 0 ? f.height * 0.85 : 12 / scaleY;
    QFont font;
    // Symbol fonts are often symbol-encoded, without the Unicode characters their bytes were
    // decoded to, and Qt looks for none elsewhere: those are drawn in the default family.
    if (!f.face.isEmpty() && codePage != rtf::CodePage::symbol &&
        codePage != rtf::CodePage::privateUse)
        font.setFamilies({f.face});
    static constexpr QFont::StyleHint hints[] = {QFont::AnyStyle,  QFont::Serif,
                                                 QFont::SansSerif, QFont::Monospace,
                                                 QFont::Cursive,   QFont::Decorative};
    font.setStyleHint(hints[std::clamp(f.family, 0, 5)]);
    font.setPixelSize(std::clamp(int(std::lround(height * scaleY)), 1, m_image.height() * 2 + 1));
    font.setWeight(QFont::Weight(f.weight > 0 ? std::clamp(f.weight, 100, 900) : 400));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strike);
    const QFontMetricsF metrics(font);
    double width = 0;
    std::vector<double> xs;
    if (!advances.empty()) {
        for (qsizetype i = 0; i < string.size(); ++i) {
            xs.push_back(width);
            width += (size_t(i) < advances.size() ? advances[size_t(i)] : 0) * scaleX;
        }
    } else {
        width = metrics.horizontalAdvance(string);
    }
    const QPointF origin = m_transform.map(at);
    const QRectF bounds(origin.x() - width, origin.y() - metrics.height(), width * 2 + 1,
                        metrics.height() * 2);
    if (opaque)
        afford(*opaque, false);
    if (!afford(m_transform.inverted().mapRect(bounds), false))
        return;
    if (opaque) {
        m_painter.fillRect(*opaque, m_dc.bkColor);
    }
    const int horizontal = m_dc.textAlign & 6;
    const double x = horizontal == 2 ? -width : horizontal == 6 ? -width / 2 : 0;
    const int vertical = m_dc.textAlign & 24;
    const double y = vertical == 24 ? 0 : vertical == 8 ? -metrics.descent() : metrics.ascent();
    m_painter.save();
    m_painter.resetTransform();
    m_painter.translate(origin);
    m_painter.rotate(-f.escapement / 10.0);
    m_painter.setFont(font);
    if (m_dc.opaqueBackground && !opaque) {
        m_painter.fillRect(QRectF(x, y - metrics.ascent(), width, metrics.height()), m_dc.bkColor);
    }
    m_painter.setPen(m_dc.textColor);
    if (xs.empty()) {
        m_painter.drawText(QPointF(x, y), string);
    } else {
        for (qsizetype i = 0; i < string.size(); ++i)
            m_painter.drawText(QPointF(x + xs[size_t(i)], y), QString(string[i]));
    }
    m_painter.restore();
    if (m_dc.textAlign & 1)
        m_dc.position = at + QPointF(horizontal == 2 ? -width / scaleX : width / scaleX, 0);
}

void Player::patternFill(const QRectF& area, quint32 rop) {
    QBrush brush;
    switch (rop) {
    case 0x00F00021: // PATCOPY
        brush = qBrush();
        break;
    case 0x00FF0062: // WHITENESS
        brush = QBrush(Qt::white);
        break;
    case 0x00000042: // BLACKNESS
        brush = QBrush(Qt::black);
        break;
    default: // what the destination already shows, or a combination not worth its cost
        return;
    }
    if (brush.style() == Qt::NoBrush || !afford(area, false))
        return;
    m_painter.fillRect(area, brush);
}

void Player::bitmap(const Record& r) {
    // Destination and source rectangles, by the record's own order of parameters.
    qsizetype at = 2; // after the raster operation
    QRectF source;
    QRectF target;
    if (r.function == Fn::SetDibToDev) {
        target = QRectF(r.value(8), r.value(7), r.value(6), r.value(5));
        source = QRectF(r.value(4), r.value(3), r.value(6), r.value(5));
    } else {
        if (r.function == Fn::StretchDib)
            ++at; // colour usage
        if (r.function == Fn::DibStretchBlt && !bitmapWord(r))
            ++at; // no bitmap: a reserved word
        if (r.function == Fn::DibBitBlt) {
            if (r.words() <= 10) // no bitmap: a reserved word, then the coordinates
                ++at;
            target = QRectF(r.value(at + 5), r.value(at + 4), r.value(at + 3), r.value(at + 2));
            source = QRectF(r.value(at + 1), r.value(at), target.width(), target.height());
        } else {
            target = QRectF(r.value(at + 7), r.value(at + 6), r.value(at + 5), r.value(at + 4));
            source = QRectF(r.value(at + 3), r.value(at + 2), r.value(at + 1), r.value(at));
        }
    }
    const quint32 rop = r.function == Fn::SetDibToDev ? 0x00CC0020 : r.dword(0);
    const qsizetype dibWord = bitmapWord(r);
    if (!dibWord) {
        patternFill(target.normalized(), rop);
        return;
    }
    QImage image = Dib::toImage(r.bytesFrom(dibWord));
    if (image.isNull() || !afford(target.normalized(), false))
        return;
    if (source.isEmpty() || !QRectF(image.rect()).contains(source.normalized()))
        source = image.rect();
    // Rows of a bottom-up bitmap count from its bottom.
    source.moveTop(image.height() - source.bottom());
    image =
        image.copy(source.normalized().toRect()).mirrored(target.width() < 0, target.height() < 0);
    switch (rop) {
    case 0x008800C6: // SRCAND
        m_painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        break;
    case 0x00EE0086: // SRCPAINT
        m_painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        break;
    case 0x00660046: // SRCINVERT
        m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        break;
    default:
        break;
    }
    m_painter.drawImage(target.normalized(), image);
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void Player::clipRect(const Record& r, bool exclude) {
    const QRect area = m_transform.mapRect(rect(r, 0)).toAlignedRect();
    QRegion clip = m_dc.clip.value_or(QRegion(m_image.rect()));
    if (clip.rectCount() > maxClipRects)
        return;
    clip = exclude ? clip.subtracted(area) : clip.intersected(area);
    m_dc.clip = clip;
    applyClip();
}

void Player::restoreDc(int which) {
    // -1 is the state saved last; a positive number counts saves from the first.
    int pops = which < 0 ? -which : m_unsavedDepth + int(m_saved.size()) - which + 1;
    if (pops <= 0)
        return;
    const int unsaved = std::min(pops, m_unsavedDepth);
    m_unsavedDepth -= unsaved;
    pops -= unsaved;
    if (pops <= 0 || size_t(pops) > m_saved.size())
        return;
    m_dc = m_saved[m_saved.size() - size_t(pops)];
    m_saved.resize(m_saved.size() - size_t(pops));
    applyTransform();
    applyClip();
}

// The device context's settings: colours, modes, the mapping, saved states. False for a record of
// another family.
bool Player::playDeviceState(const Record& r) {
    DcState& dc = m_dc;
    switch (r.function) {
    case Fn::SetBkColor:
        dc.bkColor = colorRef(r.dword(0));
        break;
    case Fn::SetBkMode:
        dc.opaqueBackground = r.word(0) == 2;
        break;
    case Fn::SetMapMode:
        dc.mapMode = r.word(0);
        applyTransform();
        break;
    case Fn::SetPolyFillMode:
        dc.fillRule = r.word(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
        break;
    case Fn::SetTextColor:
        dc.textColor = colorRef(r.dword(0));
        break;
    case Fn::SetTextAlign:
        dc.textAlign = r.word(0);
        break;
    case Fn::SetWindowOrg:
        dc.windowOrg = point(r, 0);
        applyTransform();
        break;
    case Fn::SetWindowExt:
        if (r.value(0) && r.value(1)) {
            dc.windowExt = point(r, 0);
            applyTransform();
        }
        break;
    case Fn::SetViewportOrg:
        dc.viewportOrg = point(r, 0);
        applyTransform();
        break;
    case Fn::SetViewportExt:
        if (r.value(0) && r.value(1)) {
            dc.viewportExt = point(r, 0);
            applyTransform();
        }
        break;
    case Fn::OffsetWindowOrg:
        dc.windowOrg += point(r, 0);
        applyTransform();
        break;
    case Fn::OffsetViewportOrg:
        dc.viewportOrg += point(r, 0);
        applyTransform();
        break;
    case Fn::ScaleWindowExt:
    case Fn::ScaleViewportExt: {
        // yDenom, yNum, xDenom, xNum
        if (!r.value(0) || !r.value(2) || !r.value(1) || !r.value(3))
            break;
        QPointF& ext = r.function == Fn::ScaleWindowExt ? dc.windowExt : dc.viewportExt;
        ext = QPointF(ext.x() * r.value(3) / r.value(2), ext.y() * r.value(1) / r.value(0));
        applyTransform();
        break;
    }
    case Fn::SaveDc:
        if (m_saved.size() < maxSavedStates)
            m_saved.push_back(dc);
        else
            ++m_unsavedDepth;
        break;
    case Fn::RestoreDc:
        restoreDc(r.value(0));
        break;
    default:
        return false;
    }
    return true;
}

// Lines, shapes and fills. False for a record of another family.
bool Player::playDrawing(const Record& r) {
    DcState& dc = m_dc;
    switch (r.function) {
    case Fn::MoveTo:
        dc.position = point(r, 0);
        break;
    case Fn::LineTo: {
        const QPointF to = point(r, 0);
        if (afford(QRectF(dc.position, to).normalized(), true)) {
            setTools(false);
            m_painter.drawLine(dc.position, to);
        }
        dc.position = to;
        break;
    }
    case Fn::Polyline:
    case Fn::Polygon: {
        const QPolygonF polygon = points(r, 1, r.value(0));
        if (polygon.isEmpty() || !afford(polygon.boundingRect(), true))
            break;
        setTools(r.function == Fn::Polygon);
        if (r.function == Fn::Polygon)
            m_painter.drawPolygon(polygon, dc.fillRule);
        else
            m_painter.drawPolyline(polygon);
        break;
    }
    case Fn::PolyPolygon: {
        const qsizetype polygons = std::min<qsizetype>(r.word(0), r.words());
        qsizetype at = 1 + polygons;
        QPainterPath path;
        path.setFillRule(dc.fillRule);
        for (qsizetype i = 0; i < polygons && at < r.words(); ++i) {
            const QPolygonF polygon = points(r, at, r.word(1 + i));
            at += polygon.size() * 2;
            path.addPolygon(polygon);
            path.closeSubpath();
        }
        if (path.isEmpty() || !afford(path.boundingRect(), true))
            break;
        setTools(true);
        m_painter.drawPath(path);
        break;
    }
    case Fn::Rectangle:
    case Fn::Ellipse: {
        const QRectF box = rect(r, 0);
        if (!afford(box, true))
            break;
        setTools(true);
        if (r.function == Fn::Rectangle)
            m_painter.drawRect(box);
        else
            m_painter.drawEllipse(box);
        break;
    }
    case Fn::RoundRect: {
        const QRectF box = rect(r, 2);
        if (!afford(box, true))
            break;
        setTools(true);
        m_painter.drawRoundedRect(box, r.value(1) / 2.0, r.value(0) / 2.0);
        break;
    }
    case Fn::Arc:
    case Fn::Pie:
    case Fn::Chord:
        arc(r, r.function);
        break;
    case Fn::SetPixel:
        if (afford(QRectF(point(r, 2), QSizeF(1, 1)), false))
            m_painter.fillRect(QRectF(point(r, 2), QSizeF(1, 1)), colorRef(r.dword(0)));
        break;
    case Fn::PatBlt: // raster operation, height, width, y, x
        patternFill(QRectF(r.value(5), r.value(4), r.value(3), r.value(2)).normalized(),
                    r.dword(0));
        break;
    default:
        return false;
    }
    return true;
}

// Text and bitmaps. False for a record of another family.
bool Player::playTextOrBitmap(const Record& r) {
    switch (r.function) {
    case Fn::TextOut: {
        const qsizetype length = std::max<qint16>(r.value(0), 0);
        const qsizetype words = (length + 1) / 2;
        const QByteArrayView bytes = r.bytesFrom(1);
        text(point(r, 1 + words), bytes.first(std::min(length, bytes.size())), {}, std::nullopt);
        break;
    }
    case Fn::ExtTextOut: {
        const qsizetype length = std::max<qint16>(r.value(2), 0);
        const quint16 options = r.word(3);
        qsizetype at = 4;
        std::optional<QRectF> opaque;
        if (options & 0x0006) { // ETO_OPAQUE, ETO_CLIPPED
            const QRectF box =
                QRectF(QPointF(r.value(4), r.value(5)), QPointF(r.value(6), r.value(7)))
                    .normalized();
            if (options & 0x0002)
                opaque = box;
            at += 4;
        }
        const QByteArrayView bytes = r.bytesFrom(at);
        std::vector<int> advances;
        const qsizetype dxAt = at + (length + 1) / 2;
        for (qsizetype i = 0; i < length && dxAt + i < r.words(); ++i)
            advances.push_back(r.value(dxAt + i));
        text(point(r, 0), bytes.first(std::min(length, bytes.size())), advances, opaque);
        break;
    }
    case Fn::DibStretchBlt:
    case Fn::StretchDib:
    case Fn::DibBitBlt:
    case Fn::SetDibToDev:
        bitmap(r);
        break;
    default:
        return false;
    }
    return true;
}

bool Player::play(const Record& r) {
    // Each family tries the record in turn; escapes, palettes and the rest change nothing a
    // picture shows here.
    if (!playDeviceState(r) && !playObject(r) && !playDrawing(r))
        playTextOrBitmap(r);
    return m_budget > 0;
}

} // namespace WmfPlayback
