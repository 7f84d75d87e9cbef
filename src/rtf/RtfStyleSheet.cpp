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
    m_effects.clear();
    if (m_said && m_paragraphStyle && m_styles.size() < maxStyles)
        m_styles[m_number] = std::move(m_entry);
    beginEntry();
}

const StyleSheet::Effect& StyleSheet::effectOf(int style) const {
    const auto cached = m_effects.find(style);
    if (cached != m_effects.end())
        return cached->second;
    // The bases first; bases that loop, or run long, end the chain.
    std::vector<const Style*> chain;
    for (int at = style; chain.size() < 16;) {
        const auto it = m_styles.find(at);
        if (it == m_styles.end() ||
            std::find(chain.begin(), chain.end(), &it->second) != chain.end())
            break;
        chain.push_back(&it->second);
        at = it->second.basedOn;
    }
    // The words applied to two states that differ in every field: a field they leave alike is one
    // the style sets, whatever it was before.
    Effect effect;
    effect.set.kind = CharacterKind::High;
    effect.set.font = effect.set.lowFont = effect.set.doubleByteFont = -7;
    effect.set.halfPoints = effect.set.foreground = effect.set.background = -7;
    effect.set.bold = effect.set.italic = effect.set.strike = effect.set.hidden = true;
    effect.set.underline = Underline::Wave;
    effect.set.capitals = Capitals::Small;
    effect.set.vertical = VerticalPosition::Sub;
    effect.set.raise = -7;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        for (const auto& [id, value] : (*it)->words) {
            applyCharacterWord(effect.from, id, value);
            applyCharacterWord(effect.set, id, value);
        }
    }
    if (m_effects.size() >= maxStyles)
        m_effects.clear();
    return m_effects.emplace(style, effect).first->second;
}

void StyleSheet::apply(int style, CharState& chars, ParaState& para) const {
    para.style = style;
    applyCharacters(style, chars);
}

void StyleSheet::applyCharacters(int style, CharState& chars) const {
    if (m_styles.empty())
        return;
    const Effect& effect = effectOf(style);
    const auto take = [](auto& field, const auto& from, const auto& set) {
        if (from == set)
            field = set;
    };
    const CharState& a = effect.from;
    const CharState& b = effect.set;
    take(chars.font, a.font, b.font);
    take(chars.lowFont, a.lowFont, b.lowFont);
    take(chars.doubleByteFont, a.doubleByteFont, b.doubleByteFont);
    take(chars.kind, a.kind, b.kind);
    take(chars.halfPoints, a.halfPoints, b.halfPoints);
    take(chars.foreground, a.foreground, b.foreground);
    take(chars.background, a.background, b.background);
    take(chars.bold, a.bold, b.bold);
    take(chars.italic, a.italic, b.italic);
    take(chars.underline, a.underline, b.underline);
    take(chars.strike, a.strike, b.strike);
    take(chars.hidden, a.hidden, b.hidden);
    take(chars.capitals, a.capitals, b.capitals);
    take(chars.vertical, a.vertical, b.vertical);
    take(chars.raise, a.raise, b.raise);
}

} // namespace rtf
