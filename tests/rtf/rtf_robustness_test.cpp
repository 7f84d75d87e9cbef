#include "bench/RtfHostile.h"
#include "support/rtf_test_support.h"

#include "model/Twips.h"

#include <gtest/gtest.h>

using rtftest::blockText;
using rtftest::readRtf;

// How fast these read is measured in bench/rtf_bench.cpp.
TEST(RtfRobustness, HostileStructureReadsToTheEnd) {
    for (const auto& input : rtfhostile::inputs()) {
        auto document = readRtf(input.rtf);
        EXPECT_TRUE(blockText(*document).endsWith(input.textEnd))
            << input.name << ": " << qPrintable(blockText(*document));
    }
}

// The same input is a fuzz seed, which checks that what was read writes and reads back alike.
TEST(RtfRobustness, AbsurdValuesAreClamped) {
    auto document = readRtf(
        "{\\rtf1\\fs999999999\\li-999999999\\ri999999999\\fi2147483647"
        "\\sb-5\\sa40000\\tx32768\\tx99999999\\tx-3{\\colortbl;\\red9999\\green-1\\blue256;}"
        "\\cf1\\cf-7\\f-3 x\\fs0 y\\par}");
    const QTextBlockFormat block = document->begin().blockFormat();
    EXPECT_EQ(Twips::fromLayout(block.leftMargin()), -32767);
    EXPECT_EQ(Twips::fromLayout(block.rightMargin()), 32767);
    EXPECT_EQ(Twips::fromLayout(block.textIndent()), 32767);
    EXPECT_EQ(block.topMargin(), 0);
    EXPECT_EQ(Twips::fromLayout(block.bottomMargin()), 32767);
    EXPECT_TRUE(block.tabPositions().isEmpty());
    const QTextCharFormat x = rtftest::charFormatAt(*document, 0);
    EXPECT_GT(x.fontPointSize(), 0);
    EXPECT_LE(x.fontPointSize(), 1638);
    EXPECT_FALSE(x.fontFamilies().toStringList().value(0).isEmpty());
    EXPECT_EQ(rtftest::charFormatAt(*document, 1).fontPointSize(), 12);
}
