#include "rtf/RtfTokenizer.h"

#include <QString>
#include <gtest/gtest.h>

namespace {

// Writes every token as a short mark, so a whole stream compares as one string.
class Recorder : public rtf::TokenListener {
public:
    QString log;
    void groupStart() override { log += "{"; }
    void groupEnd() override { log += "}"; }
    void controlWord(QByteArrayView name, bool hasParam, int param) override {
        log += "[" + QString::fromLatin1(name);
        if (hasParam)
            log += "=" + QString::number(param);
        log += "]";
    }
    void controlSymbol(char symbol) override { log += QStringLiteral("<%1>").arg(QChar(symbol)); }
    void hexByte(unsigned char byte) override { log += QStringLiteral("x%1").arg(byte, 2, 16); }
    void text(QByteArrayView bytes) override { log += "'" + QString::fromLatin1(bytes) + "'"; }
    void binary(QByteArrayView bytes) override { log += "bin(" + QString::fromLatin1(bytes) + ")"; }
};

QString tokens(QByteArrayView data) {
    Recorder recorder;
    rtf::Tokenizer(data).run(recorder);
    return recorder.log;
}

} // namespace

TEST(RtfTokenizer, SplitsStreamsIntoTokens) {
    const struct {
        const char* name;
        const char* input;
        const char* expected;
    } cases[] = {
        {"word and its delimiting space", "{\\b bold}", "{[b]'bold'}"},
        {"only one space is a delimiter", "\\b  x", "[b]' x'"},
        {"parameter ends the word", "\\fs24x", "[fs=24]'x'"},
        {"negative parameter", "\\fi-360 a", "[fi=-360]'a'"},
        {"minus without digits is text", "\\b-x", "[b]'-x'"},
        {"hex byte", "\\'e9t", "xe9't'"},
        {"malformed hex byte is dropped", "\\'zzq", "'zzq'"},
        {"truncated hex byte", "a\\'e", "'a'"},
        {"control symbols", "\\~\\-\\_\\*\\{\\}\\\\", "<~><-><_><*><{><}><\\>"},
        {"line breaks are not text", "a\r\nb", "'a''b'"},
        {"backslash before a line break", "a\\\r\nb", "'a'<\n>'b'"},
        {"binary data is skipped by length", "\\bin3 {}\\x", "bin({}\\)'x'"},
        {"binary length beyond the data", "\\bin99999999 ab", "bin(ab)"},
        {"negative binary length", "\\bin-5 ab", "bin()'ab'"},
        {"huge parameter saturates", "\\fs99999999999999999999 ", "[fs=2147483647]"},
        {"backslash at the very end", "ab\\", "'ab'"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tokens(c.input), QString::fromLatin1(c.expected)) << c.name;
}
