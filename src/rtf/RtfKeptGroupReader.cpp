#include "rtf/RtfKeptGroupReader.h"

#include "rtf/RtfContentSink.h"
#include "rtf/RtfShapeReader.h"

namespace rtf {

void KeptGroupReader::begin(const ControlWord& word, KeptGroup::Kind kind, bool insideOther) {
    m_reader.skipGroup();
    // Kept whole from its brace; one inside another kept group, a shape picture or an object is
    // part of that one. A group that does not start with the word had content before it, which
    // the document holds.
    if (m_depth || insideOther || m_shapes.keepingWhole() || m_reader.beyondKeptDepth() ||
        m_reader.state().destination != Destination::Text || !m_reader.groupStartsWith(word))
        return;
    m_depth = m_reader.depth();
    m_kind = kind;
    m_hidden = m_reader.state().chars.hidden;
    if (m_hidden)
        return;
    if (kind == KeptGroup::Kind::Footnote && m_markPending)
        placeMark();
}

void KeptGroupReader::groupEnd(size_t depth, qsizetype groupStart) {
    if (depth != m_depth)
        return;
    m_depth = 0;
    if (m_hidden) {
        m_reader.noteHidden(groupStart, m_reader.position());
        return;
    }
    // The footnote's mark is in the run being read.
    m_reader.flushRun();
    KeptGroup kept =
        KeptGroup::of(m_kind, m_reader.data().sliced(groupStart, m_reader.position() - groupStart),
                      m_reader.header());
    if (m_kind == KeptGroup::Kind::Side) {
        kept.section = m_sections;
        m_reader.out().keepSideGroup(kept);
        return;
    }
    kept.numbered = m_afterMark;
    m_reader.out().attachFootnote(kept, 1);
    m_shapes.noteMixed();
}

void KeptGroupReader::noteMark() {
    const GroupState& s = m_reader.state();
    if (s.destination != Destination::Text || s.chars.hidden)
        return;
    m_markPending = true;
    m_markChars = s.chars;
}

void KeptGroupReader::placeMark() {
    // Footnotes are numbered by the document; the mark shows the number.
    m_shapes.noteMixed();
    m_reader.beginContent();
    m_reader.flushRun();
    m_reader.out().appendFootnoteNumber(m_markChars);
    m_reader.countPlaced();
    m_afterMark = true;
}

} // namespace rtf
