#pragma once

#include <QByteArray>
#include <QImage>
#include <QSizeF>

namespace rtf {

enum class PictureKind { Unknown, Png, Jpeg, WindowsMetafile, EnhancedMetafile, Dib, Bitmap };

// What a \pict group says about its picture; lengths as the file gives them.
struct Picture {
    PictureKind kind = PictureKind::Unknown;
    int width = 0;      // \picw: pixels, or hundredths of a millimetre for metafiles
    int height = 0;     // \pich
    int goalWidth = 0;  // \picwgoal, twips
    int goalHeight = 0; // \pichgoal, twips
    int scaleX = 100;   // \picscalex, percent
    int scaleY = 100;
    QByteArray data;
    // The whole {\pict ...} group as the file has it, valid while the file is being read.
    QByteArrayView source;
};

// Adds the picture data written as hex digits in `text`; `nibble` holds a digit whose pair is
// still to come (-1 for none) from one piece of text to the next. Anything else is layout.
void appendHexData(Picture& picture, QByteArrayView text, int& nibble);

// The picture as an image, or a null image when the kind is one we cannot show.
QImage decodePicture(const Picture& picture);

// The size to show the picture at, in layout units; `image` may be null.
QSizeF displaySize(const Picture& picture, const QImage& image);

// A device-independent bitmap (BITMAPINFOHEADER, colours, pixels) as an image.
QImage imageFromDib(QByteArrayView dib);

// The first bitmap a Windows metafile draws (META_DIBSTRETCHBLT, META_STRETCHDIB,
// META_DIBBITBLT, META_SETDIBTODEV), which is all a metafile wrapping a picture holds.
QImage imageFromWindowsMetafile(QByteArrayView metafile);

// A light frame that stands in for pictures we cannot show, so the layout keeps their size.
QImage placeholderImage();

} // namespace rtf
