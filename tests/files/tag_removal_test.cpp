#include "files/TagRemoval.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

TEST(TagRemoval, RemovesFromEachFirstOpenToTheNextClose) {
    const struct {
        const char* name;
        const char* input;
        const char* expected;
    } cases[] = {
        {"no tags", "plain text", "plain text"},
        {"simple tags", "<p>Hello <b>world</b></p>", "Hello world"},
        {"open inside a tag ends at the first close", "a<b<c>d>e", "ad>e"},
        {"stray close stays", "a > b", "a > b"},
        {"unclosed tag keeps the rest", "a<b>c<d", "ac<d"},
        {"only an open", "<", "<"},
        {"empty tag", "x<>y", "xy"},
        {"adjacent tags", "<a><b>t<c>", "t"},
        {"line breaks inside a tag", "a<br\n/>b", "ab"},
        {"empty text", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TagRemoval::removeTags(QString::fromUtf8(c.input)), QString::fromUtf8(c.expected))
            << c.name;
}

TEST(TagRemoval, CostIsLinearEvenWhenNothingCloses) {
    // Many opens and no close, then many short tags: a rescan from the start would be quadratic.
    const QString opens(2'000'000, u'<');
    const QString tags = QString("<i>x").repeated(500'000);
    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(TagRemoval::removeTags(opens).size(), opens.size());
    EXPECT_EQ(TagRemoval::removeTags(tags), QString(500'000, u'x'));
    EXPECT_LT(timer.elapsed(), 2000);
}
