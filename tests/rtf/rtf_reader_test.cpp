#include "support/rtf_test_support.h"

#include "model/Twips.h"

#include <QTextList>
#include <gtest/gtest.h>

using rtftest::blockText;
using rtftest::charFormatAt;
using rtftest::readRtf;

namespace {

// A header like the ones real files carry: fonts in several charsets, and a colour table.
QByteArray withHeader(const char* body) {
    return QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}"
                      "{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\fswiss\\fcharset238 Arial CE;}"
                      "{\\f3\\fnil\\fcharset128 MS Gothic;}{\\f4\\fnil\\fcharset204\\cpg1253 Odd;}}"
                      "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}") +
           body + "}";
}

} // namespace

TEST(RtfReader, ReadsTextOfControlWordsAndDestinations) {
    const struct {
        const char* name;
        const char* body;
        const char16_t* expected;
    } cases[] = {
        {"paragraphs, final mark adds none", "a\\par b\\par", u"a\nb"},
        {"empty paragraphs in between", "a\\par\\par b", u"a\n\nb"},
        {"line, tab, page and section breaks", "a\\line b\\tab c\\page d\\sect e",
         u"a\u2028b\tc\nd\ne"},
        {"backslash before line break is a paragraph", "a\\\nb", u"a\nb"},
        {"special symbols",
         "\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\~\\-\\_",
         u"\u2014\u2013\u2022\u2018\u2019\u201C\u201D\u00A0\u00AD\u2011"},
        {"escaped braces and backslash", "\\{x\\}\\\\", u"{x}\\"},
        {"ansi code page", "caf\\'e9 \\'80", u"caf\u00E9 \u20AC"},
        {"font charset wins over ansicpg", "\\f2 \\'b9\\'e6", u"\u0105\u0107"},
        {"cpg wins over charset", "\\f4 \\'e1", u"\u03B1"},
        {"double-byte pairs", "\\f3 \\'82\\'a0\\'82\\'a2", u"\u3042\u3044"},
        {"double-byte pair with a plain trail byte", "\\f3 \\'83t", u"\u30D5"},
        {"symbol font", "\\f1 \\'b7\\'61\\'44", u"\u2022\u03B1\u0394"},
        {"unicode with fallback skipped", "\\u233?x\\u-10179?\\u-9047?", u"\u00E9x\U0001F4A9"},
        {"uc2 skips two fallback bytes", "\\uc2\\u12354\\'82\\'a0z", u"\u3042z"},
        {"uc0 skips nothing", "\\uc0\\u233 x", u"\u00E9x"},
        {"skip stops at group end", "{\\uc3\\u233 a}b", u"\u00E9b"},
        {"skip counts a hex escape as one", "\\u233\\'e9b", u"\u00E9b"},
        {"uc is group state", "{\\uc0}\\u233 ?x", u"\u00E9x"},
        {"ignorable unknown destination", "a{\\*\\unknownthing hidden {nested}}b", u"ab"},
        {"known non-text destinations", "a{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}}b", u"ab"},
        {"newer writers' destinations, their \\* lost or not",
         "a{\\themedata 504b0304}{\\colorschememapping 3c3f786d}{\\*\\datastore 01050000}"
         "{\\latentstyles\\lsdstimax376{\\lsdlockedexcept \\lsdqformat1 Normal;}}"
         "{\\*\\themedata 504b}b",
         u"ab"},
        {"unknown word in a plain group keeps text", "{\\foo x}", u"x"},
        {"hidden text is left out", "a{\\v secret}b\\v c\\v0 d", u"abd"},
        {"field keeps its result", "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}",
         u"link"},
        {"object keeps its result",
         "{\\object\\objemb{\\*\\objclass P}{\\objdata 0102}"
         "{\\result shown}}",
         u"shown"},
        {"unicode alternates read the unicode part", "{\\upr{ansi}{\\*\\ud{uni}}}", u"uni"},
        {"binary data never shows", "a{\\*\\blip\\bin4 {}}}}b", u"ab"},
        {"text after the outermost group is ignored", "a}b{c", u"a"},
        {"control characters are dropped", "\\uc0 a\\u0 \\u7 b\\u8233 c", u"ab\uFFFDc"},
        {"lone surrogates are replaced", "\\u-10179?a", u"\uFFFDa"},
    };
    for (const auto& c : cases) {
        auto document = readRtf(withHeader(c.body));
        EXPECT_EQ(blockText(*document), QString::fromUtf16(c.expected)) << c.name;
    }
}

