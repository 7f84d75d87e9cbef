#pragma once

#include <QByteArrayView>
#include <QImage>

// Device-independent bitmaps, as pictures and metafiles carry them: a BITMAPINFOHEADER (or the
// older BITMAPCOREHEADER), its colours, then the pixels.
namespace Dib {

// The bitmap as an image; null when the header is damaged, or promises more pixels than the
// data holds or than any real picture has.
QImage toImage(QByteArrayView dib);

} // namespace Dib
