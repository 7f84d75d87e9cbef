#pragma once

#include <QtGlobal>
#include <cmath>

// QTextDocument lengths (margins, indents, tab positions, image sizes) are kept in layout units
// of one pixel at 96 dpi. Every length the program shows or stores is in twips, 1440 to the
// inch, so the conversion lives in one place.
namespace Twips {
constexpr int perInch = 1440;
constexpr qreal perLayoutUnit = 15.0;

constexpr qreal toLayout(qreal twips) {
    return twips / perLayoutUnit;
}
inline int fromLayout(qreal units) {
    return int(std::lround(units * perLayoutUnit));
}
} // namespace Twips