TEST(RtfReader, ReadsCharacterFormats) {
    auto document = readRtf(withHeader(
        "plain \\b bold\\b0  \\i it\\i0  \\ul ul\\ulnone  \\uldb db\\ul0  \\strike st\\strike0 "
        "\\cf1 red\\cf0  \\highlight2 hi\\highlight0  {\\f2\\fs40 big} after "
        "\\b\\fs30\\plain reset \\super sup\\nosupersub"));
    const QString text = blockText(*document);
    auto at = [&](const char* word) {
        return charFormatAt(*document, int(text.indexOf(QLatin1String(word))));
    };
    EXPECT_EQ(at("plain").fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_EQ(at("plain").fontPointSize(), 12.0);
    EXPECT_EQ(at("plain").fontWeight(), QFont::Normal);
    EXPECT_EQ(at("bold").fontWeight(), QFont::Bold);
    EXPECT_TRUE(at("it").fontItalic());
    EXPECT_TRUE(at("ul").fontUnderline());
    EXPECT_TRUE(at("db").fontUnderline());
    EXPECT_TRUE(at("st").fontStrikeOut());
    EXPECT_EQ(at("red").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(at("hi").background().color(), QColor(0, 0, 255));
    EXPECT_EQ(at("hi").foreground().style(), Qt::NoBrush);
    EXPECT_EQ(at("big").fontFamilies().toStringList(), QStringList{"Arial CE"});
    EXPECT_EQ(at("big").fontPointSize(), 20.0);
    // The group's end restores what was set before it.
    EXPECT_EQ(at("after").fontPointSize(), 12.0);
    EXPECT_EQ(at("after").fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_EQ(at("reset").fontPointSize(), 12.0);
    EXPECT_EQ(at("reset").fontWeight(), QFont::Normal);
    EXPECT_EQ(at("sup").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    for (const char* word : {"plain", "bold", "it", "red", "reset"})
        EXPECT_FALSE(at(word).fontStrikeOut()) << word;
}

// Text that other editors show in places this document has no model for yet (list numbers
// written out) stays in the document, in a place that splits no paragraph of the body and
// repeats no word. Numbers given only as text are in the test files (listtext-only.rtf).
TEST(RtfReader, KeepsTextOtherEditorsShowElsewhere) {
    const struct {
        const char* name;
        const char* body;
        const char16_t* expected;
    } cases[] = {
        {"fallback text is read when no nested table came", "a{\\nonesttables\\par b}c", u"a\nbc"},
        {"list number left out when the list draws it, kept where none does",
         "{\\*\\listtable{\\list{\\listlevel\\levelnfc0}\\listid1}}"
         "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
         "{\\listtext 1.\\tab}\\ls1 one\\par\\pard{\\listtext 2.\\tab}two",
         u"one\n2.\ttwo"},
        {"a list number between cells", "a\\cell{\\listtext 3.\\tab}b", u"a\n\t3.\tb\n"},
        {"a list number with nothing after it", "a\\par{\\listtext 4.\\tab}", u"a"},
    };
    for (const auto& c : cases) {
        auto document = readRtf(withHeader(c.body));
        EXPECT_EQ(rtftest::plainText(*document), QString::fromUtf16(c.expected)) << c.name;
        EXPECT_EQ(rtf::readText(withHeader(c.body)), rtftest::plainText(*document)) << c.name;
    }
}

TEST(RtfReader, ReadsParagraphFormats) {
    auto document = readRtf(withHeader(
        "{\\qc grouped}\\par\\pard\\qc center\\par\\pard\\qr right\\par\\pard\\qj just\\par"
        "\\pard\\li720\\ri360\\fi-240\\sb120\\sa60\\tx1440\\tqr\\tx2880\\tqc\\tx3600\\tqdec\\tx4320"
        " indented\\par\\pard left"));
    QTextBlock block = document->begin();
    // Set in a group that closed before the paragraph's mark, the alignment no longer applies.
    for (Qt::Alignment alignment :
         {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight, Qt::AlignJustify}) {
        EXPECT_EQ(block.blockFormat().alignment(), alignment) << qPrintable(block.text());
        block = block.next();
    }
    const QTextBlockFormat f = block.blockFormat();
    EXPECT_EQ(Twips::fromLayout(f.leftMargin()), 720);
    EXPECT_EQ(Twips::fromLayout(f.rightMargin()), 360);
    EXPECT_EQ(Twips::fromLayout(f.textIndent()), -240);
    EXPECT_EQ(Twips::fromLayout(f.topMargin()), 120);
    EXPECT_EQ(Twips::fromLayout(f.bottomMargin()), 60);
    QStringList tabs; // where, and of which type: left, right, centre, decimal
    for (const QTextOption::Tab& tab : f.tabPositions())
        tabs << QStringLiteral("%1:%2").arg(Twips::fromLayout(tab.position)).arg(tab.type);
    EXPECT_EQ(tabs, QStringList({"1440:0", "2880:1", "3600:2", "4320:3"}));
    block = block.next();
    EXPECT_EQ(block.blockFormat().alignment(), Qt::AlignLeft);
    EXPECT_EQ(block.blockFormat().leftMargin(), 0);
    EXPECT_TRUE(block.blockFormat().tabPositions().isEmpty());
}

TEST(RtfReader, BlankParagraphsKeepTheirFormats) {
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

TEST(RtfReader, RefusesDataThatIsNotRtf) {
    QTextDocument document;
    document.setPlainText("keep me");
    for (const char* data : {"", "hello", "{\\rt", "<html>{\\rtf1}</html>"}) {
        const rtf::ReadResult result = rtf::read(QByteArrayView(data), document);
        EXPECT_EQ(result.status, rtf::ReadStatus::NotRtf) << data;
        EXPECT_EQ(document.toPlainText(), "keep me");
    }
    EXPECT_TRUE(rtf::read(QByteArrayView("\xEF\xBB\xBF {\\rtf1 x}"), document).ok());
    EXPECT_EQ(document.toPlainText(), "x");
}
