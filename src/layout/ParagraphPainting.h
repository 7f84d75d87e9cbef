#pragma once

#include <QAbstractTextDocumentLayout>
#include <QRectF>

class QPaintDevice;
class QPainter;
class QTextBlock;
class QTextLayout;

// Drawing a paragraph whose lines are laid out, on the screen or on paper: its background, its
// list number or bullet at its first line's indent, its text with the selections in it, and the
// caret. What its paragraph's own QTextLayout is to the pane, another is to a printed page.
namespace ParagraphPainting {

struct Settings {
    const QPaintDevice* device = nullptr; // what the fonts are measured on
    int cursorWidth = 1;
    QRectF frame; // text is clipped to this, the page's width
};

// Draws `block` laid out in `layout`, which stands where it is to be drawn.
void draw(QPainter* painter, const QAbstractTextDocumentLayout::PaintContext& context,
          const QTextBlock& block, const QTextLayout& layout, const Settings& settings);

} // namespace ParagraphPainting
