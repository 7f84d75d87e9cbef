#pragma once

#include <QImage>
#include <QStringView>

// A picture a clipboard carries inside its markup, as a data: URL. Decoding one costs no more
// than a few times its size: only common bitmap formats are read (a vector picture could name
// files of its own), and a picture whose pixels would take more than `maxPixels` is not decoded.
namespace DataUrlPicture {

// Whether `url` is a data: URL.
bool isDataUrl(QStringView url);

// The picture, or a null image when it is not one we read or is larger than `maxPixels`.
QImage decode(QStringView url, qint64 maxPixels);

} // namespace DataUrlPicture
