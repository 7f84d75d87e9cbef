#include "support/rtf_test_support.h"

#include "model/DocumentProperties.h"
#include "model/Twips.h"
#include "rtf/RtfKeptGroups.h"
#include "rtf/RtfWriter.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <gtest/gtest.h>

#include <functional>

using rtftest::charFormatAt;
using rtftest::readRtf;

namespace {

const QByteArray header = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
                          "{\\colortbl;\\red255\\green0\\blue0;}";

// What the document must hold for a property: the format of the paragraph "x" starts and of the
// character "x".
struct Held {
    QTextBlockFormat block;
    QTextCharFormat chars;
};

Held heldBy(const QTextDocument& document) {
    const int at = int(document.toPlainText().indexOf(u'x'));
    return {document.findBlock(std::max(at, 0)).blockFormat(), charFormatAt(document, at)};
}

} // namespace

// Each property the reader understands: read into the document, written back with the words that
// say it, and read again to the same document; a save of that is the same bytes.
TEST(RtfKeptProperties, EachPropertyIsReadWrittenAndReadAgain) {
    using Check = std::function<bool(const Held&)>;
    const struct {
        const char* name;
        QByteArray body;
        QByteArray written; // words the save must hold
        Check holds;
    } cases[] = {
        {"line spacing, a multiple", "\\pard\\sl360\\slmult1 x\\par", "\\sl360\\slmult1",
         [](const Held& h) {
             return h.block.lineHeightType() == QTextBlockFormat::ProportionalHeight &&
                    h.block.lineHeight() == 150;
         }},
        {"line spacing, an odd multiple keeps its twips", "\\pard\\sl259\\slmult1 x\\par",
         "\\sl259\\slmult1",
         [](const Held& h) {
             return h.block.lineHeightType() == QTextBlockFormat::ProportionalHeight;
         }},
        {"line spacing, at least", "\\pard\\sl300\\slmult0 x\\par", "\\sl300\\slmult0",
         [](const Held& h) {
             return h.block.lineHeightType() == QTextBlockFormat::MinimumHeight &&
                    Twips::fromLayout(h.block.lineHeight()) == 300;
         }},
        {"line spacing, exactly", "\\pard\\sl-280 x\\par", "\\sl-280\\slmult0",
         [](const Held& h) {
             return h.block.lineHeightType() == QTextBlockFormat::FixedHeight &&
                    Twips::fromLayout(h.block.lineHeight()) == 280;
         }},
        {"a page break before", "\\pard a\\par\\pard\\pagebb x\\par", "\\pagebb",
         [](const Held& h) {
             return h.block.pageBreakPolicy() == QTextFormat::PageBreak_AlwaysBefore;
         }},
        {"a page break ends the paragraph", "\\pard x\\page b\\par", "x\\page",
         [](const Held& h) {
             return h.block.pageBreakPolicy() == QTextFormat::PageBreak_AlwaysAfter;
         }},
        {"tab stops, written in position order", "\\pard\\tx14400\\tx2160\\tx4320 x\\par",
         "\\tx2160\\tx4320\\tx14400",
         [](const Held& h) { return h.block.tabPositions().size() == 3; }},
        {"capitals", "{\\caps x}", "\\caps x",
         [](const Held& h) { return h.chars.fontCapitalization() == QFont::AllUppercase; }},
        {"small capitals", "{\\scaps x}", "\\scaps x",
         [](const Held& h) { return h.chars.fontCapitalization() == QFont::SmallCaps; }},
        {"capitals turned off", "{\\caps a\\caps0 x}", "\\caps0 x",
         [](const Held& h) { return h.chars.fontCapitalization() == QFont::MixedCase; }},
        {"double underline, which Qt draws single", "{\\uldb x}", "\\uldb x",
         [](const Held& h) {
             return h.chars.underlineStyle() == QTextCharFormat::SingleUnderline &&
                    h.chars.hasProperty(DocumentProperty::UnderlineKind);
         }},
        {"dotted underline", "{\\uld x}", "\\uld x",
         [](const Held& h) {
             return h.chars.underlineStyle() == QTextCharFormat::DotLine &&
                    !h.chars.hasProperty(DocumentProperty::UnderlineKind);
         }},
        {"thick dashes", "{\\ulthdash x}", "\\ulthdash x",
         [](const Held& h) { return h.chars.underlineStyle() == QTextCharFormat::DashUnderline; }},
        {"wave", "{\\ulwave x}", "\\ulwave x",
         [](const Held& h) { return h.chars.underlineStyle() == QTextCharFormat::WaveUnderline; }},
        {"words only", "{\\ulw x}", "\\ulw x",
         [](const Held& h) { return h.chars.fontUnderline(); }},
        {"underline off", "{\\uldb a\\ul0 x}", "\\ulnone x",
         [](const Held& h) { return h.chars.underlineStyle() == QTextCharFormat::NoUnderline; }},
        {"raised by an amount", "{\\up6 x}", "\\up6 x",
         [](const Held& h) {
             return h.chars.verticalAlignment() == QTextCharFormat::AlignSuperScript &&
                    h.chars.intProperty(DocumentProperty::RaisedBy) == 6;
         }},
        {"lowered by an amount", "{\\dn4 x}", "\\dn4 x",
         [](const Held& h) {
             return h.chars.verticalAlignment() == QTextCharFormat::AlignSubScript &&
                    h.chars.intProperty(DocumentProperty::RaisedBy) == -4;
         }},
        {"a raise ends with its own word", "{\\dn4 a}x", "\\dn0 x",
         [](const Held& h) { return h.chars.verticalAlignment() == QTextCharFormat::AlignNormal; }},
        {"a dotted tab leader", "\\pard\\tldot\\tqr\\tx5000 x\\par", "\\tldot\\tqr\\tx5000",
         [](const Held& h) {
             return h.block.property(DocumentProperty::TabLeaders).value<QList<int>>() ==
                    QList<int>{5000, 1};
         }},
        {"leaders on some stops only", "\\pard\\tx1000\\tleq\\tx2000 x\\par",
         "\\tx1000\\tleq\\tx2000",
         [](const Held& h) {
             return h.block.tabPositions().size() == 2 &&
                    h.block.property(DocumentProperty::TabLeaders).value<QList<int>>() ==
                        QList<int>{2000, 6};
         }},
        {"a paragraph style's font and size",
         "{\\stylesheet{\\fs20 Normal;}{\\s1\\sbasedon0\\f1\\b heading;}}\\pard\\plain\\s1 x\\par",
         "\\fs20\\b x",
         [](const Held& h) {
             return h.chars.fontPointSize() == 10 && h.chars.fontWeight() == QFont::Bold &&
                    h.chars.fontFamilies().toStringList() == QStringList{"Courier New"};
         }},
        {"style 0 for text that names none, its characters only",
         "{\\stylesheet{\\ql\\sa120\\fs20 Normal;}}\\pard\\plain x\\par", "\\pard\\fs20 x",
         [](const Held& h) {
             return h.chars.fontPointSize() == 10 && h.block.bottomMargin() == 0;
         }},
        {"a character style is no paragraph's",
         "{\\stylesheet{\\fs20 Normal;}{\\*\\cs10\\fs40 big;}}\\pard\\plain x\\par", "\\fs20 x",
         [](const Held& h) { return h.chars.fontPointSize() == 10; }},
        {"double-byte text shows in its low-ANSI font, its own beside",
         "{\\loch\\af0\\hich\\af0\\dbch\\f1 x}", "\\dbch\\af1\\loch",
         [](const Held& h) {
             return h.chars.fontFamilies().toStringList() == QStringList{"Arial"} &&
                    h.chars.stringProperty(DocumentProperty::AsianFont) == "Courier New";
         }},
        {"the low-ANSI font named last is the text's", "{\\hich\\af0\\dbch\\af1\\loch\\f1 x}",
         "{\\fonttbl{\\f0\\fnil\\fcharset0 Courier New;}}",
         [](const Held& h) {
             return h.chars.fontFamilies().toStringList() == QStringList{"Courier New"} &&
                    !h.chars.hasProperty(DocumentProperty::AsianFont);
         }},
        {"a right-to-left font is no text's", "{\\rtlch\\af1\\ltrch\\f0 x}", "",
         [](const Held& h) {
             return h.chars.fontFamilies().toStringList() == QStringList{"Arial"} &&
                    !h.chars.hasProperty(DocumentProperty::AsianFont);
         }},
        {"paragraph words kept", "\\pard\\keepn\\widctlpar x\\par", "\\keepn\\widctlpar",
         [](const Held& h) {
             return h.block.stringProperty(DocumentProperty::KeptParagraphWords) ==
                    "\\keepn\\widctlpar";
         }},
        {"character words kept, the last of a name", "{\\lang1033\\kerning28\\lang1031 x}",
         "\\kerning28\\lang1031 x",
         [](const Held& h) {
             return h.chars.stringProperty(DocumentProperty::KeptCharacterWords) ==
                    "\\kerning28\\lang1031";
         }},
        {"kept words undone by the run after", "{\\lang1031 a}x", "\\plain",
         [](const Held& h) { return !h.chars.hasProperty(DocumentProperty::KeptCharacterWords); }},
        {"hidden text before the character after it", "a{\\v secret}x", "{\\plain\\f0\\v secret}x",
         [](const Held& h) {
             return h.chars.property(DocumentProperty::HiddenText).value<QList<int>>().size() == 1;
         }},
        {"hidden text at a paragraph's end stays before its mark", "\\pard x{\\b\\v tail}\\par b",
         "{\\plain\\f0\\b\\v tail}\\par",
         [](const Held& h) {
             return h.block.property(DocumentProperty::HiddenText).value<QList<int>>().size() == 1;
         }},
        {"hidden text in its own font and colour", "{\\f1\\cf1\\v red}x",
         "{\\plain\\f1\\cf1\\v red}x", [](const Held&) { return true; }},
        {"hidden text that opens a group it does not close", "{\\v a{\\b b}{\\i c\\v0 x}}",
         "{\\plain\\f0\\v a{\\b b}{\\i c}}", [](const Held&) { return true; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray file = header + c.body + "}";
        const auto read = readRtf(file);
        EXPECT_TRUE(c.holds(heldBy(*read)));
        const QByteArray saved = rtf::write(*read);
        EXPECT_TRUE(saved.contains(c.written)) << saved.constData();
        const auto again = readRtf(saved);
        EXPECT_TRUE(c.holds(heldBy(*again))) << saved.constData();
        EXPECT_EQ(rtftest::blockText(*again), rtftest::blockText(*read));
        EXPECT_EQ(rtf::write(*again).toStdString(), saved.toStdString());
    }
}

// Hidden text is in no text the reader gives: not the document's, not the text a save as plain
// text writes. (A hidden paragraph mark still ends its paragraph.)
TEST(RtfKeptProperties, HiddenTextIsInNoText) {
    const QByteArray file = header + "Shown {\\v hidden }words{\\v more}.\\par}";
    EXPECT_EQ(rtftest::blockText(*readRtf(file)), "Shown words.");
    EXPECT_EQ(rtf::readSavedText(file), "Shown words.");
    EXPECT_EQ(rtf::readText(file), "Shown words.");
}

// A field amid hidden text (here with hidden text of its own before its result) is written back
// once, however often saved.
TEST(RtfKeptProperties, AFieldAmidHiddenTextIsWrittenOnce) {
    const QByteArray file = header + "Shown {\\v note {\\field{\\*\\fldinst HYPERLINK "
                                     "\"https://example.org\"}v\\fldrslt {site}}}words\\par}";
    const QByteArray saved = rtf::write(*readRtf(file));
    EXPECT_EQ(saved.count("fldinst"), 1) << saved.constData();
    EXPECT_EQ(rtf::write(*readRtf(saved)), saved);
}

// Hidden text that starts with an escaped backslash or brace keeps the escape whole.
TEST(RtfKeptProperties, HiddenTextStartingWithAnEscapeKeepsIt) {
    for (const char* hidden : {"\\\\", "\\{", "\\}"}) {
        const QByteArray file = header + "Shown {\\v" + hidden + "}words\\par}";
        const QByteArray saved = rtf::write(*readRtf(file));
        EXPECT_TRUE(saved.contains(QByteArray("\\v ") + hidden + "}")) << saved.constData();
        EXPECT_EQ(rtf::write(*readRtf(saved)), saved);
    }
}

// Hidden text at the start of a nested cell stays in that cell.
TEST(RtfKeptProperties, HiddenTextInANestedCellIsKept) {
    const QByteArray saved = rtf::write(*readRtf(
        header + "\\trowd\\cellx1440\\cellx2880\\pard\\intbl\\cell\\pard\\intbl\\itap2{\\v "
                 "hid}x\\nestcell{\\*\\nesttableprops\\trowd\\cellx1440\\nestrow}{\\nonesttables"
                 "\\par}\\pard\\intbl\\itap1\\cell\\row}"));
    EXPECT_TRUE(saved.contains("\\itap2{\\plain\\f0\\v hid}x\\nestcell")) << saved.constData();
}

// A word of the whole document inside hidden text changes nothing.
TEST(RtfKeptProperties, DocumentWordsInHiddenTextDoNotAct) {
    const QByteArray file = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier "
                            "New;}}A{\\v \\deff1 x\\deff1 y}b\\par}";
    const QByteArray saved = rtf::write(*readRtf(file));
    EXPECT_FALSE(saved.contains("Courier")) << saved.constData();
    EXPECT_TRUE(saved.contains("\\v x\\deff1 y}b")) << saved.constData();
    EXPECT_EQ(rtf::write(*readRtf(saved)), saved);
}

// A footnote or header in hidden text is hidden with it, wherever the hidden text stands.
TEST(RtfKeptProperties, GroupsInHiddenTextAreKeptWithIt) {
    for (const char* body : {"a{\\footnote x}", "a{\\footnote x}c", "{\\header h\\par}"}) {
        const QByteArray saved = rtf::write(*readRtf(header + "A{\\v " + body + "}b\\par}"));
        EXPECT_TRUE(saved.contains(QByteArray("{\\plain\\f0\\v ") + body + "}b"))
            << saved.constData();
        EXPECT_EQ(rtf::write(*readRtf(saved)), saved);
    }
}

// A row's definition in hidden text (as where a hidden row mark carries it) defines the row and
// is not kept with the hidden text.
TEST(RtfKeptProperties, RowWordsInHiddenTextDefineTheRow) {
    const QByteArray saved = rtf::write(*readRtf(
        header + "\\trowd\\trgaph108\\cellx1440\\pard\\intbl a{\\v h\\trgaph300 i}\\cell{\\v "
                 "x\\trowd\\trgaph200\\cellx2880\\row}\\pard b\\par}"));
    EXPECT_TRUE(saved.contains("\\trgaph200\\trleft0\\cellx2880")) << saved.constData();
    EXPECT_FALSE(saved.contains("\\v h\\trgaph")) << saved.constData();
    EXPECT_EQ(rtf::write(*readRtf(saved)), saved);
}

// Hidden text in a colour the file's table does not hold is written in none, as it reads back.
TEST(RtfKeptProperties, HiddenTextInAMissingColourSavesAsItReadsBack) {
    const QByteArray saved = rtf::write(*readRtf(header + "Shown {\\cf5\\v hidden}words\\par}"));
    EXPECT_FALSE(saved.contains("\\cf")) << saved.constData();
    EXPECT_EQ(rtf::write(*readRtf(saved)), saved);
}

// Text typed after a character that carries hidden text takes its format: the hidden text is
// written once, before the first of them.
TEST(RtfKeptProperties, HiddenTextIsWrittenOnceWhateverTakesItsFormat) {
    auto document = readRtf(header + "a{\\v secret}bc}");
    QTextCursor cursor(document.get());
    cursor.setPosition(2);
    cursor.insertText("typed");
    const QByteArray saved = rtf::write(*document);
    EXPECT_EQ(saved.count("secret"), 1) << saved.constData();
    EXPECT_EQ(rtftest::blockText(*readRtf(saved)), "abtypedc");
}

// A new underline replaces the file's kind; a new raise, which the pane sets as superscript,
// replaces the file's amount.
TEST(RtfKeptProperties, AChangedFormatDropsWhatTheFileSaidOfTheOldOne) {
    auto document = readRtf(header + "{\\uldb\\up6 x}}");
    QTextCursor cursor(document.get());
    cursor.setPosition(0);
    cursor.setPosition(1, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    cursor.mergeCharFormat(format);
    const QByteArray saved = rtf::write(*document);
    EXPECT_TRUE(saved.contains("\\ulwave\\sub x")) << saved.constData();
    EXPECT_FALSE(saved.contains("\\uldb")) << saved.constData();
}

// Text moved into another document takes its hidden text along, renumbered among that document's
// kept groups, whether a character or a paragraph mark carries it. (Qt gives a moved first
// paragraph the format of the one it joins: the paragraph is the second.)
TEST(RtfKeptProperties, MovedTextTakesItsHiddenTextAlong) {
    auto owner = readRtf(header + "{\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} own\\par}");
    auto moved = readRtf(header + "x\\par a{\\v inner}b{\\v tail}\\par c}");
    rtf::KeptGroups::adopt(*moved, rtf::KeptGroups::load(*moved), *owner);
    QTextCursor end(owner.get());
    end.movePosition(QTextCursor::End);
    end.insertFragment(QTextDocumentFragment(moved.get()));
    const QByteArray saved = rtf::write(*owner);
    EXPECT_TRUE(saved.contains("{\\plain\\f0\\v inner}b{\\plain\\f0\\v tail}"))
        << saved.constData();
    EXPECT_TRUE(saved.contains("\\fldinst PAGE")) << saved.constData();
}

// A paragraph split in two carries its hidden text in both halves' formats: it is written once.
TEST(RtfKeptProperties, HiddenTextOfASplitParagraphIsWrittenOnce) {
    auto document = readRtf(header + "ab{\\v tail}\\par}");
    QTextCursor cursor(document.get());
    cursor.setPosition(1);
    cursor.insertBlock();
    const QByteArray saved = rtf::write(*document);
    EXPECT_EQ(saved.count("tail"), 1) << saved.constData();
}
