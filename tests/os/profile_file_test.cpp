#include "os/ProfileFile.h"
#include "support/Files.h"
#include "text/Error.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ProfileFileTest : public ::testing::Test {
protected:
    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("multi.ini"));

    void put(const QByteArray& bytes) { ASSERT_TRUE(testfiles::write(path, bytes)); }
    QByteArray content() { return testfiles::read(path); }
};

TEST_F(ProfileFileTest, Reading) {
    const struct {
        const char* name;
        QByteArray file;
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"absent key", "[SIZE]\r\nqlet_Width=9000\r\n", "SIZE", "qlet_Left", ""},
        {"case ignored", "[size]\nQLET_WIDTH=-60\n", "SIZE", "qlet_Width", "-60"},
        {"blanks trimmed", "  [ SIZE ]  \n\t qlet_Top \t=  1200 \t\n", "SIZE", "qlet_Top", "1200"},
        {"quotes removed", "[SIZE]\nk=\" a b \"\n", "SIZE", "k", " a b "},
        {"the first of two keys, empty", "[SIZE]\nk=\nk=2\n", "SIZE", "k", ""},
        {"comment is no key", "[SIZE]\n;k=1\nk=2\n", "SIZE", "k", "2"},
        {"key of another section", "[A]\nk=1\n[SIZE]\nj=2\n", "SIZE", "k", ""},
        {"no final line end", "[SIZE]\nk=7", "SIZE", "k", "7"},
        {"byte order mark", "\xEF\xBB\xBF[SIZE]\nk=7\n", "SIZE", "k", "7"},
        {"equals in value", "[SIZE]\nk=a=b\n", "SIZE", "k", "a=b"},
    };
    for (const auto& c : cases) {
        put(c.file);
        EXPECT_EQ(ProfileFile::read(path, c.section, c.key), QString::fromUtf8(c.value)) << c.name;
    }
    EXPECT_EQ(ProfileFile::read(folder.filePath("absent.ini"), "SIZE", "qlet_Width"), "");
    EXPECT_EQ(ProfileFile::read(folder.path(), "SIZE", "qlet_Width"), "");
}

TEST_F(ProfileFileTest, WritingKeepsEveryOtherByte) {
    const struct {
        const char* name;
        QByteArray before;
        const char* key;
        const char* value;
        QByteArray after;
    } cases[] = {
        {"absent file", "<absent>", "qlet_Top", "600", "[SIZE]\nqlet_Top=600\n"},
        {"value replaced in place, CRLF, comments and 8-bit bytes kept",
         "; caf\xE9 settings\r\n[Other]\r\nx = 1\r\n\r\n[size]\r\n  QLET_TOP =  9000  "
         "\r\nz=\xFF\r\n",
         "qlet_Top", "-60",
         "; caf\xE9 settings\r\n[Other]\r\nx = 1\r\n\r\n[size]\r\n  QLET_TOP =  -60\r\nz=\xFF\r\n"},
        {"new key after the section's entries, before its blank lines",
         "[SIZE]\nqlet_Top=1\n; note\n\n\n[Other]\nx=1\n", "qlet_Left", "2",
         "[SIZE]\nqlet_Top=1\n; note\nqlet_Left=2\n\n\n[Other]\nx=1\n"},
        {"new key keeps CRLF", "[SIZE]\r\nqlet_Top=1\r\n", "qlet_Left", "2",
         "[SIZE]\r\nqlet_Top=1\r\nqlet_Left=2\r\n"},
        {"new key after a last line without line end", "[SIZE]\r\nqlet_Top=1", "qlet_Left", "2",
         "[SIZE]\r\nqlet_Top=1\r\nqlet_Left=2"},
        {"new section appended", "[Other]\r\nx=1\r\n\r\n", "qlet_Top", "5",
         "[Other]\r\nx=1\r\n\r\n[SIZE]\r\nqlet_Top=5\r\n"},
        {"new section after a last line without line end", "[Other]\r\nx=1", "qlet_Top", "5",
         "[Other]\r\nx=1\r\n[SIZE]\r\nqlet_Top=5\r\n"},
        {"only the first of two keys", "[SIZE]\nqlet_Top=1\nqlet_Top=2\n", "qlet_Top", "3",
         "[SIZE]\nqlet_Top=3\nqlet_Top=2\n"},
    };
    for (const auto& c : cases) {
        QFile::remove(path);
        if (c.before != "<absent>")
            put(c.before);
        ProfileFile::write(path, "SIZE", c.key, c.value);
        EXPECT_EQ(content(), c.after) << c.name;
    }
}

TEST_F(ProfileFileTest, Failures) {
    auto errorOf = [](const QString& file, const QString& key, const QString& value) {
        try {
            ProfileFile::write(file, "SIZE", key, value);
        } catch (const Error& error) {
            return error.number;
        }
        return 0;
    };
    EXPECT_EQ(errorOf(folder.filePath("no/such/folder/multi.ini"), "k", "1"),
              Error::PathFileAccess);
    EXPECT_EQ(errorOf(folder.path(), "k", "1"), Error::PathFileAccess);
    for (const char* key : {"", "a=b", "[k", ";k", "a\nb"})
        EXPECT_EQ(errorOf(path, key, "1"), 5) << key;
    EXPECT_EQ(errorOf(path, "k", "1\r\n[Evil]"), 5);
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace

TEST(ProfileFileSettings, ValuesAreCappedAndWritesNeverThrow) {
    QTemporaryDir folder;
    const QString path = folder.filePath("multi.ini");
    const QString longValue(300, u'7');
    EXPECT_TRUE(ProfileFile::writeSetting(path, "SIZE", "qlet_Width", longValue));
    EXPECT_EQ(ProfileFile::readSetting(path, "SIZE", "qlet_Width"), longValue.left(254));
    EXPECT_FALSE(
        ProfileFile::writeSetting(folder.filePath("x/multi.ini"), "SIZE", "qlet_Top", "1"));
}
