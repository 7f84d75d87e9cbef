// Lists as other word processors write them: one list's items count on across the paragraphs
// between them, each level on its own, in the level's own text; saving keeps every number.
#include "storage/DocumentDefaults.h"
#include "support/Files.h"
#include "support/rtf_test_support.h"

#include "model/ListNumbers.h"
#include "rtf/RtfWriter.h"

#include <QTextList>
#include <gtest/gtest.h>

using rtftest::readRtf;

namespace {

QByteArray reportFile() {
    return testfiles::read(QUILLET_TEST_DATA "/rtf/report-lists.rtf");
}

// Each paragraph as "number|text", the number as drawn before it.
QStringList numbered(const QTextDocument& document) {
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        lines << ListNumbers::itemText(block) + u'|' + block.text();
    return lines;
}

// Each paragraph of the report as "number|text", the number as it must be drawn.
QStringList reportNumbers() {
    return QString::fromUtf8(testfiles::read(QUILLET_TEST_DATA "/rtf/report-lists.numbers"))
        .split(u'\n', Qt::SkipEmptyParts);
}

// `items` paragraphs of one decimal list, a plain paragraph after every `plainEvery`, and at
// item `nestedAt` three items a level deeper.
QByteArray longList(int items, int plainEvery, int nestedAt) {
    QByteArray rtf = "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat1"
                     "{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}{\\listlevel\\levelnfc4"
                     "{\\leveltext\\'02\\'01.;}{\\levelnumbers\\'01;}}\\listid9}}"
                     "{\\*\\listoverridetable{\\listoverride\\listid9\\ls1}}";
    for (int i = 1; i <= items; ++i) {
        rtf += "\\pard\\fi-360\\li360\\ls1 item " + QByteArray::number(i) + "\\par";
        if (i == nestedAt) {
            for (int j = 1; j <= 3; ++j)
                rtf += "\\pard\\fi-360\\li720\\ls1\\ilvl1 sub " + QByteArray::number(j) + "\\par";
        }
        if (i % plainEvery == 0)
            rtf += "\\pard plain\\par";
    }
    return rtf + "}";
}

} // namespace

TEST(RtfListNumbers, ListsCountAcrossParagraphsAndLevelsAsWrittenAndAfterASave) {
    auto document = readRtf(reportFile());
    EXPECT_EQ(numbered(*document), reportNumbers());
    const QByteArray saved = rtf::write(*document);
    auto reopened = readRtf(saved);
    EXPECT_EQ(numbered(*reopened), reportNumbers()) << saved.constData();
    EXPECT_EQ(rtf::write(*reopened), saved);
    // Readers without lists see the numbers as text; the list words carry them for the others.
    for (const char* words : {"{\\listtext 2.1\\tab}", "{\\listtext (c)\\tab}",
                              "{\\listtext III.\\tab}", "\\ls1\\ilvl2", "\\levelstartat3"})
        EXPECT_TRUE(saved.contains(words)) << words;
}

TEST(RtfListNumbers, CuttingLongListsForSpeedChangesNoNumber) {
    auto document = readRtf(longList(700, 90, 300));
    QStringList expected;
    for (int i = 1; i <= 700; ++i) {
        expected << QString::number(i) + ".|item " + QString::number(i);
        if (i == 300)
            expected << "a.|sub 1"
                     << "b.|sub 2"
                     << "c.|sub 3";
        if (i % 90 == 0)
            expected << "|plain";
    }
    EXPECT_EQ(numbered(*document), expected);
    EXPECT_LE(document->begin().textList()->count(), ListNumbers::itemsPerList);
    // Saved as cut, every number is written for readers without lists and read back.
    const QByteArray saved = rtf::write(*document);
    EXPECT_TRUE(saved.contains("{\\listtext 700.\\tab}"));
    EXPECT_EQ(numbered(*readRtf(saved)), expected);
    // Qt's own layout counts the same once the runs are joined.
    std::unique_ptr<QTextDocument> joined(document->clone());
    ListNumbers::joinRuns(*joined);
    EXPECT_EQ(numbered(*joined), expected);
    for (QTextBlock block = joined->begin(); block.isValid(); block = block.next()) {
        if (const QTextList* list = block.textList()) {
            ASSERT_EQ(list->itemText(block), ListNumbers::itemText(block)) << block.blockNumber();
        }
    }
}

namespace {

// A list table of one list whose first level is `level` (the words inside its \listlevel).
QByteArray withList(const QByteArray& level, const QByteArray& body) {
    return "{\\rtf1{\\*\\listtable{\\list{\\listlevel" + level +
           "}{\\listlevel\\levelnfc4{\\leveltext\\'02\\'01.;}{\\levelnumbers\\'01;}}\\listid3}}"
           "{\\*\\listoverridetable{\\listoverride\\listid3\\ls1}}" +
           body + "}";
}

// The numbers the list items draw, in order.
QStringList numbersOf(const QTextDocument& document) {
    QStringList numbers;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.textList())
            numbers << ListNumbers::itemText(block);
    }
    return numbers;
}

} // namespace

