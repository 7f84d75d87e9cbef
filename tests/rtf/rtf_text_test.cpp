// Reading RTF as text alone must give exactly the text of the document read from it.
#include "bench/RtfSample.h"
#include "support/Files.h"
#include "support/rtf_test_support.h"

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <gtest/gtest.h>

#include <random>

namespace {

// Compares both readings of `data`; `what` names it in failures.
void expectSameText(QByteArrayView data, const QString& what) {
    QTextDocument document;
    const rtf::ReadResult result = rtf::read(data, document);
    rtf::ReadStatus status = rtf::ReadStatus::NotRtf;
    const QString text = rtf::readText(data, &status);
    EXPECT_EQ(status, result.status) << qPrintable(what);
    const QString expected = rtftest::plainText(document);
    if (text == expected)
        return;
    // Whole texts run to megabytes; where they part is what tells the fault.
    qsizetype at = 0;
    while (at < text.size() && at < expected.size() && text[at] == expected[at])
        ++at;
    ADD_FAILURE() << qPrintable(what) << ": texts part at " << at << " of " << expected.size()
                  << "\n  text:     " << qPrintable(text.mid(at - 20, 60))
                  << "\n  document: " << qPrintable(expected.mid(at - 20, 60));
}

// A body made of random pieces, among them every construct whose text the two readings could
// tell apart: paragraph and line breaks, no-break spaces, pictures, cells, hidden text, shapes,
// headers and footers, nested tables, list numbers.
QByteArray composedRtf(unsigned seed) {
    static const QByteArray picture =
        rtftest::pngPict({5, 3}, qRgb(10, 120, 200), "\\picw5\\pich3");
    // Separated by '|'.
    static const QList<QByteArray> pieces =
        QByteArray(
            "word |\\par |\\par\\par |\\line |\\~|\\u160?|\\u8232?|\\u8233?|\\u65532?|\\tab |"
            "\\page |x\\cell\\cell |{\\v hidden\\par}|{\\b bold}|\\pard\\ls1 listed |\\pard\\qc |"
            "caf\\'e9 |\\u-10179?\\u-9047?|\\\n|\\{\\}\\\\|\\plain |{\\f1 \\'b7}|{\\f1\\u-3913 ?}|"
            "{\\header head\\par}|{\\footerr\\pard foot\\cell x}|{\\nonesttables fallback\\par}|"
            "{\\listtext 7.\\tab}|\\trowd\\intbl a\\cell b\\cell\\row |"
            "\\pard\\li720\\fi-360{\\*\\pn\\pnlvlblt{\\pntxtb\\'B7}}item |"
            "{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt link}}|"
            "\\intbl\\itap2 n\\nestcell{\\nonesttables\\par}{\\*\\nesttableprops\\nestrow}"
            "{\\nonesttables\\par}")
            .split('|') +
        QList<QByteArray>{picture, "{\\v " + picture + "}",
                          "{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv " + picture +
                              "}}{\\shptxt inside\\par}}{\\shprslt fallback}}",
                          "{\\*\\shppict " + picture + "}{\\nonshppict{\\pict\\wmetafile8 00}}"};
    std::mt19937 random(seed);
    std::uniform_int_distribution<qsizetype> pick(0, pieces.size() - 1);
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}";
    for (int i = std::uniform_int_distribution(0, 60)(random); i > 0; --i)
        rtf += pieces[pick(random)];
    return rtf + "}";
}

} // namespace

