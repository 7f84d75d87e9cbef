#pragma once

#include <QColor>

// Colours as the program stores them: 32-bit values, red in the low byte, then green, then blue.
namespace Colors {
constexpr quint32 white = 16777215;
constexpr quint32 black = 0;

inline quint32 fromRgb(int r, int g, int b) { return quint32(r) | quint32(g) << 8 | quint32(b) << 16; }
inline QColor toQColor(quint32 value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}
inline quint32 fromQColor(const QColor& color) {
    return fromRgb(color.red(), color.green(), color.blue());
}
} // namespace Colors
