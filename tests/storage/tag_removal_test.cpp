#include "storage/TagRemoval.h"

#include <gtest/gtest.h>

TEST(TagRemoval, RemovesFromEachFirstOpenToTheNextClose) {
    const struct {
        const char* name;
        QString input;
        QString expected;
    } cases[] = {
        {"no tags", "plain text", "plain text"},
        {"simple tags", "<p>Hello <b>world</b></p>", "Hello world"},
        {"open inside a tag ends at the first close", "a<b<c>d>e", "ad>e"},
        {"stray close stays", "a > b", "a > b"},
        {"unclosed tag keeps the rest", "a<b>c<d", "ac<d"},
        {"empty tag", "x<>y", "xy"},
        {"line breaks inside a tag", "a<br\n/>b", "ab"},
        {"empty text", "", ""},
        // An implementation that gives up on a run of opens, or rescans from the wrong place
        // after a close, loses or keeps characters here.
        {"many opens and no close", QString(10'000, u'<'), QString(10'000, u'<')},
        {"many short tags", QString("<i>x").repeated(10'000), QString(10'000, u'x')},
        {"text after many tags, then an open", QString("<i>").repeated(1000) + "t<",
         QStringLiteral("t<")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TagRemoval::removeTags(c.input), c.expected) << c.name;
}
