// Decoding a code page takes printable ASCII sixteen bytes at a time and the rest byte by byte:
// wherever the two meet, the text must be each byte's own character, and the decoder must say
// when one of them is out of the ordinary.
#include "text/RtfCodePages.h"

#include <gtest/gtest.h>

namespace {

TEST(RtfCodePages, DecodesEveryByteAsItsOwnCharacterAcrossBlocks) {
    const struct {
        int codePage;
        char odd; // a byte placed among printable ASCII
        bool ordinary;
    } cases[] = {
        {1252, '\xE9', true},               // é
        {1252, '\x7F', true},               // delete is no control character to clean
        {1252, '\x01', false},              // a control character
        {1252, '\t', true},                 // a tab is kept as it is
        {1251, '\xE9', true},               // й
        {rtf::CodePage::symbol, 'a', true}, // α: a page whose ASCII is not ASCII
        {rtf::CodePage::privateUse, 'a', false},
    };
    rtf::TextDecoder decoder;
    for (const auto& c : cases) {
        for (const int length : {1, 15, 16, 17, 31, 32, 33, 48}) {
            for (int at = 0; at < length; at += 7) {
                SCOPED_TRACE(testing::Message() << "page " << c.codePage << ", byte " << int(c.odd)
                                                << " at " << at << " of " << length);
                QByteArray bytes(length, 'x');
                for (int i = 0; i < length; ++i)
                    bytes[i] = char(' ' + (i * 7) % 95);
                bytes[at] = c.odd;
                QString expected;
                for (const char b : bytes)
                    expected +=
                        QChar(decoder.singleByte(c.codePage, static_cast<unsigned char>(b)));
                QString text = "before";
                EXPECT_EQ(decoder.decode(c.codePage, bytes, text), c.ordinary);
                EXPECT_EQ(text, "before" + expected);
            }
        }
    }
}

} // namespace
