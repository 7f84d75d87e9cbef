#include "text/PlainText.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

using PlainText::Encoding;
using enum Encoding::Kind;
using enum Encoding::LineEnd;

template <size_t N> QByteArray raw(const char (&literal)[N]) {
    return QByteArray(literal, N - 1);
}

TEST(PlainTextDecode, EncodingsLineEndsAndRoundTrips) {
    const struct {
        const char* name;
        QByteArray bytes;
        QString text;
        Encoding encoding;
        bool roundTrips = true;
    } cases[] = {
        {"empty", "", "", {Utf8, CRLF}},
        {"no line end", "abc", "abc", {Utf8, CRLF}},
        {"LF", "a\nb\n", "a\nb\n", {Utf8, LF}},
        {"CRLF", "a\r\nb\r\n", "a\nb\n", {Utf8, CRLF}},
        {"CR", "a\rb\r", "a\nb\n", {Utf8, CR}},
        {"mixed, the first decides", "a\nb\r\nc\rd", "a\nb\nc\nd", {Utf8, LF}, false},
        {"CR then CR LF", "a\r\r\nb", "a\n\nb", {Utf8, CR}, false},
        {"UTF-8", "caf\xC3\xA9 \xE2\x82\xAC", u"café €"_qs, {Utf8, CRLF}},
        {"UTF-8 with BOM", "\xEF\xBB\xBFx\n", "x\n", {Utf8Bom, LF}},
        {"second BOM is text", "\xEF\xBB\xBF\xEF\xBB\xBFx", u"\uFEFFx"_qs, {Utf8Bom, CRLF}},
        {"UTF-16LE", raw("\xFF\xFE\x61\0\r\0\n\0\xE9\0"), u"a\né"_qs, {Utf16LE, CRLF}},
        {"UTF-16BE", raw("\xFE\xFF\0a\0\n\x20\xAC"), u"a\n€"_qs, {Utf16BE, LF}},
        {"Windows-1252", "caf\xE9 \x80 \x93q\x94\r\n", u"café € “q”\n"_qs, {Windows1252, CRLF}},
        {"UTF-8 cut short", "abc\xC3", u"abcÃ"_qs, {Windows1252, CRLF}},
        {"UTF-8 surrogate", "\xED\xA0\x80", u"í\u00A0€"_qs, {Windows1252, CRLF}},
        {"bytes 1252 leaves undefined",
         "\x81\x8D\x8F\x90\x9D",
         u"\x81\x8D\x8F\x90\x9D"_qs,
         {Windows1252, CRLF}},
        {"NUL in UTF-8", raw("a\0b\n"), QStringView(u"a\0b\n", 4).toString(), {Utf8, LF}},
        {"NUL in 1252", raw("\0\xE9"), QStringView(u"\0é", 2).toString(), {Windows1252, CRLF}},
        {"UTF-16LE without BOM",
         raw("H\0i\0\r\0\n\0\xE9\0!\0"),
         u"Hi\né!"_qs,
         {Utf16LENoBom, CRLF}},
        {"UTF-16BE without BOM", raw("\0H\0i\0\n\x20\xAC"), u"Hi\n€"_qs, {Utf16BENoBom, LF}},
        {"UTF-16LE, one character not Latin",
         raw("a\0b\0c\0\x3A\x04"
             "d\0e\0f\0g\0"),
         u"abc\u043Adefg"_qs,
         {Utf16LENoBom, CRLF}},
        {"NULs in odd places", raw("a\0b\0c"), QStringView(u"a\0b\0c", 5).toString(), {Utf8, CRLF}},
        {"NULs in half the places",
         raw("a\0bc\0d\0ef\0"),
         QStringView(u"a\0bc\0d\0ef\0", 10).toString(),
         {Utf8, CRLF}},
    };
    for (const auto& c : cases) {
        const PlainText::Decoded decoded = PlainText::decode(c.bytes);
        EXPECT_EQ(decoded.text, c.text) << c.name;
        EXPECT_EQ(decoded.encoding, c.encoding) << c.name;
        // Read from a file in pieces, cut anywhere: inside a CR LF, a UTF-8 character or a
        // UTF-16 code unit.
        for (qsizetype pieceBytes : {1, 2, 3, 7}) {
            QByteArray bytes = c.bytes;
            QBuffer file(&bytes);
            file.open(QIODevice::ReadOnly);
            QString joined;
            const auto encoding = PlainText::decodeInPieces(
                file, [&](QString& piece) { joined += piece; }, pieceBytes);
            EXPECT_EQ(joined, c.text) << c.name << " in pieces of " << pieceBytes;
            EXPECT_EQ(encoding, c.encoding) << c.name << " in pieces of " << pieceBytes;
        }
        if (!c.roundTrips)
            continue;
        bool fits = false;
        EXPECT_EQ(PlainText::encode(decoded.text, decoded.encoding, &fits), c.bytes) << c.name;
        EXPECT_TRUE(fits) << c.name;
    }
}

TEST(PlainTextDecode, EveryByteSurvivesWindows1252) {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        if (b != '\r' && b != '\n')
            bytes += char(b);
    const PlainText::Decoded decoded = PlainText::decode(bytes);
    ASSERT_EQ(decoded.encoding.kind, Windows1252);
    EXPECT_EQ(decoded.text.size(), bytes.size());
    EXPECT_EQ(PlainText::encode(decoded.text, decoded.encoding), bytes);
}

TEST(PlainTextEncode, FallsBackToUtf8WhenWindows1252CannotHoldTheText) {
    // The second: a C1 control other than the five bytes the code page leaves undefined.
    const std::pair<QString, QByteArray> cases[] = {{u"€ ☃\n"_qs, "\xE2\x82\xAC \xE2\x98\x83\r\n"},
                                                    {u"\u0080"_qs, "\xC2\x80"}};
    for (const auto& [text, bytes] : cases) {
        bool fits = true;
        EXPECT_EQ(PlainText::encode(text, {Windows1252, CRLF}, &fits), bytes);
        EXPECT_FALSE(fits);
    }
}

} // namespace
