#include "support/Files.h"
#include "support/rtf_test_support.h"

#include "pictures/RtfPicture.h"
#include "rtf/RtfWriter.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QRegularExpression>
#include <gtest/gtest.h>

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

namespace {

// The addresses the document's text links to, in order, each once.
QStringList linksOf(const QTextDocument& document) {
    QStringList links;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor() && !links.contains(format.anchorHref()))
                links << format.anchorHref();
        }
    }
    return links;
}

} // namespace

// What the peers' files hold beyond their text: headers, footers and footnotes are saved back,
// links show as links, pictures are drawn.
TEST(RtfPeerFiles, HeadersFootnotesLinksAndPicturesSurviveASave) {
    const struct {
        const char* file;
        QStringList links;
        int pictures; // drawn, none stood in for
        // Groups saved: headers, footers, footnotes, fields with a result.
        int headers, footers, footnotes, fields;
    } cases[] = {
        {"pandoc-notes", {"https://example.org/river", "https://example.org/data"}, 0, 0, 0, 2, 3},
        {"abiword-minutes", {"https://example.org/harbour"}, 1, 1, 1, 1, 1},
        // The office suite writes its pictures as shapes in fields, and its page styles' headers
        // once more in a table of its own that other readers pass over.
        {"office-report", {"https://example.org/berth"}, 2, 1, 1, 1, 4},
        {"headers-footers", {}, 0, 3, 1, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const QByteArray source = testfiles::read(dataFolder + "/" + c.file + ".rtf");
        auto document = readRtf(source);
        EXPECT_EQ(linksOf(*document), c.links);
        const auto shown = rtftest::pictures(*document);
        EXPECT_EQ(shown.size(), c.pictures);
        for (const auto& picture : shown)
            EXPECT_FALSE(rtf::isPlaceholder(picture.image));
        const QByteArray saved = rtf::write(*document);
        EXPECT_EQ(saved.count("{\\header"), c.headers);
        EXPECT_EQ(saved.count("{\\footer"), c.footers);
        EXPECT_EQ(saved.count("\\footnote"), c.footnotes);
        EXPECT_EQ(saved.count("{\\fldrslt"), c.fields);
        auto reopened = readRtf(saved);
        EXPECT_EQ(linksOf(*reopened), c.links);
        EXPECT_EQ(rtf::write(*reopened), saved);
    }
}
