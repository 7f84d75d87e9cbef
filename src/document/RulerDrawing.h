#pragma once

#include <QList>
#include <QPointF>
#include <QString>
#include <functional>
#include <optional>

// What the ruler shows, as plain geometry in twips from the ruler's top-left corner. Computing
// it is kept apart from painting so that every mark, label and tab square can be checked
// exactly, and so that a repaint only has to draw a stored list.
struct RulerDrawing {
    struct Line {
        QPointF from;
        QPointF to;
        bool operator==(const Line&) const = default;
    };
    // `topLeft` is the top-left corner of the text's cell, where the drawing position stood.
    struct Text {
        QPointF topLeft;
        QString text;
        bool operator==(const Text&) const = default;
    };
    // An outline between two opposite corners.
    struct Square {
        QPointF from;
        QPointF to;
        bool operator==(const Square&) const = default;
    };

    // Text measurements in twips for the label font (Arial, 10 points).
    struct FontMetrics {
        std::function<double(const QString&)> textWidth;
        std::function<double(const QString&)> textHeight;
        // The label font measured on the screen, scaled with the desktop's twips per pixel.
        static FontMetrics screenArial10();
    };

    // The tab stops of the pane's current selection. A null count means the selection spans
    // paragraphs with different stops.
    struct TabStops {
        std::optional<int> count;
        std::function<double(int index)> position;
    };

    QList<Line> lines;
    QList<Text> texts;
    QList<Square> squares;

    bool operator==(const RulerDrawing&) const = default;

    // The scale from 0 to `lengthInches` with a mark every eighth of an inch and the inch
    // numbers, then a square on the base line at each tab stop. Throws Error (Overflow) where
    // a value does not fit the 16-bit integers the layout arithmetic is done in.
    static RulerDrawing compute(int heightTwips, float lengthInches, const TabStops& tabs,
                                const FontMetrics& metrics = FontMetrics::screenArial10());

    static constexpr double leftOffset = 30;
    static constexpr double markStep = 180;
    static constexpr int bottomGap = 30;
    static constexpr double labelGap = 200;
    static constexpr int squareSide = 60;
};
