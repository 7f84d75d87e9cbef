#include "text/RtfCodePages.h"

#include <QStringDecoder>
#include <QStringEncoder>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace rtf {

namespace {

// Adobe's Symbol encoding from 0x20 to 0xFF; 0 marks bytes without a character.
constexpr char16_t symbolTable[224] = {
    // 0x20
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B, 0x0028, 0x0029, 0x2217, 0x002B,
    0x002C, 0x2212, 0x002E, 0x002F, 0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,
    // 0x40
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393, 0x0397, 0x0399, 0x03D1, 0x039A,
    0x039B, 0x039C, 0x039D, 0x039F, 0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9,
    0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F,
    // 0x60
    0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3, 0x03B7, 0x03B9, 0x03D5, 0x03BA,
    0x03BB, 0x03BC, 0x03BD, 0x03BF, 0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9,
    0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0,
    // 0x80
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    // 0xA0
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663, 0x2666, 0x2665, 0x2660, 0x2194,
    0x2190, 0x2191, 0x2192, 0x2193, 0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022,
    0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5,
    // 0xC0
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229, 0x222A, 0x2283, 0x2287, 0x2284,
    0x2282, 0x2286, 0x2208, 0x2209, 0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5,
    0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,
    // 0xE0
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C, 0x239D, 0x23A1, 0x23A2, 0x23A3,
    0x23A7, 0x23A8, 0x23A9, 0x23AA, 0, 0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F,
    0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0};

bool isDoubleByte(int codePage) {
    return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950;
}

QByteArray converterName(int codePage) {
    switch (codePage) {
    case 932:
        return "Shift_JIS";
    case 936:
        return "GBK";
    case 950:
        return "Big5";
    case 437:
    case 850:
    case 852:
    case 855:
    case 857:
    case 860:
    case 861:
    case 862:
    case 863:
    case 864:
    case 865:
    case 866:
    case 869:
        return "IBM" + QByteArray::number(codePage);
    case 10000:
        return "macintosh";
    default:
        return "windows-" + QByteArray::number(codePage);
    }
}

} // namespace

struct TextDecoder::Page {
    int codePage = 0;
    bool doubleByte = false;
    std::array<char16_t, 256> table{};
    std::array<bool, 256> unusual{}; // the byte's character is out of the ordinary
    bool printableAscii = false;     // bytes 0x20 to 0x7E are those characters
    std::unique_ptr<QStringDecoder> converter;
};

int codePageOf(int charset, int cpg, int ansiCodePage, QStringView fontName) {
    if (cpg > 0)
        return cpg;
    // Files name the Symbol font without its charset often enough.
    if (fontName.compare(u"Symbol", Qt::CaseInsensitive) == 0)
        return CodePage::symbol;
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return fontName.compare(u"Symbol", Qt::CaseInsensitive) == 0 ? CodePage::symbol
                                                                     : CodePage::privateUse;
    case 77:
        return 10000;
    case 128:
        return 932;
    case 129:
        return 949;
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return ansiCodePage;
    }
}

TextDecoder::TextDecoder() = default;
TextDecoder::~TextDecoder() = default;

TextDecoder::Page& TextDecoder::page(int codePage) {
    if (m_last && m_last->codePage == codePage)
        return *m_last;
    for (auto& p : m_pages) {
        if (p->codePage == codePage) {
            m_last = p.get();
            return *p;
        }
    }
    auto p = std::make_unique<Page>();
    p->codePage = codePage;
    if (codePage == CodePage::symbol || codePage == CodePage::privateUse) {
        for (int b = 0; b < 256; ++b) {
            const char16_t symbol = b >= 0x20 ? symbolTable[b - 0x20] : 0;
            p->table[b] = codePage == CodePage::symbol && symbol ? symbol : char16_t(0xF000 + b);
        }
    } else {
        auto converter = std::make_unique<QStringDecoder>(converterName(codePage).constData(),
                                                          QStringConverter::Flag::Stateless);
        if (!converter->isValid()) // an unknown page reads as the common one
            converter =
                std::make_unique<QStringDecoder>("windows-1252", QStringConverter::Flag::Stateless);
        p->doubleByte = isDoubleByte(codePage);
        if (p->doubleByte) {
            p->converter = std::move(converter);
        } else {
            for (int b = 0; b < 256; ++b) {
                const char byte = char(b);
                const QString one = (*converter)(QByteArrayView(&byte, 1));
                p->table[b] = one.size() == 1 ? one.at(0).unicode() : char16_t(0xFFFD);
            }
        }
    }
    for (int b = 0; b < 256; ++b) {
        const char16_t c = p->table[b];
        p->unusual[b] = !((c >= 0x20 && c < 0xD800 && c != 0x2029) || c == u'\t');
    }
    p->printableAscii = true;
    for (int b = 0x20; b < 0x7F; ++b)
        p->printableAscii = p->printableAscii && p->table[b] == char16_t(b);
    m_pages.push_back(std::move(p));
    m_last = m_pages.back().get();
    return *m_last;
}

