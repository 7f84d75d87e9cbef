#include "app/Common.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Adjacent matches all go; a replacement holding the searched text is not searched again.
TEST(CommonReplaceText, ReplacesEveryOccurrenceIgnoringCase) {
    const struct {
        const char* text;
        const char* find;
        const char* replacement;
        const char* result;
    } cases[] = {
        {"\"/home/me/a b.rtf\"", "\"", "", "/home/me/a b.rtf"},
        {"\"\"\"", "\"", "", ""},
        {"Hello HELLO hello", "hello", "bye", "bye bye bye"},
        {"aaa", "a", "aa", "aaaaaa"},
        {"AXa", "xa", "ax", "Aax"},
        {"text", "", "x", "text"},
    };
    for (const auto& c : cases) {
        QString text = QString::fromLatin1(c.text);
        Common::ReplaceText(text, QString::fromLatin1(c.find), QString::fromLatin1(c.replacement));
        EXPECT_EQ(text, QString::fromLatin1(c.result)) << c.text << " / " << c.find;
    }
}

TEST(CommonIni, ValuesAreCappedAndWritesNeverThrow) {
    QTemporaryDir folder;
    const QString path = folder.filePath("multi.ini");
    const QString longValue(300, u'7');
    EXPECT_TRUE(Common::WriteIniValue("SIZE", "qlet_Width", longValue, path));
    EXPECT_EQ(Common::GetIniValue("SIZE", "qlet_Width", path), longValue.left(254));
    EXPECT_FALSE(Common::WriteIniValue("SIZE", "qlet_Top", "1", folder.filePath("x/multi.ini")));
}

} // namespace