TEST(RtfListNumbers, LevelsDrawTheirNumbersAsTheirListTableSays) {
    const QByteArray three = "\\pard\\ls1 a\\par\\pard\\ls1 b\\par\\pard\\ls1 c\\par";
    const struct {
        const char* name;
        QByteArray rtf;
        QStringList numbers;
    } cases[] = {
        {"decimal from 01",
         withList("\\levelnfc22{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}", three),
         {"01.", "02.", "03."}},
        {"placeholders without \\levelnumbers",
         withList("\\levelnfc0{\\leveltext\\'03(\\'00);}", three),
         {"(1)", "(2)", "(3)"}},
        {"text in \\u",
         withList("\\levelnfc0{\\leveltext\\'03\\u167 ?\\'00.;}", three),
         {"\u00A71.", "\u00A72.", "\u00A73."}},
        {"letters past z",
         withList("\\levelnfc3\\levelstartat26{\\leveltext\\'01\\'00;}", three),
         {"Z", "AA", "AB"}},
        {"roman from 0 falls back to digits",
         withList("\\levelnfc2\\levelstartat0{\\leveltext\\'02\\'00.;}", three),
         {"0.", "i.", "ii."}},
        {"another list of the same kind that starts elsewhere",
         "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}"
         "\\listid3}}{\\*\\listoverridetable{\\listoverride\\listid3\\ls1}{\\listoverride"
         "\\listid3\\listoverridecount1{\\lfolevel\\listoverridestartat\\levelstartat5}\\ls2}}"
         "\\pard\\ls1 a\\par\\pard\\ls1 b\\par\\pard\\ls2 c\\par\\pard\\ls2 d\\par}",
         {"1.", "2.", "5.", "6."}},
        {"a list number the table does not have is a bullet",
         withList("\\levelnfc0{\\leveltext\\'02\\'00.;}", "\\pard\\ls7 a\\par"),
         {"\u2022"}},
        {"\\pn bullets as older writers give them, carried on to the next paragraph",
         withList("\\levelnfc0", "{\\pntext\\'B7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}\\fi-360"
                                 "\\li720 one\\par{\\pntext\\'B7\\tab}two\\par\\pard three\\par"),
         {"\u2022", "\u2022"}},
        {"a list's \\ls wins over the \\pn given for older readers",
         withList("\\levelnfc4{\\leveltext\\'02\\'00);}",
                  "\\pard{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}\\ls1 a\\par"
                  "\\pard\\ls1{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}} b\\par"),
         {"a)", "b)"}},
        {"items in a table's cells count on with the list around them",
         withList("\\levelnfc0{\\leveltext\\'02\\'00.;}",
                  "\\pard\\ls1 a\\par\\trowd\\cellx2000\\cellx4000\\pard\\intbl\\ls1 b\\cell"
                  "\\pard\\intbl\\ls1 c\\cell\\row\\pard\\ls1 d\\par"),
         {"1.", "2.", "3.", "4."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto document = readRtf(c.rtf);
        EXPECT_EQ(numbersOf(*document), c.numbers);
        EXPECT_EQ(numbersOf(*readRtf(rtf::write(*document))), c.numbers);
    }
}

// Numbers follow edits: a new item renumbers those after it, and items of a deeper level count
// on once the item between them is gone.
TEST(RtfListNumbers, NumbersFollowEdits) {
    auto document = readRtf(reportFile());
    QTextCursor cursor(document->findBlockByNumber(1)); // "Introduction"
    cursor.movePosition(QTextCursor::EndOfBlock);
    cursor.insertBlock();
    cursor.insertText("Summary");
    QStringList numbers = numbered(*document);
    EXPECT_EQ(numbers[2], "2.|Summary");
    EXPECT_EQ(numbers[4], "3.|Scope");
    EXPECT_EQ(numbers[16], "5.|Results");
    // "Method" goes: its "Surveys" follows "Dredging" as "(d)".
    const QTextBlock method = document->findBlockByNumber(11);
    ASSERT_EQ(method.text(), "Method");
    cursor.setPosition(method.position() - 1);
    cursor.setPosition(method.position() + method.length() - 1, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    numbers = numbered(*document);
    EXPECT_EQ(numbers[10], "|Each of these is reported on below.");
    EXPECT_EQ(numbers[11], "(d)|Surveys");
    EXPECT_EQ(numbers[13], "(e)|Counts");
}