TEST(RtfReadText, MatchesTheDocumentForEveryTestFile) {
    int files = 0;
    QDirIterator it(QStringLiteral(QUILLET_TEST_DATA "/rtf"), {"*.rtf"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        expectSameText(testfiles::read(path), path);
        ++files;
    }
    EXPECT_GE(files, 50);
}

TEST(RtfReadText, MatchesTheDocumentForGeneratedFiles) {
    for (unsigned seed = 1; seed <= 3; ++seed)
        expectSameText(rtfsample::generate(100'000, seed), QString("sample %1").arg(seed));
    for (unsigned seed = 1; seed <= 300; ++seed)
        expectSameText(composedRtf(seed), QString("composed %1").arg(seed));
}

TEST(RtfReadText, MatchesTheDocumentAtTheEdges) {
    const char* cases[] = {
        "",
        "plain text",
        "{\\rtf1}",
        "{\\rtf1\\par\\par}",
        "\xEF\xBB\xBF \r\n{\\rtf1 a}",
        "{\\rtf1 a\\par}after the end",
        "{\\rtf1 a{\\b b",
        "{\\rtf1 \\u8232?\\par\\u160?}",
    };
    for (const char* rtf : cases)
        expectSameText(rtf, QString::fromUtf8(rtf));
}

// Text read alone takes a paragraph's runs as one and decodes bytes as they come; each run must
// still be cleaned and decoded on its own, as the document takes it, and each font keep its own
// code page.
TEST(RtfReadText, RunsOfAParagraphReadAsTheDocumentReadsThem) {
    const QByteArray fonts = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 A;}{\\f8\\fcharset204 B;}"
                             "{\\f2\\fcharset128 C;}{\\f16\\fcharset161 D;}}";
    const struct {
        const char* name;
        QByteArray rtf;
        const char16_t* text;
    } cases[] = {
        {"a surrogate pair split by a change of format is two lone halves",
         fonts + "a\\u-10179?{\\b \\u-9047?}b}", u"a\uFFFD\uFFFDb"},
        {"a pair in one run stays a pair", fonts + "a{\\b \\u-10179?\\u-9047?}b}", u"a\U0001F4A9b"},
        {"a double-byte character split by a change of format", fonts + "\\f2 x\\'82{\\b \\'a0}y}",
         nullptr},
        {"a double-byte character whole in one run", fonts + "\\f2 x{\\b \\'82\\'a0}y}",
         u"x\u3042y"},
        {"fonts that share a place among the fonts remembered keep their code pages",
         fonts + "\\f0 \\'e9\\f8 \\'e9{\\b\\f0 \\'e9}\\f16 \\'e9\\f8 \\'e9\\plain \\'e9}",
         u"\u00e9\u0439\u00e9\u03b9\u0439\u00e9"},
        {"control characters dropped on both sides of a change of format",
         fonts + "a\\u1?{\\i \\u2?b\\u31?}\\'01c}", u"abc"},
        {"hidden text between runs", fonts + "a{\\v hidden}{\\b b}{\\v\\b x}c}", u"abc"},
        {"blank runs before a late font table still start the body",
         "{\\rtf1\\ansi {\\b  }{\\i  }{\\fonttbl{\\f0\\fcharset204 X;}}\\f0 \\'e9}", nullptr},
        {"reserved characters in runs of their own",
         fonts + "a{\\b \\u65532?}\\u8233?{\\i\\u-2?}b}", u"a\uFFFD\uFFFD\uFFFDb"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectSameText(c.rtf, QString::fromUtf8(c.name));
        if (c.text) {
            EXPECT_EQ(rtf::readSavedText(c.rtf), QString::fromUtf16(c.text));
        }
    }
}

// A save's text has its line breaks as line ends, wherever they fall among the characters the
// collector looks at eight at a time.
TEST(RtfReadText, SavedTextEndsLinesWhereverTheBreakFalls) {
    for (int at = 0; at <= 17; ++at) {
        SCOPED_TRACE(at);
        const QByteArray words = "abcdefghijklmnopq";
        const QByteArray rtf =
            "{\\rtf1 " + words.left(at) + "\\line " + words.mid(at) + "\\u65533?\\u8232?}";
        EXPECT_EQ(rtf::readSavedText(rtf),
                  QString(words.left(at) + "\n" + words.mid(at)) + QChar(0xFFFD) + u'\n');
    }
}
