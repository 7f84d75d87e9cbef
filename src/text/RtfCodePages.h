#pragma once

#include <QByteArrayView>
#include <QString>

#include <array>
#include <memory>
#include <vector>

class QStringDecoder;

namespace rtf {

namespace CodePage {
constexpr int windows1252 = 1252;
constexpr int symbol = -2;     // the Symbol font's own encoding
constexpr int privateUse = -3; // other symbol fonts (Wingdings...): bytes kept as U+F0xx
} // namespace CodePage

// The code page of a font: \cpg wins over \fcharset, which wins over the document's \ansicpg.
// `charset` and `cpg` are -1 when the font table does not give them.
int codePageOf(int charset, int cpg, int ansiCodePage, QStringView fontName);

// Turns bytes of a Windows code page into text. Single-byte pages go through a 256-entry table
// built once; double-byte pages (932, 936, 949, 950) through a converter, so a pair split
// between \'hh escapes and plain text decodes as one character as long as both reach one call.
class TextDecoder {
public:
    TextDecoder();
    ~TextDecoder();
    // Appends the text of `bytes` to `out`. False when some character of it is out of the
    // ordinary (a control character other than tab, U+2029, or one from U+D800 on) or may be:
    // callers that must clean text then look at it again, and only then.
    bool decode(int codePage, QByteArrayView bytes, QString& out);
    // Each byte of the page is a character of its own: its bytes can be decoded as they come.
    bool isSingleByte(int codePage);
    // One byte of a single-byte page, or 0 when the page is double-byte.
    char16_t singleByte(int codePage, unsigned char byte);

private:
    struct Page;
    Page& page(int codePage);

    std::vector<std::unique_ptr<Page>> m_pages;
    Page* m_last = nullptr;
};

// The byte cp1252 uses for `c`, or 0 when it has none.
unsigned char toWindows1252(char16_t c);

// A font name in the code page of a character set (\fcharset), and back to the same name; the
// character set is changed to one whose code page has every character of the name when the given
// one has not. Empty when no character set has them all.
QByteArray fontNameBytes(QStringView name, int& charset);

} // namespace rtf
