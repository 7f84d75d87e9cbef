#include "rtf_test_support.h"
#include "support/Files.h"

#include "platform/Twips.h"
#include "platform/rtf/RtfWriter.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QTextList>
#include <gtest/gtest.h>

#include <functional>

using rtftest::charFormatAt;
using rtftest::plainText;
using rtftest::readRtf;

namespace {

const QString dataFolder = QStringLiteral(QUILLET_TEST_DATA "/rtf");

} // namespace

TEST(RtfPeerFiles, EveryFileReadsAsItsExpectedTextAndKeepsItThroughSaveAndReopen) {
    const QStringList files = QDir(dataFolder).entryList({"*.rtf"}, QDir::Files);
    EXPECT_GE(files.size(), 3);
    for (const QString& name : files) {
        const QString expectedPath = dataFolder + "/" + QString(name).replace(".rtf", ".txt");
        ASSERT_TRUE(QFile::exists(expectedPath)) << qPrintable(name);
        auto document = readRtf(testfiles::read(dataFolder + "/" + name));
        EXPECT_EQ(plainText(*document), QString::fromUtf8(testfiles::read(expectedPath)))
            << qPrintable(name);
        const QByteArray saved = rtf::write(*document);
        auto reopened = readRtf(saved);
        EXPECT_EQ(plainText(*reopened), plainText(*document)) << qPrintable(name);
        EXPECT_EQ(rtf::write(*reopened), saved) << qPrintable(name);
    }
}

// What the synthetic reader tests cannot show: the formats as real files combine them.
TEST(RtfPeerFiles, KeyFormatsArePresent) {
    using Check = std::function<bool(const QTextCharFormat&, const QTextBlock&)>;
    const struct {
        const char* file;
        const char16_t* word;
        const char* what;
        Check check;
    } cases[] = {
        {"wordpad-bullets", u"Apples", "bulleted, its text at 720 twips after the bullet",
         [](auto&, auto& b) {
             return b.textList() && b.textList()->format().style() == QTextListFormat::ListDisc &&
                    Twips::fromLayout(b.blockFormat().leftMargin()) == 720 &&
                    b.blockFormat().textIndent() == 0;
         }},
        {"wordpad-bullets", u"Za\u017C\u00F3\u0142\u0107", "cp1250 font with its tab stops",
         [](auto& c, auto& b) {
             const auto tabs = b.blockFormat().tabPositions();
             return c.fontFamilies().toStringList() == QStringList{"Times New Roman CE"} &&
                    tabs.size() == 2 && tabs[1].type == QTextOption::RightTab &&
                    Twips::fromLayout(tabs[1].position) == 4320;
         }},
        {"abiword-letter", u"Centered", "centred bold",
         [](auto& c, auto& b) {
             return c.fontWeight() == 700 && b.blockFormat().alignment() == Qt::AlignHCenter;
         }},
        {"abiword-letter", u"Alpha", "in a bullet list",
         [](auto&, auto& b) { return b.textList(); }},
    };
    for (const auto& c : cases) {
        auto document = readRtf(testfiles::read(dataFolder + "/" + c.file + ".rtf"));
        const QString word = QString::fromUtf16(c.word);
        const int at = int(document->toPlainText().indexOf(word));
        ASSERT_GE(at, 0) << c.file << ": " << qPrintable(word);
        EXPECT_TRUE(c.check(charFormatAt(*document, at), document->findBlock(at)))
            << c.file << ": " << qPrintable(word) << " should be " << c.what;
    }
}

namespace {

// The family names in an RTF font table.
QStringList fontTableNames(const QByteArray& rtf) {
    const QString table = QString::fromLatin1(rtf.mid(0, rtf.indexOf("}}") + 2));
    QStringList names;
    const QRegularExpression entry(R"(\{\\f\d+[^ ;{}]* ([^;{}]+);\})");
    for (auto it = entry.globalMatch(table); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

} // namespace

// Where the Symbol font is symbol-encoded, as on many systems, Qt shows no Unicode character in
// it and looks for none elsewhere: the characters read from it must be in a font that has them.
TEST(RtfPeerFiles, SymbolFontTextIsShownInAFontThatHasIt) {
    const int font =
        QFontDatabase::addApplicationFont(QUILLET_TEST_DATA "/fonts/symbol-encoded.ttf");
    ASSERT_GE(font, 0);
    ASSERT_TRUE(QFontDatabase::applicationFontFamilies(font).contains("Symbol"));
    const QByteArray source = testfiles::read(dataFolder + "/symbol-greek.rtf");
    auto document = readRtf(source);
    const QString text = document->toPlainText();
    for (const char16_t symbol : {u'\u2022', u'\u03B1', u'\u03B2', u'\u03B3', u'\u00B0'}) {
        const int at = int(text.indexOf(QChar(symbol)));
        ASSERT_GE(at, 0) << int(symbol);
        const QFont shown = charFormatAt(*document, at).font();
        EXPECT_TRUE(QFontMetrics(shown).inFontUcs4(symbol))
            << int(symbol) << " in " << qPrintable(shown.families().join(','));
    }
    // Saved as Unicode in the file's own text font: no font the system stood in with.
    const QByteArray saved = rtf::write(*document);
    const QStringList sourceNames = fontTableNames(source);
    for (const QString& name : fontTableNames(saved))
        EXPECT_TRUE(sourceNames.contains(name)) << qPrintable(name);
    EXPECT_EQ(readRtf(saved)->toPlainText(), text);
    QFontDatabase::removeApplicationFont(font);
}
