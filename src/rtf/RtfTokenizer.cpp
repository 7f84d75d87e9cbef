#include "rtf/RtfTokenizer.h"

#include <array>
#include <climits>

namespace rtf {

namespace {

constexpr int maxNameLength = 32;

// What each byte is, looked up once per byte: the tokenizer's loops run over every byte of a file.
enum ByteClass : unsigned char { Other, Letter, Digit, Special };

constexpr std::array<unsigned char, 256> byteClasses = [] {
    std::array<unsigned char, 256> classes{};
    for (int c = 'a'; c <= 'z'; ++c)
        classes[size_t(c)] = Letter;
    for (int c = 'A'; c <= 'Z'; ++c)
        classes[size_t(c)] = Letter;
    for (int c = '0'; c <= '9'; ++c)
        classes[size_t(c)] = Digit;
    for (const char c : {'\\', '{', '}', '\r', '\n'})
        classes[static_cast<unsigned char>(c)] = Special;
    return classes;
}();

unsigned char classOf(char c) {
    return byteClasses[static_cast<unsigned char>(c)];
}
bool isLetter(char c) {
    return classOf(c) == Letter;
}
bool isDigit(char c) {
    return classOf(c) == Digit;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isSpecial(char c) {
    return classOf(c) == Special;
}

} // namespace

void Tokenizer::run(TokenListener& listener) {
    const char* data = m_data.data();
    const qsizetype size = m_data.size();
    while (m_pos < size) {
        const char c = data[m_pos];
        switch (c) {
        case '{':
            ++m_pos;
            listener.groupStart();
            break;
        case '}':
            ++m_pos;
            listener.groupEnd();
            break;
        case '\\':
            readControl(listener);
            break;
        case '\r':
        case '\n':
            ++m_pos;
            break;
        default: {
            qsizetype end = m_pos + 1;
            while (end < size && !isSpecial(data[end]))
                ++end;
            listener.text(m_data.sliced(m_pos, end - m_pos));
            m_pos = end;
        }
        }
    }
}

void Tokenizer::readControl(TokenListener& listener) {
    const char* data = m_data.data();
    const qsizetype size = m_data.size();
    ++m_pos; // the backslash
    if (m_pos >= size)
        return;
    const char first = data[m_pos];
    if (!isLetter(first)) {
        ++m_pos;
        if (first == '\'') {
            // \'hh: a malformed pair is dropped rather than read as text.
            if (m_pos + 2 > size) {
                m_pos = size;
            } else {
                const int high = hexValue(data[m_pos]);
                const int low = hexValue(data[m_pos + 1]);
                if (high >= 0 && low >= 0) {
                    m_pos += 2;
                    listener.hexByte(static_cast<unsigned char>(high * 16 + low));
                }
            }
            return;
        }
        listener.controlSymbol(first == '\r' ? '\n' : first);
        return;
    }
    const qsizetype nameStart = m_pos;
    while (m_pos < size && isLetter(data[m_pos]))
        ++m_pos;
    QByteArrayView name =
        m_data.sliced(nameStart, std::min<qsizetype>(m_pos - nameStart, maxNameLength));
    bool hasParam = false;
    bool negative = false;
    long long value = 0;
    if (m_pos < size && data[m_pos] == '-' && m_pos + 1 < size && isDigit(data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    while (m_pos < size && isDigit(data[m_pos])) {
        hasParam = true;
        if (value <= INT_MAX)
            value = value * 10 + (data[m_pos] - '0');
        ++m_pos;
    }
    if (m_pos < size && data[m_pos] == ' ')
        ++m_pos;
    if (value > INT_MAX)
        value = INT_MAX;
    const int param = int(negative ? -value : value);
    // Compared by hand: this runs for every control word of the file.
    if (hasParam && name.size() == 3 && name[0] == 'b' && name[1] == 'i' && name[2] == 'n') {
        // The data length comes from the file: clamp it to what is there.
        const qsizetype length = std::min<qsizetype>(std::max(param, 0), size - m_pos);
        listener.binary(m_data.sliced(m_pos, length));
        m_pos += length;
        return;
    }
    listener.controlWord(name, hasParam, param);
}

QByteArrayView rtfStart(QByteArrayView data) {
    if (data.startsWith("\xEF\xBB\xBF"))
        data = data.sliced(3);
    while (!data.isEmpty() && (data.front() == ' ' || data.front() == '\r' ||
                               data.front() == '\n' || data.front() == '\t'))
        data = data.sliced(1);
    return data.startsWith("{\\rtf") ? data : QByteArrayView();
}

} // namespace rtf
