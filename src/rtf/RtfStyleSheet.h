#pragma once

#include "rtf/RtfControlWords.h"
#include "rtf/RtfGroupState.h"

#include <unordered_map>
#include <utility>
#include <vector>

namespace rtf {

// \stylesheet: the paragraph styles (\sN) and the character words each gives. The body's \sN
// applies them, and \plain goes back to them; text before any \sN is in style 0. Readers show a
// paragraph's text in its style's font and size unless the text says otherwise, so the document
// takes them as its own formats and a save, which writes no style sheet, says them.
class StyleSheet {
public:
    bool empty() const { return m_styles.empty(); }

    // An entry's group starts, ends; the words it holds.
    void beginEntry();
    void word(Word id, int value);
    void endEntry();

    // The body's \sN: the style's words, those of the styles it is based on first.
    void apply(int style, CharState& chars, ParaState& para) const;
    // \plain: the format the paragraph's style gives, where it resets to none.
    void applyCharacters(int style, CharState& chars) const;

private:
    using Words = std::vector<std::pair<Word, int>>;
    struct Style {
        Words words;
        int basedOn = -1;
    };
    // What `style`'s words, those of the styles it is based on first, do to a character state,
    // worked out once: a body names its styles again and again. `set`'s fields that `from`'s
    // equal are the ones they set.
    struct Effect {
        CharState from;
        CharState set;
    };
    const Effect& effectOf(int style) const;

    // Files name a few dozen; a hostile one cannot make lookups dear.
    static constexpr size_t maxStyles = 4096;
    static constexpr size_t maxWords = 64;
    std::unordered_map<int, Style> m_styles;
    mutable std::unordered_map<int, Effect> m_effects;
    Style m_entry;
    int m_number = 0;
    bool m_paragraphStyle = true; // \cs and others are read but not applied
    bool m_said = false;          // the entry said something: a skipped one says nothing
};

} // namespace rtf
