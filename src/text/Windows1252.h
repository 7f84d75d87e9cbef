#pragma once

// The Windows-1252 code page, the 8-bit encoding of plain-text documents that are not UTF-8.
// The five bytes it leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control
// characters of the same number, so that every byte decodes and encodes back unchanged.
namespace Windows1252 {

char16_t toUnicode(unsigned char byte);

// The byte for c, or -1 when the code page has none.
int fromUnicode(char16_t c);

} // namespace Windows1252
