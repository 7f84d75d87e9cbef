#pragma once

#include <QByteArray>
#include <QImage>
#include <QSizeF>

class QTextDocument;
class QTextImageFormat;

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

// The picture as an image, or a null image when the kind is one we cannot show. Windows
// metafiles are drawn at the size they show at; enhanced metafiles show their first bitmap.
QImage decodePicture(const Picture& picture);

// The size to show the picture at, in layout units; `image` may be null.
QSizeF displaySize(const Picture& picture, const QImage& image);

// A light box of `size` (layout units) that stands in for a picture we cannot show, so the
// layout keeps its size, with the picture's kind ("EMF picture") written in it.
QImage placeholderImage(const Picture& picture, QSizeF size);
// Whether `image` is such a box.
bool isPlaceholder(const QImage& image);

// The resource name of the document's `number`th picture read from RTF.
QString pictureName(int number);
// Whether `name` is one of those: any other picture name is a reference to a picture elsewhere.
bool isPictureName(const QString& name);
// A picture name the document does not use yet, for a picture added to it.
QString unusedPictureName(const QTextDocument& document);

// The {\pict ...} group that reads as `picture`: its kind, sizes and data.
QByteArray pictureGroup(const Picture& picture);
// An embedded object's group: `className` (letters, digits and dots), the object's data as
// saved (OLE 1.0), the size it shows at in layout units, and the \pict group of its picture,
// which readers that cannot open the object show instead.
QByteArray objectGroup(QByteArrayView className, QByteArrayView objectData, QSizeF size,
                       QByteArrayView resultPicture);

// The document holds a picture Qt can draw, or a stand-in: the group it came from, the file's
// own \pict group, its \shppict group with the \nonshppict beside it, or the whole \object
// group the picture shows, is kept beside it, under the
// name of the image resource, so it is still found when the picture is copied within the
// document (which goes through HTML and keeps only the name and the size), and saving writes
// it back as it was.
void keepOriginalPicture(QTextDocument& document, const QString& imageName, QByteArrayView group,
                         QSizeF size);
// The group kept for `image`, or nothing once it shows at another size than it was read at,
// since the group no longer describes it then.
QByteArray originalPicture(const QTextDocument& document, const QTextImageFormat& image);

// Gives `to` the picture `from` holds as `fromName`, with the group kept beside it, as `toName`:
// for text that moves between documents, which carries only the pictures' names.
void carryPicture(const QTextDocument& from, const QString& fromName, QTextDocument& to,
                  const QString& toName);

} // namespace rtf
