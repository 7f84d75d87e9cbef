#include "pictures/WindowsMetafilePlayer.h"

#include "pictures/Dib.h"

#include <algorithm>

// The objects a metafile creates and selects (pens, brushes, fonts) and the tools they give the
// painter.
namespace WmfPlayback {

using namespace WmfRecords;

QPen Player::qPen() const {
    const Pen& p = m_dc.pen;
    const int style = p.style & 0x0F;
    if (style == 5) // PS_NULL
        return Qt::NoPen;
    QPen pen(p.color, p.width);
    pen.setCosmetic(p.width <= 0);
    switch (style) {
    case 1:
        pen.setStyle(Qt::DashLine);
        break;
    case 2:
        pen.setStyle(Qt::DotLine);
        break;
    case 3:
        pen.setStyle(Qt::DashDotLine);
        break;
    case 4:
        pen.setStyle(Qt::DashDotDotLine);
        break;
    default:
        break;
    }
    const int cap = p.style & 0x0F00;
    pen.setCapStyle(cap == 0x100 ? Qt::SquareCap : cap == 0x200 ? Qt::FlatCap : Qt::RoundCap);
    const int join = p.style & 0xF000;
    pen.setJoinStyle(join == 0x1000   ? Qt::BevelJoin
                     : join == 0x2000 ? Qt::MiterJoin
                                      : Qt::RoundJoin);
    return pen;
}

QBrush Player::qBrush() const {
    const Brush& b = m_dc.brush;
    switch (b.style) {
    case 0: // BS_SOLID
        return QBrush(b.color);
    case 2: { // BS_HATCHED
        static constexpr Qt::BrushStyle hatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                                     Qt::FDiagPattern, Qt::BDiagPattern,
                                                     Qt::CrossPattern, Qt::DiagCrossPattern};
        return QBrush(b.color, hatches[std::clamp(b.hatch, 0, 5)]);
    }
    case 3: // BS_PATTERN
    case 5: // BS_DIBPATTERN
    case 6:
        return b.pattern.isNull() ? QBrush(Qt::gray) : QBrush(b.pattern);
    default: // BS_NULL and kinds of no use in a picture
        return Qt::NoBrush;
    }
}

void Player::setTools(bool fill) {
    m_painter.setPen(qPen());
    const QBrush brush = fill ? qBrush() : QBrush(Qt::NoBrush);
    m_painter.setBrush(brush);
    m_painter.setBackgroundMode(m_dc.opaqueBackground ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter.setBackground(m_dc.bkColor);
}

void Player::createObject(Object object) {
    // Each new object takes the lowest free slot, which later records name it by.
    for (Object& slot : m_objects) {
        if (slot.kind == Object::Kind::Free) {
            slot = std::move(object);
            return;
        }
    }
}

void Player::selectObject(int index) {
    if (index < 0 || size_t(index) >= m_objects.size())
        return;
    const Object& object = m_objects[size_t(index)];
    switch (object.kind) {
    case Object::Kind::Pen:
        m_dc.pen = object.pen;
        break;
    case Object::Kind::Brush:
        m_dc.brush = object.brush;
        break;
    case Object::Kind::Font:
        m_dc.font = object.font;
        break;
    default:
        break;
    }
}

// Pens, brushes, fonts and the slots of other objects; the clip. False for a record of another
// family.
bool Player::playObject(const Record& r) {
    DcState& dc = m_dc;
    switch (r.function) {
    case Fn::CreatePenIndirect: {
        Object object{Object::Kind::Pen, {}, {}, {}};
        object.pen = {r.word(0), double(r.value(1)), colorRef(r.dword(3))};
        createObject(object);
        break;
    }
    case Fn::CreateBrushIndirect: {
        Object object{Object::Kind::Brush, {}, {}, {}};
        object.brush.style = r.word(0);
        object.brush.color = colorRef(r.dword(1));
        object.brush.hatch = r.word(3);
        createObject(object);
        break;
    }
    case Fn::DibCreatePatternBrush: {
        Object object{Object::Kind::Brush, {}, {}, {}};
        object.brush.style = 5;
        object.brush.pattern = Dib::toImage(r.bytesFrom(2));
        if (object.brush.pattern.width() > 256 || object.brush.pattern.height() > 256)
            object.brush.pattern = QImage(); // a tile that large is no pattern
        createObject(object);
        break;
    }
    case Fn::CreateFontIndirect: {
        Object object{Object::Kind::Font, {}, {}, {}};
        Font& f = object.font;
        f.height = r.value(0);
        f.escapement = r.value(2);
        f.weight = r.value(4);
        const QByteArrayView bytes = r.bytesFrom(5);
        auto byte = [&](qsizetype i) { return i < bytes.size() ? quint8(bytes[i]) : 0; };
        f.italic = byte(0);
        f.underline = byte(1);
        f.strike = byte(2);
        f.charset = byte(3);
        f.family = byte(7) >> 4;
        QByteArrayView face = bytes.size() > 8 ? bytes.sliced(8) : QByteArrayView();
        face = face.first(std::min<qsizetype>(face.size(), 32));
        if (const qsizetype nul = face.indexOf('\0'); nul >= 0)
            face = face.first(nul);
        f.face = QString::fromLatin1(face).trimmed();
        createObject(object);
        break;
    }
    case Fn::CreatePalette:
    case Fn::CreatePatternBrush:
    case Fn::CreateBitmapIndirect:
    case Fn::CreateBitmap:
    case Fn::CreateRegion:
        // Slots of their own, which the following objects' numbers count.
        createObject(Object{Object::Kind::Other, {}, {}, {}});
        break;
    case Fn::SelectObject:
        selectObject(r.word(0));
        break;
    case Fn::DeleteObject:
        if (r.word(0) < m_objects.size())
            m_objects[r.word(0)] = Object();
        break;
    case Fn::SelectClipRegion:
        dc.clip.reset();
        applyClip();
        break;
    case Fn::IntersectClipRect:
    case Fn::ExcludeClipRect:
        clipRect(r, r.function == Fn::ExcludeClipRect);
        break;
    default:
        return false;
    }
    return true;
}

} // namespace WmfPlayback
