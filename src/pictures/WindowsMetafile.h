#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QRect>

// A Windows metafile (WMF): a list of drawing calls, as documents from Windows carry charts,
// logos and clip art. Played on an image by our own player of the records such pictures use;
// records it does not know are passed over. Every count, size and loop is bounded by the data
// or by a fixed limit, so a damaged or hostile file costs no more than a real one of its size.
class WindowsMetafile {
public:
    explicit WindowsMetafile(QByteArrayView data);

    // The data starts with a metafile header (after the optional placeable header).
    bool isValid() const { return m_firstRecord > 0; }

    // The bitmap the metafile shows, when showing one bitmap is all it does: a picture saved as
    // a metafile. Null otherwise.
    QImage soleBitmap() const;

    // The metafile drawn on a white image of `pixels`, its picture frame filling it. Null when
    // the metafile does not say what area it covers, or draws nothing.
    QImage render(QSize pixels) const;

private:
    QByteArrayView m_data;
    qsizetype m_firstRecord = 0;
    QRect m_placeableFrame; // logical units; empty without a placeable header
    int m_objectCount = 0;  // the size of the object table, from the header
};
