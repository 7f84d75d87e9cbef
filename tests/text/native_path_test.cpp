#include "text/NativePath.h"

#include <gtest/gtest.h>

// Every name's bytes come back as they were; valid UTF-8 reads as Qt reads it, and each byte of
// anything else stands for itself.
TEST(NativePath, EveryNameComesBackByteForByte) {
    const struct {
        const char* name;
        QByteArray bytes;
        QString path;
    } cases[] = {
        {"ASCII", "/home/a b.txt", "/home/a b.txt"},
        {"UTF-8", "/tmp/caf\xC3\xA9 \xF0\x9F\x98\x80", u"/tmp/café 😀"_qs},
        {"Latin-1", "caf\xE9.txt", u"caf\xDCE9.txt"_qs},
        {"cut short", "a\xC3", u"a\xDCC3"_qs},
        {"overlong", "\xC0\xAF", u"\xDCC0\xDCAF"_qs},
        {"encoded surrogate", "\xED\xA0\x80", u"\xDCED\xDCA0\xDC80"_qs},
        {"past U+10FFFF", "\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"_qs},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NativePath::decode(c.bytes), c.path) << c.name;
        EXPECT_EQ(NativePath::encode(c.path), c.bytes) << c.name;
    }
}
