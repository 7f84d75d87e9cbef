#pragma once

#include <QColor>

// Colours as the program stores them: 32-bit values, red in the low byte, then green, then blue.
// A value with the high bit set names a system colour by its index in the low byte.
namespace Colors {
constexpr quint32 white = 16777215;
constexpr quint32 black = 0;
constexpr quint32 systemColorFlag = 0x80000000u;

inline quint32 fromRgb(int r, int g, int b) {
    return quint32(r) | quint32(g) << 8 | quint32(b) << 16;
}
// System colours take the desktop palette's nearest role.
QColor toQColor(quint32 value);
inline quint32 fromQColor(const QColor& color) {
    return fromRgb(color.red(), color.green(), color.blue());
}
} // namespace Colors
