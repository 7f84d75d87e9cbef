#include "rtf/RtfTokenizer.h"

#include <array>
#include <bit>
#include <climits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Where the plain text that starts at `from` ends: at the first special byte, or at `size`.
// Text is most of a file's bytes, so it is looked at sixteen bytes at a time where it can be.
qsizetype textEnd(const char* data, qsizetype from, qsizetype size) {
#if defined(__SSE2__)
    const __m128i backslash = _mm_set1_epi8('\\');
    const __m128i open = _mm_set1_epi8('{');
    const __m128i close = _mm_set1_epi8('}');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; from + 16 <= size; from += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from));
        const __m128i special = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, backslash), _mm_cmpeq_epi8(bytes, open)),
            _mm_or_si128(_mm_cmpeq_epi8(bytes, close),
                         _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf))));
        if (const unsigned mask = unsigned(_mm_movemask_epi8(special)))
            return from + std::countr_zero(mask);
    }
#endif
    while (from < size && !isSpecial(data[from]))
        ++from;
    return from;
}

} // namespace

void Tokenizer::run(TokenListener& listener) {
    const char* data = m_data.data();
    const qsizetype size = m_data.size();
    // The position is kept in a local while bytes are read: a store through `data` could
    // otherwise be taken to change it, which would keep it in memory. The listener may ask for
    // it, so it is stored before each call.
    qsizetype pos = m_pos;
    while (pos < size) {
        const char c = data[pos];
        switch (c) {
        case '{':
            m_pos = ++pos;
            listener.groupStart();
            break;
        case '}':
            m_pos = ++pos;
            listener.groupEnd();
            break;
        case '\\':
            m_pos = pos;
            readControl(listener);
            pos = m_pos;
            break;
        case '\r':
        case '\n':
            ++pos;
            break;
        default: {
            const qsizetype end = textEnd(data, pos + 1, size);
            m_pos = pos;
            listener.text(m_data.sliced(pos, end - pos));
            pos = end;
        }
        }
    }
    m_pos = pos;
}

void Tokenizer::readControl(TokenListener& listener) {
    const char* data = m_data.data();
    const qsizetype size = m_data.size();
    qsizetype pos = m_pos + 1; // past the backslash
    if (pos >= size) {
        m_pos = pos;
        return;
    }
    const char first = data[pos];
    if (!isLetter(first)) {
        ++pos;
        if (first == '\'') {
            // \'hh: a malformed pair is dropped rather than read as text.
            if (pos + 2 > size) {
                m_pos = size;
            } else {
                const int high = hexValue(data[pos]);
                const int low = hexValue(data[pos + 1]);
                if (high >= 0 && low >= 0) {
                    m_pos = pos + 2;
                    listener.hexByte(static_cast<unsigned char>(high * 16 + low));
                } else {
                    m_pos = pos;
                }
            }
            return;
        }
        m_pos = pos;
        listener.controlSymbol(first == '\r' ? '\n' : first);
        return;
    }
    const qsizetype nameStart = pos;
    while (pos < size && isLetter(data[pos]))
        ++pos;
    QByteArrayView name =
        m_data.sliced(nameStart, std::min<qsizetype>(pos - nameStart, maxNameLength));
    bool hasParam = false;
    bool negative = false;
    long long value = 0;
    if (pos < size && data[pos] == '-' && pos + 1 < size && isDigit(data[pos + 1])) {
        negative = true;
        ++pos;
    }
    while (pos < size && isDigit(data[pos])) {
        hasParam = true;
        if (value <= INT_MAX)
            value = value * 10 + (data[pos] - '0');
        ++pos;
    }
    if (pos < size && data[pos] == ' ')
        ++pos;
    if (value > INT_MAX)
        value = INT_MAX;
    const int param = int(negative ? -value : value);
    // Compared by hand: this runs for every control word of the file.
    if (hasParam && name.size() == 3 && name[0] == 'b' && name[1] == 'i' && name[2] == 'n') {
        // The data length comes from the file: clamp it to what is there.
        const qsizetype length = std::min<qsizetype>(std::max(param, 0), size - pos);
        m_pos = pos;
        listener.binary(m_data.sliced(pos, length));
        m_pos = pos + length;
        return;
    }
    m_pos = pos;
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
