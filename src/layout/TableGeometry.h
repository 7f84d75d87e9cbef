#pragma once

#include <QBrush>
#include <QList>
#include <QMarginsF>
#include <QTextFrameFormat>
#include <QTextLength>

#include <functional>
#include <vector>

class QTextTable;
class QTextTableCell;

// Where a table's columns stand and what surrounds its cells, as Qt's own layout places them:
// the table's margins, border and padding, the spacing between cells, each cell's padding and
// borders (collapsed borders shared half and half by the cells on either side), and the columns'
// widths from their constraints. Lengths are in the device's pixels, `scale` times the layout
// units of the document's formats.
class TableGeometry {
public:
    enum Side { Top, Right, Bottom, Left };
    // A border drawn along one side of a cell.
    struct Edge {
        qreal width = 0;
        QTextFrameFormat::BorderStyle style = QTextFrameFormat::BorderStyle_None;
        QBrush brush;
    };
    // The widest and narrowest a cell's content can be, for columns whose width follows theirs.
    using MeasureCell = std::function<std::pair<qreal, qreal>(const QTextTableCell& cell)>;

    TableGeometry() = default;
    // The table laid out in a column `available` wide. Columns without a fixed width ask
    // `measure` how wide their cells' content is; fixed ones keep their width.
    TableGeometry(const QTextTable& table, qreal available, qreal scale,
                  const MeasureCell& measure);

    const QTextTable* table() const { return table_; }
    int rows() const { return rows_; }
    int columns() const { return columns_; }
    // The table's width, margins and borders included, and where it starts in its column.
    qreal width() const { return width_; }
    qreal offsetIn(qreal columnLeft, qreal columnWidth) const;
    // From the table's left edge to a column's cells, and their width.
    qreal columnX(int column) const { return columnX_[size_t(column)]; }
    qreal cellWidth(int column, int span) const;
    // From the table's top to its first row, between rows, and from its last row to its bottom.
    qreal aboveRows() const { return aboveRows_; }
    qreal betweenRows() const { return betweenRows_; }
    qreal belowRows() const { return belowRows_; }

    // From a cell's edges to its content: its padding and its share of the borders.
    QMarginsF paddingOf(const QTextTableCell& cell) const;
    // The border drawn on a side of the cell: the wider of its own and its neighbour's.
    Edge edgeOf(const QTextTableCell& cell, Side side) const;
    // Whether borders are shared between neighbouring cells, or each cell has its own frame.
    bool collapsed() const { return collapse_; }
    // The border of each cell, and of the table, when borders are not shared.
    qreal cellBorder() const { return cellBorder_; }
    // The table's outer frame, from its left edge and top: where Qt draws it when borders are
    // not shared.
    QRectF frameRect(qreal height) const;
    qreal frameBorder() const { return border_; }

private:
    struct EdgeData;
    EdgeData cellEdge(const QTextTableCell& cell, Side side) const;
    EdgeData axisEdge(const QTextTableCell& cell, Side side) const;
    // The columns' widths from their constraints, in whole pixels, given the width left for them
    // and whether variable columns fill what is left over.
    std::vector<qreal> columnWidths(const QList<QTextLength>& constraints, qreal remaining,
                                    bool fillWidth, const MeasureCell& measure) const;
    void measureColumns(std::vector<qreal>& minimum, std::vector<qreal>& maximum,
                        const MeasureCell& measure) const;
    // Widens the columns' least widths to the tables inside their cells.
    void holdInnerTables(std::vector<qreal>& minimum, const MeasureCell& measure) const;

    const QTextTable* table_ = nullptr;
    int rows_ = 0;
    int columns_ = 0;
    qreal scale_ = 1;
    bool collapse_ = true;
    bool grid_ = false;
    qreal tableBorderWidth_ = 0; // as the format gives it, for the grid's outer edges
    qreal border_ = 0;
    qreal cellBorder_ = 0;
    qreal cellPadding_ = 0;
    qreal leftMargin_ = 0;
    qreal topMargin_ = 0;
    qreal rightMargin_ = 0;
    qreal bottomMargin_ = 0;
    Qt::Alignment alignment_ = Qt::AlignLeft;
    std::vector<qreal> columnX_;
    std::vector<qreal> columnWidth_;
    qreal width_ = 0;
    qreal aboveRows_ = 0;
    qreal betweenRows_ = 0;
    qreal belowRows_ = 0;
};
