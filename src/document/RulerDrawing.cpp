#include "document/RulerDrawing.h"

#include "system/Desktop.h"
#include "text/Runtime.h"

#include <QFont>
#include <QFontMetricsF>
#include <cmath>

namespace {
// Mark lengths in twips by the mark's position within its inch.
double markLength(int i) {
    switch (i % 8) {
    case 0:
        return 160; // whole inch
    case 4:
        return 144; // half inch
    case 2:
    case 6:
        return 80; // quarter inch
    default:
        return 48; // eighth inch
    }
}
} // namespace

RulerDrawing::FontMetrics RulerDrawing::FontMetrics::screenArial10() {
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(10);
    const ScreenMetrics screen = DesktopSeam::current().screen();
    const double perPixelX = screen.twipsPerPixelX;
    const double perPixelY = screen.twipsPerPixelY;
    return {[font, perPixelX](const QString& s) {
                return QFontMetricsF(font).horizontalAdvance(s) * perPixelX;
            },
            [font, perPixelY](const QString&) { return QFontMetricsF(font).height() * perPixelY; }};
}

RulerDrawing RulerDrawing::compute(int heightTwips, float lengthInches, const TabStops& tabs,
                                   const FontMetrics& metrics) {
    RulerDrawing drawing;

    // The product is single precision, as the length is.
    const int marks = Runtime::CInt(static_cast<float>(lengthInches * 8.0f));
    const double baseLine = double(heightTwips) - bottomGap;
    for (int i = 0; i <= marks; ++i) {
        const double x = leftOffset + i * markStep;
        if (i % 8 == 0 && i > 0) {
            // The number is centred on its mark; the word runs on to the right of it.
            const QString number = QLatin1Char(' ') + QString::number(i / 8);
            const double y = heightTwips - metrics.textHeight(QStringLiteral("A")) - labelGap;
            drawing.texts.append(
                {QPointF(x - metrics.textWidth(number) / 2, y), number + QStringLiteral("Inch")});
        }
        drawing.lines.append({QPointF(x, baseLine), QPointF(x, baseLine - markLength(i))});
    }

    // A selection over paragraphs with different stops has no single set to show: the scale
    // alone is drawn, so a repaint never fails on it.
    if (!tabs.count)
        return drawing;
    const int last = Runtime::CInt(double(*tabs.count) - 1);
    for (int j = 0; j <= last; ++j) {
        // Past 32707 twips (22.7 inches, far beyond the 7-inch scale) the square's right edge
        // no longer fits the integer arithmetic; such a stop could never be seen, so it is
        // left out instead of failing the whole repaint.
        const double position = std::nearbyint(tabs.position(j));
        if (position > 32767 - squareSide)
            continue;
        const int t = Runtime::CInt(position);
        const int h = Runtime::CInt(double(heightTwips) - bottomGap);
        drawing.squares.append({QPointF(t, h - squareSide), QPointF(t + squareSide, h)});
    }
    return drawing;
}
