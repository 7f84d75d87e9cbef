#include "support/Files.h"
#include "system/RegistryFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(RegistryFile, ReadsTextBytesAndNumbersFromTheProfile) {
    constexpr quint32 machine = 0x80000002u;
    QTemporaryDir dir;
    const QString file = dir.filePath("registry.ini");
    ASSERT_TRUE(testfiles::write(
        file, "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tools]\n"
              "Plain=/usr/bin/tool\nBytes=hex(1):41,42\nNumber=dword:0000002a\nBad=hex(1):zz\n"));
    const auto plain = RegistryFile::value(file, machine, "software\\tools", "plain");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->data, QByteArray("/usr/bin/tool\0", 14));
    EXPECT_EQ(RegistryFile::value(file, machine, "SOFTWARE\\Tools", "Bytes")->data, "AB");
    const auto number = RegistryFile::value(file, machine, "SOFTWARE\\Tools", "Number");
    ASSERT_TRUE(number);
    EXPECT_EQ(number->type, 4u);
    EXPECT_EQ(number->data, QByteArray("\x2a\0\0\0", 4));
    EXPECT_FALSE(RegistryFile::value(file, machine, "SOFTWARE\\Tools", "Bad"));
    EXPECT_FALSE(RegistryFile::value(file, 0x80000001u, "SOFTWARE\\Tools", "Plain"));
}
