#include "rtf/RtfHiddenTextReader.h"

#include "rtf/RtfContentSink.h"
#include "rtf/RtfFormatWords.h"
#include "rtf/RtfHeaderTables.h"
#include "rtf/RtfKeptGroups.h"

namespace rtf {

QByteArray charWordsOf(const CharState& c, int defaultFont) {
    QByteArray words;
    const auto word = [&](const char* name, int value) {
        words.append('\\').append(name).append(QByteArray::number(value));
    };
    word("f", c.font >= 0 ? c.font : defaultFont);
    if (c.halfPoints != 24)
        word("fs", c.halfPoints);
    if (c.bold)
        words.append("\\b");
    if (c.italic)
        words.append("\\i");
    if (c.underline != Underline::None)
        words.append('\\').append(underlineWord(c.underline));
    if (c.strike)
        words.append("\\strike");
    if (c.capitals != Capitals::None)
        words.append(c.capitals == Capitals::All ? "\\caps" : "\\scaps");
    if (c.foreground > 0)
        word("cf", c.foreground);
    if (c.background > 0)
        word("highlight", c.background);
    if (c.raise > 0)
        word("up", c.raise);
    else if (c.raise < 0)
        word("dn", -c.raise);
    else if (c.vertical != VerticalPosition::Normal)
        words.append(c.vertical == VerticalPosition::Super ? "\\super" : "\\sub");
    words.append(c.keptWords);
    return words;
}

void HiddenTextReader::note(qsizetype from, qsizetype to) {
    if (!m_depth) {
        // What was read before goes first.
        m_reader.flushRun();
        m_depth = m_reader.depth();
        m_start = from;
        m_chars = m_reader.state().chars;
        m_unicodeSkip = m_reader.state().unicodeSkip;
    }
    m_end = to;
    m_endDepth = m_reader.depth();
}

void HiddenTextReader::close() {
    if (!m_depth)
        return;
    // The stretch in a group of its own, in the format it started in whatever surrounds it; groups
    // it opened and left
    // open are closed after it.
    // A colour the file's table does not hold shows as none: it is written as none, as it would
    // be read back.
    CharState chars = m_chars;
    const auto known = [this](int number) { return m_reader.header().colors.at(number).isValid(); };
    if (chars.foreground > 0 && !known(chars.foreground))
        chars.foreground = 0;
    if (chars.background > 0 && !known(chars.background))
        chars.background = 0;
    QByteArray bytes = "{\\plain" + charWordsOf(chars, m_reader.header().defaultFont) + "\\v";
    if (m_unicodeSkip != 1)
        bytes += "\\uc" + QByteArray::number(m_unicodeSkip);
    bytes += ' ';
    bytes.append(m_reader.data().sliced(m_start, m_end - m_start).toByteArray());
    if (m_endDepth > m_depth)
        bytes.append(QByteArray(qsizetype(m_endDepth - m_depth), '}'));
    bytes.append('}');
    m_depth = 0;
    // It belongs in the cell its paragraph is in, which nothing shown may have entered yet.
    m_reader.toContentLevel();
    m_reader.out().keepHidden(KeptGroup::of(KeptGroup::Kind::Hidden, bytes, m_reader.header()));
}

} // namespace rtf
