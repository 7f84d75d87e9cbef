// Inputs long enough that reading them once cost the square of their length: what the linear
// reading must still get right.
#include "support/rtf_test_support.h"

#include "bench/HostileInputs.h"
#include "model/ListNumbers.h"
#include "rtf/RtfWriter.h"

#include <QTextCursor>
#include <QTextList>
#include <gtest/gtest.h>

using rtftest::readRtf;

TEST(RtfLongInputs, EveryItemOfALongListKeepsItsBulletOrNumber) {
    auto bullets = readRtf(hostile::bulletList(100'000));
    int items = 0;
    for (QTextBlock block = bullets->begin(); block.isValid(); block = block.next()) {
        ++items;
        ASSERT_EQ(block.text(), QStringLiteral("item %1").arg(items));
        ASSERT_NE(block.textList(), nullptr) << items;
        ASSERT_EQ(block.textList()->format().style(), QTextListFormat::ListDisc) << items;
    }
    EXPECT_EQ(items, 100'000);

    // Numbers count through the whole list: as drawn, once it is saved and read again, once the
    // list is joined for Qt's layout, and after an item is added near its start.
    auto numbered = readRtf(hostile::numberedList(3'000));
    const QByteArray saved = rtf::write(*numbered);
    EXPECT_TRUE(saved.contains("{\\listtext 3000.\\tab}"));
    auto reopened = readRtf(saved);
    std::unique_ptr<QTextDocument> joined(numbered->clone());
    ListNumbers::joinRuns(*joined);
    EXPECT_EQ(joined->begin().textList()->count(), 3'000);
    for (const QTextDocument* document : {numbered.get(), reopened.get(), joined.get()}) {
        int number = 0;
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            ++number;
            ASSERT_EQ(block.text(), QStringLiteral("item %1").arg(number));
            ASSERT_EQ(ListNumbers::itemText(block), QStringLiteral("%1.").arg(number));
        }
        EXPECT_EQ(number, 3'000);
    }
    EXPECT_EQ(joined->lastBlock().textList()->itemText(joined->lastBlock()), "3000.");
    QTextCursor cursor(numbered->findBlockByNumber(2));
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertBlock();
    EXPECT_EQ(ListNumbers::itemText(numbered->lastBlock()), "3001.");
    EXPECT_EQ(ListNumbers::itemNumber(numbered->findBlockByNumber(1'000)), 1'001);
}

TEST(RtfLongInputs, RunsAmongManyFontsKeepTheirOwnFont) {
    // Each run "tK " is in font K, "Font K" in the table; runs of one font next to each other
    // make one fragment.
    auto document = readRtf(hostile::fontSwitches(20'000, 30'000));
    int runs = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            const QStringList families = format.fontFamilies().toStringList();
            ASSERT_EQ(families.size(), 1) << runs;
            // What the layout draws with, not only what the format says.
            ASSERT_EQ(format.font().families(), families) << runs;
            for (const QString& word : it.fragment().text().split(u' ', Qt::SkipEmptyParts)) {
                ASSERT_EQ(families.first(), QStringLiteral("Font ") + word.mid(1)) << runs;
                ++runs;
            }
        }
    }
    EXPECT_EQ(runs, 30'000);
    // Runs of one font share one format, as they would with fewer fonts.
    EXPECT_LE(document->allFormats().size(), 20'000 + 16);
}

TEST(RtfLongInputs, BlankParagraphsKeepTheirFormats) {
    auto document = readRtf("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                            "\\pard\\qc\\fs40\\par"
                            "\\pard\\qr\\f1\\fs16\\par"
                            "\\pard\\plain{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}\\fi-360\\li720\\par"
                            " bullet\\par"
                            "\\pard text\\par\\par}");
    QTextBlock block = document->begin();
    ASSERT_EQ(document->blockCount(), 6);
    EXPECT_EQ(block.blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(block.charFormat().fontPointSize(), 20);
    EXPECT_EQ(block.charFormat().fontFamilies().toStringList(), QStringList{"Arial"});
    block = block.next();
    EXPECT_EQ(block.blockFormat().alignment(), Qt::AlignRight);
    EXPECT_EQ(block.charFormat().fontPointSize(), 8);
    EXPECT_EQ(block.charFormat().fontFamilies().toStringList(), QStringList{"Courier New"});
    // A blank bullet is in the list with the bullet after it.
    block = block.next();
    EXPECT_TRUE(block.text().isEmpty());
    ASSERT_NE(block.textList(), nullptr);
    EXPECT_EQ(block.textList(), block.next().textList());
    EXPECT_EQ(block.charFormat().fontPointSize(), 12);
    block = block.next().next();
    EXPECT_EQ(block.text(), "text");
    EXPECT_EQ(block.textList(), nullptr);
    EXPECT_EQ(block.blockFormat().alignment(), Qt::AlignLeft);
    block = block.next();
    EXPECT_TRUE(block.text().isEmpty());
    EXPECT_EQ(block.textList(), nullptr);
}
