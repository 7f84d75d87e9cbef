#include "rtf/RtfDocumentReader.h"

namespace rtf {

void DocumentReader::enterDestination(const ControlWord& word) {
    GroupState& s = state();
    // The document's tables belong to the document; a group that describes a picture, a shape
    // or a table's nesting may quote another document's, which defines nothing here.
    const bool table = word.id == Word::FontTable || word.id == Word::ColorTable ||
                       word.id == Word::ListTable || word.id == Word::ListOverrideTable ||
                       word.id == Word::StyleSheet;
    // Nor does one after the body has started: writers put them in the header, and one the body
    // holds would give the groups kept before it other colours than those kept after.
    // Blanks some writers leave before their tables count for nothing; hidden text counts.
    const bool bodyStarted = m_contentPlaced > 0 || m_run.holdsText() || m_hidden.reading();
    if (table && (s.destination != Destination::Text || bodyStarted)) {
        skipGroup();
        return;
    }
    if (m_listText.enterDestination(word, m_pendingCells)) {
        if (!m_skipping)
            m_shapes.noteMixed();
        return;
    }
    switch (word.id) {
    case Word::FontTable:
        s.destination = Destination::FontTable;
        break;
    case Word::ColorTable:
        s.destination = Destination::ColorTable;
        break;
    case Word::StyleSheet:
        if (m_styleSheetDepth) {
            skipGroup();
            break;
        }
        s.destination = Destination::StyleSheet;
        m_styleSheetDepth = depth();
        m_styles.beginEntry();
        break;
    case Word::Pict:
        m_shapes.beginPicture();
        break;
    case Word::Upr:
        // Two spellings of document text; elsewhere, of something not shown.
        if (s.destination == Destination::Text)
            s.destination = Destination::UnicodeAlternates;
        else
            skipGroup();
        break;
    case Word::Ud:
        if (s.destination == Destination::UnicodeAlternates)
            s.destination = Destination::Text;
        else
            skipGroup();
        break;
    case Word::Shape:
        m_shapes.beginShape();
        break;
    case Word::ShapeInstance:
        m_shapes.beginShapeInstance();
        break;
    case Word::ShapeText:
        s.destination = Destination::Text;
        break;
    case Word::ShapeResult:
        m_shapes.beginShapeResult();
        break;
    case Word::NestTableProps:
        m_tableMarks.beginNestedRowProperties();
        break;
    case Word::NoNestTables:
        m_tableMarks.beginNoNestTables();
        break;
    case Word::Header:
    case Word::Footer:
        m_kept.begin(word, KeptGroup::Kind::Side, m_listText.readingNumber());
        break;
    case Word::Footnote:
        m_kept.begin(word, KeptGroup::Kind::Footnote, m_listText.readingNumber());
        break;
    case Word::Field:
        // A field is the document's: hidden text before it is kept apart, not with the field's
        // bytes, which the field itself writes back.
        if (!m_kept.reading())
            m_hidden.close();
        m_fields.begin(m_kept.reading());
        break;
    case Word::FieldInst:
        m_fields.beginPart(word);
        skipGroup();
        break;
    case Word::FieldResult:
        m_fields.beginPart(word);
        break;
    case Word::ShpPict:
        m_shapes.beginShapePicture();
        break;
    case Word::NonShpPict:
        m_shapes.beginAlternative(word);
        break;
    case Word::Object:
        m_shapes.beginObject();
        return;
    case Word::Result:
        break; // its text is document text
    case Word::PnText:
        // The bullet's own text: the list format draws it.
    default:
        skipGroup();
        break;
    }
    // What an object shows comes from its result and pictures; other destinations either are
    // skipped or bring something more.
    if (!m_skipping && word.id != Word::Pict && word.id != Word::ShpPict &&
        word.id != Word::NonShpPict && word.id != Word::Result)
        m_shapes.noteMixed();
}

} // namespace rtf
