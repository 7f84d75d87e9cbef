#include "bench/RtfHostile.h"
#include "support/Files.h"
#include "support/rtf_test_support.h"

#include "model/Twips.h"
#include "rtf/RtfWriter.h"

#include <QDir>
#include <gtest/gtest.h>

using rtftest::blockText;
using rtftest::readRtf;

// How fast these read is measured in bench/rtf_bench.cpp.
TEST(RtfRobustness, HostileStructureReadsToTheEnd) {
    for (const auto& input : rtfhostile::inputs()) {
        auto document = readRtf(input.rtf);
        EXPECT_TRUE(blockText(*document).endsWith(input.textEnd))
            << input.name << ": " << qPrintable(blockText(*document));
    }
}

TEST(RtfRobustness, AbsurdValuesAreClamped) {
    auto document = readRtf(
        "{\\rtf1\\fs999999999\\li-999999999\\ri999999999\\fi2147483647"
        "\\sb-5\\sa40000\\tx32768\\tx99999999\\tx-3{\\colortbl;\\red9999\\green-1\\blue256;}"
        "\\cf1\\cf-7\\f-3 x\\fs0 y\\par}");
    const QTextBlockFormat block = document->begin().blockFormat();
    EXPECT_EQ(Twips::fromLayout(block.leftMargin()), -32767);
    EXPECT_EQ(Twips::fromLayout(block.rightMargin()), 32767);
    EXPECT_EQ(Twips::fromLayout(block.textIndent()), 32767);
    EXPECT_EQ(block.topMargin(), 0);
    EXPECT_EQ(Twips::fromLayout(block.bottomMargin()), 32767);
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
        EXPECT_EQ(reread->toPlainText(), document.toPlainText()) << qPrintable(name);
        EXPECT_EQ(rtf::write(*reread), written) << qPrintable(name);
    }
}
