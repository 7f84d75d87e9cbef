// Shapes a file can make as wide or as long as it likes: rows of more cells than a row holds,
// tables of many rows, font tables of many fonts. The document stays in proportion to what a
// window can lay out, and no text is lost.
#include "support/rtf_test_support.h"

#include <QTextFrame>
#include <QTextTable>
#include <gtest/gtest.h>

using rtftest::charFormatAt;
using rtftest::plainText;
using rtftest::readRtf;

namespace {

QList<const QTextTable*> tables(const QTextDocument& document) {
    QList<const QTextTable*> found;
    for (const QTextFrame* frame : document.rootFrame()->childFrames())
        found << qobject_cast<const QTextTable*>(frame);
    return found;
}

QByteArray numberedCells(int count) {
    QByteArray rtf;
    for (int i = 1; i <= count; ++i)
        rtf += QByteArray::number(i) + "\\cell ";
    return rtf;
}

QString numbersJoined(int from, int to, QChar separator) {
    QStringList numbers;
    for (int i = from; i <= to; ++i)
        numbers << QString::number(i);
    return numbers.join(separator);
}

} // namespace

// Cells past the 64th of a row follow its table, a row's worth to a paragraph: a cell holding
// thousands of them would be laid out whole each time the window shows it.
TEST(RtfWideShapes, CellsPastTheMostARowHoldsFollowTheTable) {
    const struct {
        const char* name;
        QByteArray body;
        int cells;
    } cases[] = {
        {"200 cells", "\\trowd\\cellx100\\intbl " + numberedCells(200) + "\\row\\pard end", 200},
        {"129 cells, the last row's worth just begun",
         "\\trowd\\cellx100\\intbl " + numberedCells(129) + "\\row\\pard end", 129},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray rtf = "{\\rtf1 " + c.body + "}";
        auto document = readRtf(rtf);
        const QList<const QTextTable*> found = tables(*document);
        ASSERT_EQ(found.size(), 1);
        EXPECT_EQ(found[0]->columns(), 64);
        EXPECT_EQ(found[0]->rows(), 1);
        QString expected = u'\n' + numbersJoined(1, 64, u'\t') + u'\n';
        for (int first = 65; first <= c.cells; first += 64)
            expected += numbersJoined(first, std::min(first + 63, c.cells), u'\t') + u'\n';
        EXPECT_EQ(plainText(*document), expected + "end");
        EXPECT_EQ(rtf::readText(rtf), plainText(*document));
    }
}

TEST(RtfWideShapes, ALongTableGoesOnAsTablesOfAFewHundredRows) {
    QByteArray rtf = "{\\rtf1 ";
    for (int row = 1; row <= 3000; ++row)
        rtf += "\\trowd\\cellx1000\\cellx2000\\intbl " + QByteArray::number(row) +
               "\\cell x\\cell\\row";
    rtf += "\\pard end}";
    auto document = readRtf(rtf);
    const QList<const QTextTable*> found = tables(*document);
    ASSERT_GT(found.size(), 1);
    int rows = 0;
    for (const QTextTable* table : found) {
        ASSERT_TRUE(table);
        EXPECT_LE(table->rows() * table->columns(), 1024);
        EXPECT_EQ(table->columns(), 2);
        EXPECT_EQ(table->cellAt(0, 0).firstCursorPosition().block().text(),
                  QString::number(rows + 1));
        rows += table->rows();
    }
    EXPECT_EQ(rows, 3000);
    EXPECT_EQ(rtf::readText(rtf), plainText(*document));
}

// Text in a font past the few thousand a document keeps takes the default font.
TEST(RtfWideShapes, FontsPastTheTablesFirstThousandsAreTheDefaultFont) {
    QByteArray rtf = "{\\rtf1\\deff0{\\fonttbl";
    for (int font = 0; font < 33000; ++font)
        rtf += "{\\f" + QByteArray::number(font) + "\\fnil Font " + QByteArray::number(font) + ";}";
    rtf += "}\\f10 a\\f32767 b\\f32768 c\\f32999 d}";
    auto document = readRtf(rtf);
    ASSERT_EQ(document->toPlainText(), "abcd");
    const struct {
        int position;
        const char* family;
    } expected[] = {{0, "Font 10"}, {1, "Font 32767"}, {2, "Font 0"}, {3, "Font 0"}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.position);
        EXPECT_EQ(
            charFormatAt(*document, e.position).property(QTextFormat::FontFamilies).toString(),
            QString::fromLatin1(e.family));
    }
}
