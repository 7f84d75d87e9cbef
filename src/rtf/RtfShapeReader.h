#pragma once

#include "pictures/RtfPicture.h"
#include "rtf/RtfControlWords.h"
#include "rtf/RtfReadingContext.h"

namespace rtf {

// Pictures (\pict), shapes (\shp) and embedded objects (\object): each picture goes out as
// the document's, and the groups that show nothing but one picture go out whole beside it, to
// be saved in its place.
class ShapeReader {
public:
    explicit ShapeReader(ReadingContext& reader) : m_reader(reader) {}

    // The destinations; each one reads the innermost group's start and state.
    void beginPicture();
    void beginShape();
    void beginShapeInstance();
    void beginShapeResult();
    void beginShapePicture();
    void beginAlternative(const ControlWord& word); // \nonshppict
    void beginObject();

    // A picture's own words and data.
    void pictureWord(Word id, int value);
    void pictureData(QByteArrayView hex) { appendHexData(m_picture, hex, m_pictureNibble); }
    void pictureBinary(QByteArrayView bytes) { m_picture.data.append(bytes.data(), bytes.size()); }
    // The \pict group that started at `groupStart` ended; state() is its parent's.
    void finishPicture(qsizetype groupStart);

    // A group that started at `groupStart` closed with `depth` groups open inside it.
    void groupEnd(size_t depth, qsizetype groupStart);

    // Something besides a picture reached the document, or changed what follows: an object
    // holding it is read as its content alone, as writing it back would repeat that.
    void noteMixed() { m_object.mixed = true; }
    void noteText() {
        m_object.mixed = true;
        m_shapePicture.textRead = m_shapePicture.textRead || m_shapePicture.depth;
    }
    // Inside a group that may go out whole, which so holds what is in it.
    bool keepingWhole() const { return m_shapePicture.depth || m_object.depth; }

private:
    void finishShapePicture(qsizetype groupStart);
    void finishObject(qsizetype groupStart);

    ReadingContext& m_reader;
    Picture m_picture;
    int m_pictureNibble = -1; // the first hex digit of a byte of picture data
    int m_picturesPlaced = 0;
    // The \shp being read: the stack size inside it, and whether it had a \shpinst. Only its own
    // \shprslt is a fallback for that: one elsewhere, in a group kept whole, would read again
    // where that group is written without what came before it.
    size_t m_shapeDepth = 0;
    bool m_shapeRead = false;
    // A shape shows one picture; others in its properties fill it or outline it.
    bool m_shapePictureShown = false;

    // A picture given in \shppict and again, for readers without shapes, in \nonshppict: the
    // document keeps both groups as they were and shows the second when it cannot draw the first.
    struct ShapePicture {
        size_t depth = 0;      // the stack size inside \shppict, 0 outside it
        qsizetype start = 0;   // where \shppict starts
        qsizetype end = 0;     // where it ended, when it held just one picture
        int contentPlaced = 0; // content and pictures placed when it started
        int picturesPlaced = 0;
        size_t alternativeDepth = 0; // the stack size inside \nonshppict while it is read
        // Text was read in it, which may decode to nothing here (half a character of a
        // double-byte font) and to something where the group is written back.
        bool textRead = false;
    };
    ShapePicture m_shapePicture;

    // The \object group being read. When all it shows is one picture, the document keeps the
    // whole group beside that picture, to be saved in its place. Anything else in it that reaches
    // the document or lasts beyond the group (text, marks, tables, code pages, destinations other
    // than its result and pictures) makes it `mixed`: it is then read as its content alone, as
    // writing the group back would repeat that content or change what follows. Of objects held
    // one in another only the innermost is followed.
    struct ObjectGroup {
        size_t depth = 0; // the stack size inside the group; 0 outside any object
        int pictures = 0; // pictures it placed in the document
        bool mixed = false;
    };
    ObjectGroup m_object;
};

} // namespace rtf
