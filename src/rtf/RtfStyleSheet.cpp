#include "rtf/RtfStyleSheet.h"

#include "rtf/RtfStateWords.h"

#include <algorithm>

namespace rtf {

namespace {

// The words of a style that make a format: characters', and paragraphs' other than those that
// place the paragraph in a table or a list.
bool isStyleWord(Word id) {
    if (isCharacterWord(id))
        return id != Word::Plain;
    switch (id) {
    case Word::AlignLeft:
    case Word::AlignRight:
    case Word::AlignCenter:
    case Word::AlignJustify:
    case Word::LeftIndent:
    case Word::RightIndent:
    case Word::FirstIndent:
    case Word::SpaceBefore:
    case Word::SpaceAfter:
    case Word::LineSpacing:
    case Word::LineMultiple:
    case Word::PageBreakBefore:
    case Word::TabLeader:
    case Word::TabPos:
    case Word::TabRight:
    case Word::TabCenter:
    case Word::TabDecimal:
    case Word::TabBar:
        return true;
    default:
        return false;
    }
}

} // namespace

void StyleSheet::beginEntry() {
    m_entry = Style();
    m_number = 0;
    m_paragraphStyle = true;
    m_said = false;
}

void StyleSheet::word(Word id, int value) {
    m_said = true;
    switch (id) {
    case Word::Style:
        m_number = value;
        return;
    case Word::CharacterStyle:
        m_paragraphStyle = false;
        return;
    case Word::StyleBasedOn:
        m_entry.basedOn = value;
        return;
    default:
        break;
    }
    if (isStyleWord(id) && m_entry.words.size() < maxWords)
        m_entry.words.emplace_back(id, value);
}

void StyleSheet::endEntry() {
    if (m_said && m_paragraphStyle && m_styles.size() < maxStyles)
        m_styles[m_number] = std::move(m_entry);
    beginEntry();
}

std::vector<const StyleSheet::Style*> StyleSheet::chainOf(int style) const {
    std::vector<const Style*> chain;
    // Bases that loop, or run long, end the chain.
    for (int at = style; chain.size() < 16;) {
        const auto it = m_styles.find(at);
        if (it == m_styles.end() ||
            std::find(chain.begin(), chain.end(), &it->second) != chain.end())
            break;
        chain.push_back(&it->second);
        at = it->second.basedOn;
    }
    std::reverse(chain.begin(), chain.end());
    return chain;
}

void StyleSheet::apply(int style, CharState& chars, ParaState& para,
                       const ListTables& lists) const {
    para.style = style;
    for (const Style* entry : chainOf(style)) {
        for (const auto& [id, value] : entry->words) {
            if (!applyCharacterWord(chars, id, value))
                applyParagraphWord(para, id, value, lists);
        }
    }
}

void StyleSheet::applyCharacters(int style, CharState& chars) const {
    if (m_styles.empty())
        return;
    for (const Style* entry : chainOf(style)) {
        for (const auto& [id, value] : entry->words)
            applyCharacterWord(chars, id, value);
    }
}

void StyleSheet::applyParagraph(int style, ParaState& para, const ListTables& lists) const {
    para.style = style;
    if (m_styles.empty())
        return;
    for (const Style* entry : chainOf(style)) {
        for (const auto& [id, value] : entry->words) {
            if (!isCharacterWord(id))
                applyParagraphWord(para, id, value, lists);
        }
    }
}

} // namespace rtf
