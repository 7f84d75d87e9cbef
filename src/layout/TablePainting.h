#pragma once

#include "layout/TableGeometry.h"

#include <functional>

class QPainter;
class QRectF;
class QTextTableCell;
struct TableBand;

// Tables' shading and borders, drawn as Qt's own layout draws them: the table's frame and each
// cell's when borders are not shared, a cell's background, then the borders set on its sides,
// shared borders half on either side of the line between two cells.
namespace TablePainting {

// The table's own frame, whose top left corner is `origin`, `height` tall: its top and bottom
// edges drawn only where the table starts and ends.
void drawFrame(QPainter& painter, const TableGeometry& geometry, QPointF origin, qreal height,
               bool top, bool bottom);

// A cell standing at `rect`: its frame, its background and its borders.
void drawCell(QPainter& painter, const TableGeometry& geometry, const QTextTableCell& cell,
              const QRectF& rect);

// How far a cell's borders reach out of its rectangle, to tell whether it is in view.
qreal reach(const TableGeometry& geometry);

// A band standing `top` down the page: the frames of its tables and its cells, then each of its
// paragraphs in view (`clip`, when valid), through `paragraph` with its index in the band and
// where its lines stand.
void drawBand(QPainter& painter, const TableBand& band, qreal top, const QRectF& clip,
              const std::function<void(size_t index, QPointF at)>& paragraph);

} // namespace TablePainting
