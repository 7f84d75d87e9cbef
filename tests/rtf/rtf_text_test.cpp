// Reading RTF as text alone must give exactly the text of the document read from it.
#include "support/Files.h"
#include "support/rtf_test_support.h"

#include <QDirIterator>
#include <gtest/gtest.h>

namespace {

// The text read alone and the document's text, with the same status.
void expectSameText(QByteArrayView data, const QString& what) {
    QTextDocument document;
    const rtf::ReadResult result = rtf::read(data, document);
    rtf::ReadStatus status = rtf::ReadStatus::NotRtf;
    EXPECT_EQ(rtf::readText(data, &status), rtftest::plainText(document)) << qPrintable(what);
    EXPECT_EQ(status, result.status) << qPrintable(what);
}

} // namespace

// The fuzz seeds among the files hold every construct whose text the two readings could tell
// apart, in several orders, and inputs cut short or running on past their last group.
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