bool TextDecoder::decode(int codePage, QByteArrayView bytes, QString& out) {
    Page& p = page(codePage);
    if (p.doubleByte) {
        out += (*p.converter)(bytes);
        return false;
    }
    const qsizetype start = out.size();
    out.resize(start + bytes.size());
    char16_t* dst = reinterpret_cast<char16_t*>(out.data()) + start;
    const unsigned char* src = reinterpret_cast<const unsigned char*>(bytes.data());
    qsizetype i = 0;
#if defined(__SSE2__)
    // Text is mostly printable ASCII, which most pages keep as it is: sixteen such bytes at a
    // time are only widened.
    if (p.printableAscii) {
        const __m128i belowSpace = _mm_set1_epi8(0x1F);
        const __m128i delete_ = _mm_set1_epi8(0x7F);
        const __m128i zero = _mm_setzero_si128();
        for (; i + 16 <= bytes.size(); i += 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
            // Signed: bytes from 0x80 on are negative, so below the space too.
            const __m128i printable =
                _mm_and_si128(_mm_cmpgt_epi8(chunk, belowSpace), _mm_cmplt_epi8(chunk, delete_));
            if (_mm_movemask_epi8(printable) != 0xFFFF)
                break;
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_unpacklo_epi8(chunk, zero));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 8),
                             _mm_unpackhi_epi8(chunk, zero));
        }
    }
#endif
    bool unusual = false;
    for (; i < bytes.size(); ++i) {
        dst[i] = p.table[src[i]];
        unusual |= p.unusual[src[i]];
    }
    return !unusual;
}

bool TextDecoder::isSingleByte(int codePage) {
    return !page(codePage).doubleByte;
}

char16_t TextDecoder::singleByte(int codePage, unsigned char byte) {
    Page& p = page(codePage);
    return p.doubleByte ? 0 : p.table[byte];
}

unsigned char toWindows1252(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    static constexpr char16_t high[32] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    for (int i = 0; i < 32; ++i) {
        if (high[i] == c)
            return static_cast<unsigned char>(0x80 + i);
    }
    return 0;
}

namespace {

QByteArray encoded(QStringView name, int charset) {
    const int codePage = codePageOf(charset, -1, CodePage::windows1252, name);
    QByteArray bytes;
    if (codePage == CodePage::windows1252 || codePage < 0) {
        for (const QChar c : name) {
            const unsigned char byte = toWindows1252(c.unicode());
            if (byte == 0 && !c.isNull())
                return {};
            bytes.append(char(byte));
        }
        return bytes;
    }
    QStringEncoder encoder(converterName(codePage).constData(), QStringConverter::Flag::Stateless);
    if (!encoder.isValid())
        return {};
    bytes = encoder(name);
    QStringDecoder decoder(converterName(codePage).constData(), QStringConverter::Flag::Stateless);
    if (encoder.hasError() || QString(decoder(bytes)) != name)
        return {};
    return bytes;
}

} // namespace

QByteArray fontNameBytes(QStringView name, int& charset) {
    if (QByteArray bytes = encoded(name, charset); !bytes.isEmpty() || name.isEmpty())
        return bytes;
    // Cyrillic, Central European, Greek, Turkish, Hebrew, Arabic, Baltic, Vietnamese, Thai; then
    // Japanese, Simplified and Traditional Chinese, Korean, whose pages also hold some of those.
    for (const int other : {204, 238, 161, 162, 177, 178, 186, 163, 222, 128, 134, 136, 129}) {
        if (QByteArray bytes = encoded(name, other); !bytes.isEmpty()) {
            charset = other;
            return bytes;
        }
    }
    return {};
}

} // namespace rtf
