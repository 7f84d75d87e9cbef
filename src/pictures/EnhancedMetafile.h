#pragma once

#include <QByteArrayView>
#include <QImage>

// An enhanced metafile (EMF). We do not play them: what they show of their own is a bitmap that
// fills most of them, which is all a picture saved as a metafile holds.
namespace EnhancedMetafile {

// The first bitmap of a bitmap record (EMR_BITBLT, EMR_STRETCHBLT, EMR_SETDIBITSTODEVICE,
// EMR_STRETCHDIBITS, EMR_ALPHABLEND, EMR_TRANSPARENTBLT) that covers at least half of the
// picture's bounds; null when there is none.
QImage firstBitmap(QByteArrayView emf);

} // namespace EnhancedMetafile
