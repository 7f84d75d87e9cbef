#include "rtf/RtfShapeReader.h"

#include "rtf/RtfContentSink.h"
#include "rtf/RtfStateWords.h"

#include <cctype>
#include <utility>

namespace rtf {

namespace {

// `group` starts with `opening` as a whole word.
bool opensWith(QByteArrayView group, QByteArrayView opening) {
    return group.startsWith(opening) &&
           (group.size() <= opening.size() ||
            !std::isalpha(static_cast<unsigned char>(group[opening.size()])));
}

} // namespace

void ShapeReader::beginPicture() {
    m_reader.state().destination = Destination::Picture;
    m_picture = Picture();
    m_pictureNibble = -1;
}

void ShapeReader::pictureWord(Word id, int value) {
    applyPictureWord(m_picture, id, value);
}

void ShapeReader::beginShape() {
    m_shapeDepth = m_reader.depth();
    m_shapeRead = false;
}

void ShapeReader::beginShapeInstance() {
    // A shape's own description holds its picture and text box; the result that follows
    // is only a fallback drawing of the same thing.
    m_reader.state().destination = Destination::ShapeProperties;
    m_shapeRead = m_shapeDepth != 0;
    m_shapePictureShown = false;
}

void ShapeReader::beginShapeResult() {
    if (m_shapeRead)
        m_reader.skipGroup();
}

void ShapeReader::finishPicture(qsizetype groupStart) {
    const GroupState& s = m_reader.state();
    if ((s.destination == Destination::Text || s.destination == Destination::ShapeProperties) &&
        !s.chars.hidden) {
        m_picture.source = m_reader.data().sliced(groupStart, m_reader.position() - groupStart);
        if (m_shapePicture.alternativeDepth) {
            m_reader.out().offerAlternative(m_picture);
        } else if (s.destination != Destination::ShapeProperties ||
                   !std::exchange(m_shapePictureShown, true)) {
            m_reader.beginContent();
            m_reader.flushRun();
            m_reader.out().appendImage(m_picture);
            ++m_object.pictures;
            m_reader.countPlaced();
            ++m_picturesPlaced;
        }
    }
    m_picture.data.clear();
}

void ShapeReader::beginObject() {
    // An object in another is content of the outer one, which so is no longer all one picture.
    m_object = {};
    // Only an object in document text can be written back where its picture is; past the depth
    // whose groups are kept, its end could not be told from its groups' ends. Its group must
    // start with it: what came before in the group has been read as content already.
    const GroupState& s = m_reader.state();
    if (s.destination != Destination::Text || m_reader.beyondKeptDepth() ||
        !opensWith(m_reader.data().sliced(s.start), "{\\object"))
        return;
    m_object.depth = m_reader.depth();
}

void ShapeReader::finishObject(qsizetype groupStart) {
    if (m_object.pictures == 1 && !m_object.mixed)
        m_reader.out().attachObject(
            m_reader.data().sliced(groupStart, m_reader.position() - groupStart));
    m_object = {};
}

void ShapeReader::beginShapePicture() {
    m_shapePicture.end = 0;
    const GroupState& s = m_reader.state();
    // One in hidden text shows nothing and is kept with the hidden text's bytes.
    if (m_shapePicture.depth || m_reader.beyondKeptDepth() || s.destination != Destination::Text ||
        s.chars.hidden || !opensWith(m_reader.data().sliced(s.start), "{\\*\\shppict"))
        return;
    m_reader.flushRun();
    m_shapePicture.depth = m_reader.depth();
    m_shapePicture.textRead = false;
    m_shapePicture.start = s.start;
    m_shapePicture.contentPlaced = m_reader.contentPlaced();
    m_shapePicture.picturesPlaced = m_picturesPlaced;
}

void ShapeReader::beginAlternative(const ControlWord& word) {
    GroupState& s = m_reader.state();
    // Right after the \shppict, and from its own brace: text before it in its group is the
    // document's.
    if (m_shapePicture.end && m_reader.groupStartsWith(word) &&
        m_reader.data()
            .sliced(m_shapePicture.end, s.start - m_shapePicture.end)
            .trimmed()
            .isEmpty()) {
        // Read for its picture alone.
        s.destination = Destination::ShapeProperties;
        m_shapePicture.alternativeDepth = m_reader.depth();
    } else {
        m_reader.skipGroup();
    }
    m_shapePicture.end = 0;
}

void ShapeReader::groupEnd(size_t depth, qsizetype groupStart) {
    if (depth == m_shapeDepth) {
        m_shapeDepth = 0;
        m_shapeRead = false;
    }
    if (depth == m_shapePicture.depth || depth == m_shapePicture.alternativeDepth)
        finishShapePicture(groupStart);
    if (depth == m_object.depth)
        finishObject(groupStart);
}

void ShapeReader::finishShapePicture(qsizetype groupStart) {
    const QByteArrayView data = m_reader.data();
    const qsizetype end = m_reader.position();
    // Kept whole only when all it placed is one picture: anything else there the document
    // would then hold twice.
    const auto placedOnePicture = [&] {
        return m_picturesPlaced == m_shapePicture.picturesPlaced + 1 &&
               m_reader.contentPlaced() == m_shapePicture.contentPlaced + 1;
    };
    if (m_shapePicture.alternativeDepth) {
        m_shapePicture.alternativeDepth = 0;
        m_reader.flushRun();
        if (placedOnePicture())
            m_reader.out().attachObject(
                data.sliced(m_shapePicture.start, end - m_shapePicture.start));
        return;
    }
    m_shapePicture.depth = 0;
    m_reader.flushRun();
    // And when it holds no text.
    if (!m_shapePicture.textRead && placedOnePicture()) {
        m_reader.out().attachObject(data.sliced(groupStart, end - groupStart));
        m_shapePicture.end = end;
    }
}

} // namespace rtf
