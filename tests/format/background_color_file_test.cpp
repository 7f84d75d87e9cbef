#include "format/BackgroundColorFile.h"
#include "support/Files.h"
#include "text/Error.h"
#include "text/Runtime.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(BackgroundColorFile, StoresAndLoadsTheLineFormat) {
    QTemporaryDir dir;
    const QString doc = dir.filePath("a.rtf");
    EXPECT_EQ(BackgroundColorFile::load(doc), 16777215.0);
    struct Case {
        quint32 colour;
        QByteArray line;
    };
    for (const Case& c : {Case{255, " 255 \r\n"}, Case{16777215, " 16777215 \r\n"},
                          Case{0x80000005u, "-2147483643 \r\n"}, Case{0, " 0 \r\n"}}) {
        BackgroundColorFile::store(doc, c.colour);
        EXPECT_EQ(testfiles::read(dir.filePath("a.log")), c.line);
        QString line;
        EXPECT_EQ(quint32(Runtime::CLng(BackgroundColorFile::load(doc, &line))), c.colour);
        EXPECT_EQ(line.toLatin1() + "\r\n", c.line);
    }
}

TEST(BackgroundColorFile, OnlyAShortNameIsAnError) {
    EXPECT_THROW(BackgroundColorFile::nameFor("abc"), Error);
    QTemporaryDir dir;
    ASSERT_TRUE(testfiles::write(dir.filePath("w.log"), "blue\r\n"));
    EXPECT_EQ(BackgroundColorFile::load(dir.filePath("w.rtf")), 0.0);
    EXPECT_EQ(BackgroundColorFile::nameFor("x.rtf.txt"), "x.rtf.log");
}

// Whether a save may write over it is the last test's table.
TEST(BackgroundColorFile, SomeoneElsesLogIsNeverRead) {
    QTemporaryDir dir;
    const QByteArray buildLog = "2024-01-01 12:00 build started\r\nstep 1\r\n";
    ASSERT_TRUE(testfiles::write(dir.filePath("build.log"), buildLog));
    EXPECT_EQ(BackgroundColorFile::load(dir.filePath("build.rtf")), 16777215.0);

    // One line, but longer than any colour line.
    const QByteArray longLine = "2024-01-01 12:00:00 build started";
    ASSERT_TRUE(testfiles::write(dir.filePath("long.log"), longLine));
    EXPECT_EQ(BackgroundColorFile::load(dir.filePath("long.rtf")), 16777215.0);
}

TEST(BackgroundColorFile, SaveWritesAColourOnlyWhereItMeansSomething) {
    QTemporaryDir dir;
    // A white page leaves no file behind.
    BackgroundColorFile::storeOnSave(dir.filePath("plain.rtf"), 16777215);
    EXPECT_FALSE(QFile::exists(dir.filePath("plain.log")));
    BackgroundColorFile::storeOnSave(dir.filePath("blue.rtf"), 0xFF0000);
    EXPECT_EQ(testfiles::read(dir.filePath("blue.log")), " 16711680 \r\n");
    // Back to white: our own file is brought up to date rather than left saying blue.
    BackgroundColorFile::storeOnSave(dir.filePath("blue.rtf"), 16777215);
    EXPECT_EQ(testfiles::read(dir.filePath("blue.log")), " 16777215 \r\n");
}

TEST(BackgroundColorFile, ASaveWritesOverOnlyALineThatIsAColour) {
    struct Case {
        QByteArray content;
        bool ours;
    };
    const Case cases[] = {
        {" 255 \r\n", true},     {"-2147483643 \r\n", true}, {"16777215", true},
        {"  +42  \n", true},     {" 0 \r\n", true},          {"-2147483648\r\n", true},
        {"build ok", false},     {"build ok\r\n", false},    {"", false},
        {" \r\n", false},        {"-\r\n", false},           {"12 blue\r\n", false},
        {"16777216\r\n", false}, {"-2147483649\r\n", false}, {"1e3\r\n", false},
        {"&HFF\r\n", false},     {"255\r\n255\r\n", false},  {"+-1\r\n", false},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content.toStdString());
        ASSERT_TRUE(testfiles::write(dir.filePath("doc.log"), c.content));
        EXPECT_EQ(BackgroundColorFile::isColorFile(dir.filePath("doc.log")), c.ours);
        BackgroundColorFile::storeOnSave(dir.filePath("doc.rtf"), 0xFF);
        EXPECT_EQ(testfiles::read(dir.filePath("doc.log")), c.ours ? " 255 \r\n" : c.content);
    }
}
