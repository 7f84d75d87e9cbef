#include "format/BackgroundColorFile.h"
#include "platform/Error.h"
#include "platform/Runtime.h"
#include "support/Files.h"

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

TEST(BackgroundColorFile, ErrorsReachTheCaller) {
    QTemporaryDir dir;
    EXPECT_THROW(BackgroundColorFile::nameFor("abc"), Error);
    ASSERT_TRUE(testfiles::write(dir.filePath("e.log"), ""));
    EXPECT_THROW(BackgroundColorFile::load(dir.filePath("e.rtf")), Error);
    ASSERT_TRUE(testfiles::write(dir.filePath("w.log"), "blue\r\n"));
    EXPECT_EQ(BackgroundColorFile::load(dir.filePath("w.rtf")), 0.0);
    EXPECT_EQ(BackgroundColorFile::nameFor("x.rtf.txt"), "x.rtf.log");
}
