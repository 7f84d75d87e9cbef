#include "platform/PlainText.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

using PlainText::Encoding;
using Kind = Encoding::Kind;
using LineEnd = Encoding::LineEnd;

template <size_t N> QByteArray raw(const char (&literal)[N]) {
    return QByteArray(literal, N - 1);
}

TEST(PlainTextDecode, EncodingsLineEndsAndRoundTrips) {
    const struct {
        const char* name;
        QByteArray bytes;
        QString text;
        Encoding encoding;
        bool roundTrips;
    } cases[] = {
        {"empty", "", "", {Kind::Utf8, LineEnd::CRLF}, true},
        {"no line end", "abc", "abc", {Kind::Utf8, LineEnd::CRLF}, true},
        {"LF", "a\nb\n", "a\nb\n", {Kind::Utf8, LineEnd::LF}, true},
        {"CRLF", "a\r\nb\r\n", "a\nb\n", {Kind::Utf8, LineEnd::CRLF}, true},
        {"CR", "a\rb\r", "a\nb\n", {Kind::Utf8, LineEnd::CR}, true},
        {"mixed, the first decides",
         "a\nb\r\nc\rd",
         "a\nb\nc\nd",
         {Kind::Utf8, LineEnd::LF},
         false},
        {"CR then CR LF", "a\r\r\nb", "a\n\nb", {Kind::Utf8, LineEnd::CR}, false},
        {"UTF-8", "caf\xC3\xA9 \xE2\x82\xAC", u"café €"_qs, {Kind::Utf8, LineEnd::CRLF}, true},
        {"UTF-8 with BOM", "\xEF\xBB\xBFx\n", "x\n", {Kind::Utf8Bom, LineEnd::LF}, true},
        {"second BOM is text",
         "\xEF\xBB\xBF\xEF\xBB\xBFx",
         u"\uFEFFx"_qs,
         {Kind::Utf8Bom, LineEnd::CRLF},
         true},
        {"UTF-16LE",
         raw("\xFF\xFE"
             "a\0\r\0\n\0\xE9\0"),
         u"a\né"_qs,
         {Kind::Utf16LE, LineEnd::CRLF},
         true},
        {"UTF-16BE",
         raw("\xFE\xFF\0a\0\n\x20\xAC"),
         u"a\n€"_qs,
         {Kind::Utf16BE, LineEnd::LF},
         true},
        {"Windows-1252",
         "caf\xE9 \x80 \x93q\x94\r\n",
         u"café € “q”\n"_qs,
         {Kind::Windows1252, LineEnd::CRLF},
         true},
        {"UTF-8 cut short", "abc\xC3", u"abcÃ"_qs, {Kind::Windows1252, LineEnd::CRLF}, true},
        {"UTF-8 surrogate",
         "\xED\xA0\x80",
         u"í\u00A0€"_qs,
         {Kind::Windows1252, LineEnd::CRLF},
         true},
        {"undefined 1252 bytes",
         "\x81\x8D\x8F\x90\x9D\xFF",
         u"\u0081\u008D\u008F\u0090\u009Dÿ"_qs,
         {Kind::Windows1252, LineEnd::CRLF},
         true},
        {"NUL in UTF-8",
         raw("a\0b\n"),
         QStringView(u"a\0b\n", 4).toString(),
         {Kind::Utf8, LineEnd::LF},
         true},
        {"NUL in 1252",
         raw("\0\xE9"),
         QStringView(u"\0é", 2).toString(),
         {Kind::Windows1252, LineEnd::CRLF},
         true},
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
    ASSERT_EQ(decoded.encoding.kind, Kind::Windows1252);
    EXPECT_EQ(decoded.text.size(), bytes.size());
    EXPECT_EQ(PlainText::encode(decoded.text, decoded.encoding), bytes);
}

TEST(PlainTextEncode, FallsBackToUtf8WhenWindows1252CannotHoldTheText) {
    const Encoding latin{Kind::Windows1252, LineEnd::CRLF};
    const std::pair<QString, QByteArray> cases[] = {
        {u"€ ☃\n"_qs, "\xE2\x82\xAC \xE2\x98\x83\r\n"},
        // A C1 control other than the five bytes the code page leaves undefined.
        {u"\u0080"_qs, "\xC2\x80"},
    };
    for (const auto& [text, bytes] : cases) {
        bool fits = true;
        EXPECT_EQ(PlainText::encode(text, latin, &fits), bytes);
        EXPECT_FALSE(fits);
    }
}

} // namespace
