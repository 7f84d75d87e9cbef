#include "rtf_test_support.h"
#include "support/Files.h"

#include "platform/Twips.h"
#include "platform/rtf/RtfWriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <gtest/gtest.h>

using rtftest::blockText;
using rtftest::readRtf;

TEST(RtfRobustness, HostileStructureReadsInBoundedTime) {
    const QByteArray deepOpen = "{\\rtf1 a" + QByteArray(100'000, '{') + "b";
    const QByteArray deepBalanced =
        "{\\rtf1 a" + QByteArray(100'000, '{') + "b" + QByteArray(100'000, '}') + "c}";
    const QByteArray deepSkipped =
        "{\\rtf1 a{\\*\\x" + QByteArray(100'000, '{') + QByteArray(100'000, '}') + "}b}";
    const struct {
        const char* name;
        QByteArray rtf;
        QString expected;
    } cases[] = {
        {"100000 groups never closed", deepOpen, "ab"},
        {"100000 groups closed", deepBalanced, "abc"},
        {"100000 groups in a skipped destination", deepSkipped, "ab"},
        {"more closes than opens", "{\\rtf1 a}}}}}b", "a"},
        {"truncated in a control word", "{\\rtf1 a\\pa", "a"},
        {"truncated in a font table", "{\\rtf1{\\fonttbl{\\f0 Ari", ""},
        {"truncated in a picture", "{\\rtf1 a{\\pict\\pngblip 8950", "a"},
        {"huge binary length", "{\\rtf1 a\\bin2147483647 xyz}", "a"},
        {"huge unicode skip", "{\\rtf1{\\uc2147483647\\u233 abc\\par}d}", "\u00E9d"},
        {"code points out of range", "{\\rtf1 \\u99999?\\u-99999?\\u2147483647?x}", "x"},
    };
    for (const auto& c : cases) {
        QElapsedTimer timer;
        timer.start();
        auto document = readRtf(c.rtf);
        EXPECT_LT(timer.elapsed(), 3000) << c.name;
        EXPECT_TRUE(blockText(*document).endsWith(c.expected))
            << c.name << ": " << qPrintable(blockText(*document));
    }
}

TEST(RtfRobustness, AbsurdValuesAreClamped) {
    auto document = readRtf("{\\rtf1\\fs999999999\\li-999999999\\ri999999999\\fi2147483647"
                            "\\sb-5\\tx99999999\\tx-3{\\colortbl;\\red9999\\green-1\\blue256;}"
                            "\\cf1\\cf-7\\f-3 x\\fs0 y\\par}");
    const QTextBlockFormat block = document->begin().blockFormat();
    EXPECT_EQ(Twips::fromLayout(block.leftMargin()), -31680);
    EXPECT_EQ(Twips::fromLayout(block.rightMargin()), 31680);
    EXPECT_EQ(Twips::fromLayout(block.textIndent()), 31680);
    EXPECT_EQ(block.topMargin(), 0);
    EXPECT_TRUE(block.tabPositions().isEmpty());
    const QTextCharFormat x = rtftest::charFormatAt(*document, 0);
    EXPECT_GT(x.fontPointSize(), 0);
    EXPECT_LE(x.fontPointSize(), 1638);
    EXPECT_FALSE(x.fontFamilies().toStringList().value(0).isEmpty());
    EXPECT_EQ(rtftest::charFormatAt(*document, 1).fontPointSize(), 12);
    // What was read writes and reads back the same.
    const QByteArray written = rtf::write(*document);
    EXPECT_EQ(rtf::write(*readRtf(written)), written);
}

TEST(RtfRobustness, EveryPrefixOfARealFileReads) {
    const QByteArray data = testfiles::read(QUILLET_TEST_DATA "/rtf/wordpad-bullets.rtf");
    ASSERT_FALSE(data.isEmpty());
    for (qsizetype length = 0; length <= data.size(); ++length) {
        QTextDocument document;
        rtf::read(QByteArrayView(data).first(length), document);
        QTextDocument again;
        ASSERT_TRUE(rtf::read(rtf::write(document), again).ok()) << length;
    }
}

TEST(RtfRobustness, FuzzFindingsReadAndWriteBack) {
    const QDir seeds(QUILLET_TEST_DATA "/rtf/fuzz-seeds");
    const QStringList names = seeds.entryList(QDir::Files);
    EXPECT_FALSE(names.isEmpty());
    for (const QString& name : names) {
        QTextDocument document;
        if (!rtf::read(testfiles::read(seeds.filePath(name)), document).ok())
            continue;
        const QByteArray written = rtf::write(document);
        auto reread = readRtf(written);
        EXPECT_EQ(blockText(*reread).size(), blockText(document).size()) << qPrintable(name);
        EXPECT_EQ(rtf::write(*reread), written) << qPrintable(name);
    }
}
