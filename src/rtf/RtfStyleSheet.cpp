#include "rtf/RtfStyleSheet.h"

#include "rtf/RtfStateWords.h"

#include <algorithm>

namespace rtf {

namespace {

// The words of a style that make a character format. Its paragraph words are not taken: files say
// every paragraph word a paragraph has after its \\pard, and readers take the paragraph as it says
// itself, leaving out what its style would add.
bool isStyleWord(Word id) {
    return isCharacterWord(id) && id != Word::Plain;
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

void StyleSheet::apply(int style, CharState& chars, ParaState& para) const {
    para.style = style;
    applyCharacters(style, chars);
}

void StyleSheet::applyCharacters(int style, CharState& chars) const {
    if (m_styles.empty())
        return;
    for (const Style* entry : chainOf(style)) {
        for (const auto& [id, value] : entry->words)
            applyCharacterWord(chars, id, value);
    }
}

} // namespace rtf
