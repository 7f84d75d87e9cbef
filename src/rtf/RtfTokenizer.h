#pragma once

#include <QByteArrayView>

namespace rtf {

// Receives the lexical pieces of an RTF stream; knows nothing of their meaning.
class TokenListener {
public:
    virtual ~TokenListener() = default;
    virtual void groupStart() = 0;
    virtual void groupEnd() = 0;
    // A control word such as \fs24: `name` without the backslash, `param` only when `hasParam`.
    virtual void controlWord(QByteArrayView name, bool hasParam, int param) = 0;
    // A control symbol: \* \~ \- \_ \{ \} \\ and the rest; a backslash before a line break is
    // reported as '\n'.
    virtual void controlSymbol(char symbol) = 0;
    virtual void hexByte(unsigned char byte) = 0;
    // Plain text bytes, never containing braces, backslashes or line breaks.
    virtual void text(QByteArrayView bytes) = 0;
    // The data following \binN; the tokenizer skips it by its length so it never reads as text.
    virtual void binary(QByteArrayView bytes) = 0;
};

// The data from its first brace, when it is RTF after an optional byte order mark and blanks;
// empty when it is not RTF.
QByteArrayView rtfStart(QByteArrayView data);

// Splits `data` into tokens and hands them to the listener, in one pass. Numeric parameters
// saturate at the limits of int, and over-long control words are cut, so hostile input costs
// no more than its length.
class Tokenizer {
public:
    explicit Tokenizer(QByteArrayView data) : m_data(data) {}
    void run(TokenListener& listener);
    qsizetype position() const { return m_pos; }
    QByteArrayView data() const { return m_data; }

private:
    void readControl(TokenListener& listener);

    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

} // namespace rtf
