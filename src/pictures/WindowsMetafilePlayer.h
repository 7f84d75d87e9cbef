#pragma once

#include "pictures/WindowsMetafileRecords.h"
#include "text/RtfCodePages.h"

#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QTransform>

#include <optional>
#include <vector>

// Plays the records of a Windows metafile on an image: the device context they change (its
// window and viewport, pens, brushes, fonts, clipping, saved states) and the drawing they do.
// What it may paint in all is bounded by the image's area, so no file costs more than a few
// hundred repaints of its picture.
namespace WmfPlayback {

using WmfRecords::Record;

struct Pen {
    int style = 0; // PS_SOLID
    double width = 0;
    QColor color = Qt::black;
};

struct Brush {
    int style = 0; // BS_SOLID
    QColor color = Qt::white;
    int hatch = 0;
    QImage pattern;
};

struct Font {
    int height = 0;
    int escapement = 0; // tenths of a degree
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int charset = 0;
    int family = 0; // FF_ bits of the pitch and family byte
    QString face;
};

struct Object {
    enum class Kind { Free, Pen, Brush, Font, Other } kind = Kind::Free;
    Pen pen;
    Brush brush;
    Font font;
};

// The device context: what SAVEDC saves and RESTOREDC brings back.
struct DcState {
    Pen pen;
    Brush brush;
    Font font;
    QColor textColor = Qt::black;
    QColor bkColor = Qt::white;
    bool opaqueBackground = true;
    int textAlign = 0;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    QPointF position;
    // Players set MM_ANISOTROPIC before they play a picture, so that it fills its frame.
    int mapMode = 8;
    QPointF windowOrg, windowExt{1, 1}, viewportOrg, viewportExt{1, 1};
    std::optional<QRegion> clip; // in image pixels; none: the whole image
};

class Player {
public:
    // `frame`, in the metafile's logical units, fills `image`.
    Player(QImage& image, const QRectF& frame, int objectCount);

    // False once the metafile has used up what it may draw.
    bool play(const Record& r);
    bool drewSomething() const { return m_drew; }

private:
    bool playDeviceState(const Record& r);
    bool playObject(const Record& r);
    bool playDrawing(const Record& r);
    bool playTextOrBitmap(const Record& r);
    void applyTransform();
    void applyClip();
    bool afford(QRectF logical, bool stroked);
    QPen qPen() const;
    QBrush qBrush() const;
    void setTools(bool fill);
    void createObject(Object object);
    void selectObject(int index);
    QPointF point(const Record& r, qsizetype yWord) const {
        return QPointF(r.value(yWord + 1), r.value(yWord));
    }
    QRectF rect(const Record& r, qsizetype bottomWord) const {
        // Bottom, right, top, left: parameters come last first.
        return QRectF(QPointF(r.value(bottomWord + 3), r.value(bottomWord + 2)),
                      QPointF(r.value(bottomWord + 1), r.value(bottomWord)))
            .normalized();
    }
    QPolygonF points(const Record& r, qsizetype first, qsizetype count) const;
    void arc(const Record& r, int kind);
    void text(QPointF at, QByteArrayView bytes, const std::vector<int>& advances,
              std::optional<QRectF> opaque);
    void bitmap(const Record& r);
    void patternFill(const QRectF& rect, quint32 rop);
    void clipRect(const Record& r, bool exclude);
    void restoreDc(int which);

    QImage& m_image;
    QPainter m_painter;
    QRectF m_frame;
    std::vector<Object> m_objects;
    DcState m_dc;
    std::vector<DcState> m_saved;
    int m_unsavedDepth = 0; // saves beyond maxSavedStates
    QTransform m_transform; // logical units to image pixels
    double m_budget;
    bool m_drew = false;
    rtf::TextDecoder m_decoder;
};

} // namespace WmfPlayback
