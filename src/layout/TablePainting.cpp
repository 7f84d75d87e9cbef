#include "layout/TablePainting.h"

#include "layout/TableBand.h"

#include <QPainter>
#include <QTextTable>
#include <QtMath>

namespace TablePainting {

namespace {

using Side = TableGeometry::Side;

// One side of a border filling `rect` in the style given.
void drawEdge(QPainter& painter, const QRectF& rect, Side side, QTextFrameFormat::BorderStyle style,
              const QBrush& brush) {
    if (rect.isEmpty())
        return;
    const bool horizontal = side == TableGeometry::Top || side == TableGeometry::Bottom;
    const qreal thickness = horizontal ? rect.height() : rect.width();
    const QColor color = brush.color();
    switch (style) {
    case QTextFrameFormat::BorderStyle_None:
        return;
    case QTextFrameFormat::BorderStyle_Dotted:
    case QTextFrameFormat::BorderStyle_Dashed:
    case QTextFrameFormat::BorderStyle_DotDash:
    case QTextFrameFormat::BorderStyle_DotDotDash: {
        static constexpr Qt::PenStyle pens[] = {Qt::DotLine, Qt::DashLine, Qt::DashDotLine,
                                                Qt::DashDotDotLine};
        QPen pen(brush, thickness, pens[style - QTextFrameFormat::BorderStyle_Dotted], Qt::FlatCap);
        painter.save();
        painter.setPen(pen);
        const QPointF centre = rect.center();
        if (horizontal)
            painter.drawLine(QPointF(rect.left(), centre.y()), QPointF(rect.right(), centre.y()));
        else
            painter.drawLine(QPointF(centre.x(), rect.top()), QPointF(centre.x(), rect.bottom()));
        painter.restore();
        return;
    }
    case QTextFrameFormat::BorderStyle_Double:
        if (thickness >= 3) {
            const qreal line = thickness / 3;
            if (horizontal) {
                painter.fillRect(QRectF(rect.left(), rect.top(), rect.width(), line), brush);
                painter.fillRect(QRectF(rect.left(), rect.bottom() - line, rect.width(), line),
                                 brush);
            } else {
                painter.fillRect(QRectF(rect.left(), rect.top(), line, rect.height()), brush);
                painter.fillRect(QRectF(rect.right() - line, rect.top(), line, rect.height()),
                                 brush);
            }
            return;
        }
        break;
    case QTextFrameFormat::BorderStyle_Inset:
    case QTextFrameFormat::BorderStyle_Outset:
    case QTextFrameFormat::BorderStyle_Groove:
    case QTextFrameFormat::BorderStyle_Ridge: {
        // Lit from the top left: the near sides of a raised border light, of a sunken one dark.
        const bool nearSide = side == TableGeometry::Top || side == TableGeometry::Left;
        const bool raised = style == QTextFrameFormat::BorderStyle_Outset ||
                            style == QTextFrameFormat::BorderStyle_Ridge;
        const QColor base = color == Qt::black ? QColor(Qt::darkGray) : color;
        painter.fillRect(rect, nearSide == raised ? base.lighter(150) : base.darker(150));
        return;
    }
    default:
        break;
    }
    painter.fillRect(rect, brush);
}

// A frame of `border` wide edges around `rect`, as Qt's layout draws a table's and its cells'.
void drawBox(QPainter& painter, const QRectF& rect, qreal border, const QBrush& brush,
             QTextFrameFormat::BorderStyle style) {
    const qreal left = rect.left();
    const qreal top = rect.top();
    const qreal right = rect.right();
    const qreal bottom = rect.bottom();
    drawEdge(painter, QRectF(QPointF(left, top), QPointF(left + border, bottom + border)),
             TableGeometry::Left, style, brush);
    drawEdge(painter, QRectF(QPointF(left + border, top), QPointF(right + border, top + border)),
             TableGeometry::Top, style, brush);
    drawEdge(painter, QRectF(QPointF(right, top + border), QPointF(right + border, bottom)),
             TableGeometry::Right, style, brush);
    drawEdge(painter,
             QRectF(QPointF(left + border, bottom), QPointF(right + border, bottom + border)),
             TableGeometry::Bottom, style, brush);
}

QTextFrameFormat::BorderStyle inverted(QTextFrameFormat::BorderStyle style) {
    switch (style) {
    case QTextFrameFormat::BorderStyle_Inset:
        return QTextFrameFormat::BorderStyle_Outset;
    case QTextFrameFormat::BorderStyle_Outset:
        return QTextFrameFormat::BorderStyle_Inset;
    case QTextFrameFormat::BorderStyle_Groove:
        return QTextFrameFormat::BorderStyle_Ridge;
    case QTextFrameFormat::BorderStyle_Ridge:
        return QTextFrameFormat::BorderStyle_Groove;
    default:
        return style;
    }
}

QBrush frameBrush(const QTextTableFormat& format) {
    const QBrush brush = format.borderBrush();
    return brush.style() == Qt::NoBrush ? QBrush(Qt::darkGray) : brush;
}

} // namespace

qreal reach(const TableGeometry& geometry) {
    // Wide borders are rare; a generous bound keeps the test cheap.
    return geometry.cellBorder() + 8;
}

void drawFrame(QPainter& painter, const TableGeometry& geometry, QPointF origin, qreal height,
               bool top, bool bottom) {
    const qreal border = geometry.frameBorder();
    if (geometry.collapsed() || border <= 0)
        return;
    const QTextTableFormat format = geometry.table()->format();
    QRectF box = geometry.frameRect(height).translated(origin);
    painter.save();
    if (!top || !bottom) {
        // A band in the middle of the table shows the part of the frame beside its rows.
        painter.setClipRect(
            QRectF(box.left() - border, origin.y(), box.width() + 3 * border, height),
            Qt::IntersectClip);
        if (!top)
            box.setTop(origin.y() - 2 * border);
        if (!bottom)
            box.setBottom(origin.y() + height + 2 * border);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    drawBox(painter, box, border, frameBrush(format), format.borderStyle());
    painter.restore();
}

void drawCell(QPainter& painter, const TableGeometry& geometry, const QTextTableCell& cell,
              const QRectF& rect) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal border = geometry.cellBorder();
    if (!geometry.collapsed() && border > 0) {
        const QTextTableFormat format = geometry.table()->format();
        drawBox(painter,
                QRectF(rect.left() - border, rect.top() - border, rect.width() + border,
                       rect.height() + border),
                border, frameBrush(format), inverted(format.borderStyle()));
    }
    const QBrush background = cell.format().background();
    if (background.style() != Qt::NoBrush) {
        painter.setBrushOrigin(rect.topLeft());
        painter.fillRect(rect, background);
    }
    // Shared borders stand half outside the cell, half in its neighbour; the borders across
    // (top and bottom) reach over the corners.
    TableGeometry::Edge edges[4];
    for (int side = 0; side < 4; ++side)
        edges[side] = geometry.edgeOf(cell, Side(side));
    const bool shared = geometry.collapsed();
    const auto out = [&](qreal width) { return shared ? qCeil(width / 2) : 0.0; };
    const auto in = [&](qreal width) { return shared ? width - qCeil(width / 2) : width; };
    const TableGeometry::Edge& top = edges[TableGeometry::Top];
    const TableGeometry::Edge& right = edges[TableGeometry::Right];
    const TableGeometry::Edge& bottom = edges[TableGeometry::Bottom];
    const TableGeometry::Edge& left = edges[TableGeometry::Left];
    const qreal leftEdge = rect.left() - out(left.width);
    const qreal rightEdge = rect.right() + (shared ? in(right.width) : 0);
    if (top.width > 0)
        drawEdge(painter,
                 QRectF(QPointF(leftEdge, rect.top() - out(top.width)),
                        QPointF(rightEdge, rect.top() + in(top.width))),
                 TableGeometry::Top, top.style, top.brush);
    if (bottom.width > 0)
        drawEdge(painter,
                 QRectF(QPointF(leftEdge,
                                rect.bottom() - (shared ? out(bottom.width) : in(bottom.width))),
                        QPointF(rightEdge, rect.bottom() + (shared ? in(bottom.width) : 0))),
                 TableGeometry::Bottom, bottom.style, bottom.brush);
    if (left.width > 0)
        drawEdge(painter,
                 QRectF(QPointF(rect.left() - out(left.width), rect.top()),
                        QPointF(rect.left() + in(left.width), rect.bottom())),
                 TableGeometry::Left, left.style, left.brush);
    if (right.width > 0)
        drawEdge(painter,
                 QRectF(QPointF(rect.right() - (shared ? out(right.width) : in(right.width)),
                                rect.top()),
                        QPointF(rect.right() + (shared ? in(right.width) : 0), rect.bottom())),
                 TableGeometry::Right, right.style, right.brush);
    painter.restore();
}

void drawBand(QPainter& painter, const TableBand& band, qreal top, const QRectF& clip,
              const std::function<void(size_t index, QPointF at)>& paragraph) {
    const auto shown = [&](qreal from, qreal to) {
        return !clip.isValid() || (to >= clip.top() && from <= clip.bottom());
    };
    // The tables' frames and cells, those holding others first.
    const int rows = band.tables.front().geometry.rows();
    for (const TableBand::Table& inner : band.tables) {
        const bool own = inner.cell < 0;
        const qreal frameTop = top + (own ? 0 : inner.origin.y());
        const qreal height = own ? band.height : inner.bottom - inner.origin.y();
        if (shown(frameTop, frameTop + height))
            drawFrame(painter, inner.geometry, QPointF(inner.origin.x(), frameTop), height,
                      !own || band.firstRow == 0, !own || band.lastRow + 1 == rows);
    }
    for (const TableBand::Cell& cell : band.cells) {
        const TableBand::Table& inner = band.tables[size_t(cell.table)];
        const QRectF rect = cell.rect.translated(0, top);
        const qreal margin = reach(inner.geometry);
        if (shown(rect.top() - margin, rect.bottom() + margin))
            drawCell(painter, inner.geometry, inner.table->cellAt(cell.row, cell.column), rect);
    }
    for (size_t i = 0; i < band.paragraphs.size(); ++i) {
        const TableBand::Paragraph& placed = band.paragraphs[i];
        const QPointF at = placed.at + QPointF(0, top);
        // An empty paragraph beside a table takes no room but still shows the caret.
        if (shown(at.y(), at.y() + qMax<qreal>(placed.height, 1)))
            paragraph(i, at);
    }
}

} // namespace TablePainting
