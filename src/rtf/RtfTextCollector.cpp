#include "rtf/RtfTextCollector.h"

#include "rtf/RtfTableGrid.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rtf {

namespace {

// Where the text from `from` on stops being ordinary for a save, eight characters at a time
// where it can be (or an earlier place, from which the caller looks on): the line and paragraph
// separators and from U+FDD0 on are not.
qsizetype ordinaryEnd(const char16_t* text, qsizetype from, qsizetype size) {
#if defined(__SSE2__)
    // Compared as signed numbers once their top bit is flipped, so as unsigned ones.
    const __m128i top = _mm_set1_epi16(short(0x8000));
    const __m128i belowReserved = _mm_set1_epi16(short(0xFDCF ^ 0x8000));
    const __m128i lineSeparator = _mm_set1_epi16(short(QChar::LineSeparator));
    const __m128i paragraphSeparator = _mm_set1_epi16(short(QChar::ParagraphSeparator));
    for (; from + 8 <= size; from += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from));
        const __m128i odd = _mm_or_si128(_mm_cmpgt_epi16(_mm_xor_si128(units, top), belowReserved),
                                         _mm_or_si128(_mm_cmpeq_epi16(units, lineSeparator),
                                                      _mm_cmpeq_epi16(units, paragraphSeparator)));
        if (_mm_movemask_epi8(odd))
            break;
    }
#else
    (void)text;
    (void)size;
#endif
    return from;
}

} // namespace

void TextCollector::beginContent() {
    if (m_breakPending) {
        m_text.append(u'\n');
        m_breakPending = false;
    }
}

void TextCollector::appendText(const QString& text, const CharState&) {
    if (text.isEmpty())
        return;
    beginContent();
    const qsizetype start = m_text.size();
    m_text.append(text);
    if (m_form == Form::Shown) {
        for (QChar *c = m_text.data() + start, *end = m_text.data() + m_text.size(); c != end;
             ++c) {
            if (c->unicode() == QChar::LineSeparator)
                *c = u'\n';
            else if (c->unicode() == QChar::Nbsp)
                *c = u' ';
        }
        return;
    }
    // What a save writes: every kind of line and paragraph break a line end, no object mark.
    // Those are U+2028, U+2029 and from U+FDD0 on, which most text never reaches: it is only
    // looked at.
    const char16_t* text16 = reinterpret_cast<const char16_t*>(m_text.constData());
    qsizetype first = ordinaryEnd(text16, start, m_text.size());
    while (first < m_text.size() &&
           (text16[first] < QChar::LineSeparator ||
            (text16[first] > QChar::ParagraphSeparator && text16[first] < 0xFDD0)))
        ++first;
    qsizetype kept = first;
    for (qsizetype i = first; i < m_text.size(); ++i) {
        switch (const char16_t c = m_text[i].unicode()) {
        case QChar::ObjectReplacementCharacter:
            continue;
        case QChar::LineSeparator:
        case QChar::ParagraphSeparator:
        case 0xFDD0:
        case 0xFDD1:
            m_text[kept++] = u'\n';
            break;
        default:
            m_text[kept++] = c;
        }
    }
    m_text.truncate(kept);
}

void TextCollector::appendImage(const Picture&) {
    beginContent();
    if (m_form == Form::Shown)
        m_text.append(QChar::ObjectReplacementCharacter);
}

void TextCollector::appendTable(const Table& table) {
    for (const TableGrid& grid : gridsOf(table)) {
        // A table ends the paragraph before it, and a document starts one after it: one
        // character each, as every cell's start is.
        int row = -1;
        for (const GridCell& cell : grid.cells) {
            m_text.append(cell.row != row ? u'\n' : u'\t');
            row = cell.row;
            m_breakPending = false;
            replayCell(table, grid, cell, *this);
        }
        m_text.append(u'\n');
        m_breakPending = false;
    }
    replayOverflow(table, *this);
}

void TextCollector::endParagraph(const ParaState&, const CharState&) {
    if (m_breakPending)
        m_text.append(u'\n');
    m_breakPending = true;
}

} // namespace rtf
