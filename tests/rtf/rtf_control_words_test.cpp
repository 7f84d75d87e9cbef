// The lookup of control words tells a word by its length and three of its letters first: names
// that agree there must still be told apart by the rest.
#include "rtf/RtfControlWords.h"

#include <gtest/gtest.h>

namespace {

TEST(RtfControlWords, FindsEachWordByItsWholeName) {
    const struct {
        const char* name;
        rtf::Word id; // Word::Skip with found false: no word
        bool found;
    } cases[] = {
        {"b", rtf::Word::Bold, true},
        {"fs", rtf::Word::FontSize, true},
        {"tab", rtf::Word::Tab, true},
        {"brdrdash", rtf::Word::BorderStyle, true},
        {"listoverridestartat", rtf::Word::OverrideStartAt, true},
        // Same length, first, middle and last letter as a word above.
        {"brxrdash", rtf::Word::Skip, false},
        {"lxstoverridestartat", rtf::Word::Skip, false},
        {"listoverridestartbt", rtf::Word::Skip, false},
        // A word's start or a longer name is no word.
        {"brdrdas", rtf::Word::Skip, false},
        {"tabs", rtf::Word::Skip, false},
        {"bb", rtf::Word::Skip, false},
        {"", rtf::Word::Skip, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const rtf::ControlWord* word = rtf::findControlWord(QByteArrayView(c.name));
        ASSERT_EQ(word != nullptr, c.found);
        if (word) {
            EXPECT_EQ(word->id, c.id);
            EXPECT_EQ(word->name, c.name);
        }
    }
}

} // namespace
