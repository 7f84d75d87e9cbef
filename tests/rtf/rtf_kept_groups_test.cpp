#include "support/rtf_test_support.h"

#include "model/DocumentProperties.h"
#include "rtf/RtfWriter.h"

#include <QRegularExpression>
#include <QTextCursor>
#include <gtest/gtest.h>

using rtftest::blockText;
using rtftest::charFormatAt;
using rtftest::readRtf;

namespace {

QByteArray withHeader(const QByteArray& body) {
    return "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}"
           "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}\\pard " +
           body + "}";
}

// Reads `rtf` and saves it. The fuzz seeds hold these inputs, for the checks of reading them as
// text alone and of saving what was saved.
QByteArray savedAfterReading(const QByteArray& rtf, QString* text = nullptr) {
    auto document = readRtf(rtf);
    if (text)
        *text = blockText(*document);
    return rtf::write(*document);
}

// The number a font name has in the font table of `rtf`.
int fontNumber(const QByteArray& rtf, const QString& name) {
    const QRegularExpression entry("\\{\\\\f(\\d+)[^ ;{}]* " + QRegularExpression::escape(name) +
                                   ";\\}");
    const auto match = entry.match(QString::fromLatin1(rtf));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

} // namespace

// The document window shows neither headers, footers nor footnotes, and of fields only their
// results: their groups and instructions are kept and saved as the file had them, wherever the
// file had them.
TEST(RtfKeptGroups, HeadersFootnotesAndFieldInstructionsAreSavedAsTheyWere) {
    const struct {
        const char* name;
        QByteArray body;
        const char16_t* text;
        QList<QByteArray> saved; // groups in the saved file, as they were
    } cases[] = {
        {"headers before the body",
         "{\\headerl L\\par}{\\headerr\\qc R}body",
         u"body",
         {"{\\headerl L\\par}", "{\\headerr\\qc R}"}},
        {"a later section's header follows its section break",
         "{\\header A\\par}a\\sect{\\header H\\par}b\\sect c",
         u"a\nb\nc",
         {"{\\header A\\par}\\pard a\\sect{\\header H\\par}", "b\\sect"}},
        {"a footer inside a paragraph", "a{\\footer F}b", u"ab", {"{\\footer F}"}},
        {"a footer's cells are its own",
         "x{\\footer\\intbl f\\cell g\\row}y",
         u"xy",
         {"{\\footer\\intbl f\\cell g\\row}"}},
        {"a header with a page number field",
         "{\\header Page {\\field{\\*\\fldinst PAGE}}}b",
         u"b",
         {"{\\header Page {\\field{\\*\\fldinst PAGE}}}"}},
        {"a footnote numbered by the document",
         "Text{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} The note.} goes on.",
         u"Text1 goes on.",
         {"{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} The note.}"}},
        {"footnotes counted in order",
         "a{\\chftn{\\footnote\\chftn one}}b{\\chftn{\\footnote\\chftn two}}",
         u"a1b2",
         {"{\\chftn}{\\footnote\\chftn one}", "{\\chftn}{\\footnote\\chftn two}"}},
        {"a footnote number without a footnote shows nothing and counts none",
         "x\\chftn y\\chftn{\\footnote n}",
         u"xy1",
         {"{\\chftn}{\\footnote n}"}},
        {"a footnote with a mark of its own",
         "See*{\\footnote * Custom.} end",
         u"See* end",
         {"*{\\footnote * Custom.}"}},
        {"a field without a result",
         "x {\\field{\\*\\fldinst PAGE}}y",
         u"x y",
         {"x {\\field{\\*\\fldinst PAGE}{\\fldrslt }}y"}},
        {"an empty field after all text stands before the last character",
         "ab{\\field{\\*\\fldinst SEQ}{\\fldrslt }}\\par",
         u"ab",
         {"a{\\field{\\*\\fldinst SEQ}{\\fldrslt }}b"}},
        {"a footnote written as ignorable",
         "x\\chftn{\\*\\footnote \\chftn n}",
         u"x1",
         {"{\\chftn}{\\*\\footnote \\chftn n}"}},
        {"page number",
         "Page {\\field{\\*\\fldinst PAGE}{\\fldrslt 3}} of 9",
         u"Page 3 of 9",
         {"{\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}"}},
        {"edited flags and formatted instruction",
         "{\\field\\fldedit{\\*\\fldinst {\\f1 DATE \\\\@ \"d MMMM\"}}{\\fldrslt {\\b 2 May}}}",
         u"2 May",
         {"{\\field\\fldedit{\\*\\fldinst {\\f1 DATE \\\\@ \"d MMMM\"}}{\\fldrslt "}},
        {"text inside the field's group, read once as the document's",
         "{\\field ab{\\*\\fldinst PAGE}c{\\fldrslt 3}}{\\field{x\\*\\fldinst PAGE}{\\fldrslt 4}}",
         u"abc3x4",
         {"c{\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}x4"}},
        {"a picture as the result",
         "{\\field{\\*\\fldinst INCLUDEPICTURE x.png}{\\fldrslt {\\pict\\pngblip 00}}}",
         u"\uFFFC",
         {"{\\field{\\*\\fldinst INCLUDEPICTURE x.png}{\\fldrslt {\\pict\\pngblip 00}}}\\par"}},
        {"a table of contents holding page references, over paragraphs",
         "{\\field{\\*\\fldinst TOC \\\\o}{\\fldrslt Intro\\tab {\\field{\\*\\fldinst PAGEREF "
         "_Toc1}{\\fldrslt 2}}\\par Close\\tab {\\field{\\*\\fldinst PAGEREF _Toc2}{\\fldrslt "
         "5}}}}\\par After",
         u"Intro\t2\nClose\t5\nAfter",
         {"{\\field{\\*\\fldinst TOC \\\\o}{\\fldrslt ",
          "{\\field{\\*\\fldinst PAGEREF _Toc1}{\\fldrslt 2}}",
          "{\\field{\\*\\fldinst PAGEREF _Toc2}{\\fldrslt 5}}}}"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString text;
        const QByteArray saved = savedAfterReading(withHeader(c.body), &text);
        EXPECT_EQ(text, QString::fromUtf16(c.text));
        for (const QByteArray& group : c.saved)
            EXPECT_TRUE(saved.contains(group)) << group.constData() << "\n" << saved.constData();
    }
    // Nothing is kept of a header the data cuts off, nor of one whose group had text before it
    // (that text is the body's).
    for (const QByteArray& rtf :
         {withHeader("a\\par{\\header H").chopped(1), withHeader("{x\\header H}b")}) {
        const QByteArray saved = savedAfterReading(rtf);
        EXPECT_FALSE(saved.contains("\\header")) << saved.constData();
    }
}

// Kept groups name fonts and colours by the numbers of the file they came from; saved, they name
// the same fonts and colours by the numbers of the saved file.
TEST(RtfKeptGroups, FontsAndColoursOfKeptGroupsAreRenumbered) {
    const QByteArray saved =
        savedAfterReading(withHeader("{\\footer\\f1\\cf2 Green code}{\\*\\cs9\\f99 x}body"));
    const int courier = fontNumber(saved, "Courier New");
    ASSERT_GE(courier, 0) << saved.constData();
    // Green is the only colour: the first entry of the saved table.
    EXPECT_TRUE(saved.contains("{\\colortbl ;\\red0\\green128\\blue0;}")) << saved.constData();
    EXPECT_TRUE(saved.contains("{\\footer\\f" + QByteArray::number(courier) + "\\cf1 Green code}"))
        << saved.constData();

    // A double-byte font keeps its character set, so the header's bytes read as they did.
    const QByteArray japanese = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f5\\fcharset128 Mincho;}}"
                                "{\\header\\f5 \\'82\\'a0}body}";
    const QByteArray savedJapanese = savedAfterReading(japanese);
    const int mincho = fontNumber(savedJapanese, "Mincho");
    ASSERT_GE(mincho, 0) << savedJapanese.constData();
    EXPECT_TRUE(savedJapanese.contains("\\f" + QByteArray::number(mincho) + "\\fnil\\fcharset128"))
        << savedJapanese.constData();
    EXPECT_TRUE(
        savedJapanese.contains("{\\header\\f" + QByteArray::number(mincho) + " \\'82\\'a0}"));
}

// A field that ends inside a paragraph it did not start in: the paragraph's format, written
// inside the field, is written again after it, where the paragraph mark takes it from.
TEST(RtfKeptGroups, AFieldEndingInAnotherParagraphWritesItsFormatAgain) {
    auto document = readRtf(
        withHeader("{\\field{\\*\\fldinst TOC}{\\fldrslt one\\par two}} three\\qr\\par end"));
    auto reopened = readRtf(rtf::write(*document));
    EXPECT_EQ(reopened->findBlockByNumber(1).text(), "two three");
    EXPECT_EQ(reopened->findBlockByNumber(1).blockFormat().alignment(), Qt::AlignRight);
}

// Editing inside a result keeps the field; deleting all of the result drops it.
TEST(RtfKeptGroups, AFieldLastsAsLongAsTextOfItsResult) {
    auto document = readRtf(withHeader("Total: {\\field{\\*\\fldinst =SUM(A1)}{\\fldrslt 42}}."));
    QTextCursor cursor(document.get());
    cursor.setPosition(8); // between 4 and 2
    cursor.insertText("0");
    EXPECT_TRUE(rtf::write(*document).contains("{\\field{\\*\\fldinst =SUM(A1)}{\\fldrslt 402}}"));
    cursor.setPosition(7);
    cursor.setPosition(10, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    const QByteArray saved = rtf::write(*document);
    EXPECT_FALSE(saved.contains("\\field")) << saved.constData();
    EXPECT_EQ(blockText(*readRtf(saved)), "Total: .");
}

// Text typed next to the character an empty field stands before takes its format, and the field
// with it; it is still written once.
TEST(RtfKeptGroups, AnEmptyFieldIsWrittenOnceWhateverIsTypedAroundIt) {
    auto document = readRtf(withHeader("x {\\field{\\*\\fldinst PAGE}}y"));
    QTextCursor cursor(document.get());
    cursor.setPosition(3);
    cursor.insertText("zz");
    cursor.insertBlock();
    cursor.insertText("w");
    const QByteArray saved = rtf::write(*document);
    EXPECT_EQ(saved.count("PAGE"), 1) << saved.constData();
    EXPECT_TRUE(saved.contains("{\\fldrslt }}yzz")) << saved.constData();
}

// A section's headers outlive the paragraph that ended the section.
TEST(RtfKeptGroups, HeadersOfASectionWhoseBreakIsGoneAreStillSaved) {
    auto document = readRtf(withHeader("a\\sect{\\header H\\par}b"));
    QTextCursor(document->begin()).setBlockFormat(QTextBlockFormat());
    const QByteArray saved = rtf::write(*document);
    EXPECT_EQ(saved.count("{\\header H\\par}"), 1) << saved.constData();
    EXPECT_EQ(rtf::write(*readRtf(saved)).count("{\\header H\\par}"), 1);
}
