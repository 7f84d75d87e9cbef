#pragma once

#include "rtf/RtfKeptGroups.h"
#include "rtf/RtfReadingContext.h"

namespace rtf {

class ShapeReader;
struct ControlWord;

// Headers, footers and footnotes: the document does not show them, so each goes out whole, as
// the file has it, to be saved; a footnote with the number (\chftn) that marks it in the text.
class KeptGroupReader {
public:
    KeptGroupReader(ReadingContext& reader, ShapeReader& shapes)
        : m_reader(reader), m_shapes(shapes) {}

    // Inside a group being kept.
    bool reading() const { return m_depth != 0; }
    // \header, \footer (Side) or \footnote; `insideOther` when in something else read whole.
    void begin(const ControlWord& word, KeptGroup::Kind kind, bool insideOther);
    // A group that started at `groupStart` closed with `depth` groups open inside it.
    void groupEnd(size_t depth, qsizetype groupStart);
    // The body's section ended: the headers and footers after it are the next one's.
    void endSection() { ++m_sections; }
    // \chftn, in the innermost group's format.
    void noteMark();
    // Content reached the document: a footnote number waiting for its footnote shows nothing.
    void noteContent() {
        m_afterMark = false;
        m_markPending = false;
    }

private:
    void placeMark();

    ReadingContext& m_reader;
    ShapeReader& m_shapes;
    size_t m_depth = 0; // the stack size inside the group being kept, 0 outside any
    KeptGroup::Kind m_kind = KeptGroup::Kind::Side;
    bool m_hidden = false; // the group is in hidden text, and kept with it
    int m_sections = 0;    // section breaks read in the body
    // A footnote number waits for its footnote to show, in the format it was given; one that
    // something else follows shows nothing, so that every number shown is a footnote's and a
    // saved file numbers them alike.
    bool m_markPending = false;
    CharState m_markChars;
    bool m_afterMark = false; // nothing came since the last footnote number
};

} // namespace rtf
