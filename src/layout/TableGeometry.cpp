#include "layout/TableGeometry.h"

#include <QTextTable>
#include <QtMath>

#include <algorithm>
#include <limits>

namespace {
constexpr qreal unbounded = std::numeric_limits<qreal>::max();

QTextFormat::Property widthProperty(TableGeometry::Side side) {
    static constexpr QTextFormat::Property properties[] = {
        QTextFormat::TableCellTopBorder, QTextFormat::TableCellRightBorder,
        QTextFormat::TableCellBottomBorder, QTextFormat::TableCellLeftBorder};
    return properties[side];
}

QTextFormat::Property styleProperty(TableGeometry::Side side) {
    static constexpr QTextFormat::Property properties[] = {
        QTextFormat::TableCellTopBorderStyle, QTextFormat::TableCellRightBorderStyle,
        QTextFormat::TableCellBottomBorderStyle, QTextFormat::TableCellLeftBorderStyle};
    return properties[side];
}

QTextFormat::Property brushProperty(TableGeometry::Side side) {
    static constexpr QTextFormat::Property properties[] = {
        QTextFormat::TableCellTopBorderBrush, QTextFormat::TableCellRightBorderBrush,
        QTextFormat::TableCellBottomBorderBrush, QTextFormat::TableCellLeftBorderBrush};
    return properties[side];
}

QTextFormat::Property paddingProperty(TableGeometry::Side side) {
    static constexpr QTextFormat::Property properties[] = {
        QTextFormat::TableCellTopPadding, QTextFormat::TableCellRightPadding,
        QTextFormat::TableCellBottomPadding, QTextFormat::TableCellLeftPadding};
    return properties[side];
}

TableGeometry::Side opposite(TableGeometry::Side side) {
    return TableGeometry::Side((side + 2) % 4);
}

bool vertical(TableGeometry::Side side) {
    return side == TableGeometry::Left || side == TableGeometry::Right;
}

// The cell on the other side of `side`, or an invalid one at the table's edge.
QTextTableCell adjacent(const QTextTable& table, const QTextTableCell& cell,
                        TableGeometry::Side side) {
    int row = cell.row();
    int column = cell.column();
    switch (side) {
    case TableGeometry::Top:
        --row;
        break;
    case TableGeometry::Bottom:
        row += cell.rowSpan();
        break;
    case TableGeometry::Left:
        --column;
        break;
    case TableGeometry::Right:
        column += cell.columnSpan();
        break;
    }
    if (row < 0 || column < 0 || row >= table.rows() || column >= table.columns())
        return {};
    return table.cellAt(row, column);
}

// Whether two cells' sides lie on one line across the table.
bool sharesAxis(const QTextTableCell& cell, TableGeometry::Side side, const QTextTableCell& other,
                TableGeometry::Side otherSide) {
    switch (side) {
    case TableGeometry::Top:
        return cell.row() ==
               other.row() + (otherSide == TableGeometry::Bottom ? other.rowSpan() : 0);
    case TableGeometry::Bottom:
        return cell.row() + cell.rowSpan() ==
               other.row() + (otherSide == TableGeometry::Top ? 0 : other.rowSpan());
    case TableGeometry::Left:
        return cell.column() ==
               other.column() + (otherSide == TableGeometry::Right ? other.columnSpan() : 0);
    case TableGeometry::Right:
        return cell.column() + cell.columnSpan() ==
               other.column() + (otherSide == TableGeometry::Left ? 0 : other.columnSpan());
    }
    return false;
}
} // namespace

// Which of two borders meeting on one line is drawn: the wider, then the one set on the cell,
// then the one below or right of the line.
struct TableGeometry::EdgeData {
    enum Kind { Invalid, None, Grid, TableBorder, Explicit };
    qreal width = 0;
    Kind kind = Invalid;
    QTextTableCell cell;
    Side side = Top;

    bool operator<(const EdgeData& other) const {
        if (width != other.width)
            return width < other.width;
        if (kind != other.kind)
            return kind < other.kind;
        if (side == Top && other.side == Bottom)
            return true;
        if (side == Bottom && other.side == Top)
            return false;
        return side == Left && other.side == Right;
    }
};

TableGeometry::TableGeometry(const QTextTable& table, qreal available, qreal scale,
                             const MeasureCell& measure)
    : table_(&table), rows_(table.rows()), columns_(table.columns()), scale_(scale) {
    const int columns = table.columns();
    const QTextTableFormat format = table.format();
    leftMargin_ = qRound(format.leftMargin() * scale);
    rightMargin_ = qRound(format.rightMargin() * scale);
    topMargin_ = qRound(format.topMargin() * scale);
    bottomMargin_ = qRound(format.bottomMargin() * scale);
    border_ = qRound(format.border() * scale);
    const qreal padding = qRound(format.padding() * scale);
    alignment_ = format.alignment() & Qt::AlignHorizontal_Mask;
    qreal frameWidth = format.width().value(qMax<qreal>(0, available));
    if (format.width().type() == QTextLength::FixedLength)
        frameWidth *= scale;
    const qreal contents = frameWidth - 2 * (border_ + padding) - leftMargin_ - rightMargin_;

    collapse_ = format.borderCollapse();
    cellBorder_ = collapse_ ? 0 : border_;
    const qreal spacing = collapse_ ? 0 : qRound(format.cellSpacing() * scale);
    grid_ = collapse_ && format.border() >= 1;
    tableBorderWidth_ = format.border();
    cellPadding_ = format.cellPadding() * scale;

    // Shared borders: the table's edges are as wide as half its widest outer cell border.
    qreal outer[4] = {border_, border_, border_, border_};
    if (collapse_ && rows_ > 0 && columns > 0) {
        qreal widest[4] = {0, 0, 0, 0};
        const auto widen = [&](const QTextTableCell& cell, Side side) {
            widest[side] = qMax(widest[side], cellEdge(cell, side).width);
        };
        for (int column = 0; column < columns; ++column) {
            widen(table.cellAt(0, column), Top);
            widen(table.cellAt(rows_ - 1, column), Bottom);
        }
        for (int row = 0; row < rows_; ++row) {
            widen(table.cellAt(row, 0), Left);
            widen(table.cellAt(row, columns - 1), Right);
        }
        for (int side = 0; side < 4; ++side)
            outer[side] = qRound(widest[side] / 2 * scale);
    }
    const qreal left = leftMargin_ + padding + outer[Left];
    const qreal top = topMargin_ + padding + outer[Top];

    qreal remaining = contents - columns * 2 * cellBorder_ - (columns + 1) * spacing;
    if (collapse_)
        remaining -= outer[Left] + outer[Right];

    QList<QTextLength> constraints = format.columnWidthConstraints();
    constraints.resize(columns);
    const std::vector<qreal> widths = columnWidths(
        constraints, remaining, format.width().type() != QTextLength::VariableLength, measure);

    columnWidth_ = widths;
    columnX_.resize(size_t(columns));
    for (int i = 0; i < columns; ++i) {
        const auto at = size_t(i);
        columnX_[at] = i == 0 ? left + spacing + border_
                              : columnX_[at - 1] + widths[at - 1] + 2 * cellBorder_ + spacing;
    }
    const qreal lastRight = columns > 0 ? columnX_.back() + widths.back() : left;
    width_ = lastRight + padding + border_ + spacing + rightMargin_ + outer[Right] + padding;
    aboveRows_ = top + spacing + border_;
    betweenRows_ = 2 * cellBorder_ + spacing;
    belowRows_ = padding + border_ + spacing + bottomMargin_ + outer[Bottom] + padding;
}

std::vector<qreal> TableGeometry::columnWidths(const QList<QTextLength>& constraints,
                                               qreal remaining, bool fillWidth,
                                               const MeasureCell& measure) const {
    const int columns = int(constraints.size());
    const qreal initialTotal = remaining;
    std::vector<qreal> widths(size_t(columns), 0);
    std::vector<qreal> minimum(size_t(columns), 1);
    std::vector<qreal> maximum(size_t(columns), unbounded);
    const bool allFixed =
        std::all_of(constraints.begin(), constraints.end(), [](const QTextLength& length) {
            return length.type() == QTextLength::FixedLength;
        });
    // Fixed columns keep their width whatever the text in them: measuring every cell would lay
    // out a table of any size whole, and its tables inside it again for each level. They grow
    // to hold a table inside a cell, as in Qt's layout.
    if (!allFixed && measure)
        measureColumns(minimum, maximum, measure);
    holdInnerTables(minimum, measure);

    qreal totalPercentage = 0;
    int variableColumns = 0;
    qreal totalMinimum = 0;
    for (int i = 0; i < columns; ++i) {
        const QTextLength& length = constraints[i];
        const auto at = size_t(i);
        if (length.type() == QTextLength::FixedLength) {
            minimum[at] = widths[at] = qMax(length.rawValue() * scale_, minimum[at]);
            remaining -= widths[at];
        } else if (length.type() == QTextLength::PercentageLength) {
            totalPercentage += length.rawValue();
        } else {
            ++variableColumns;
            widths[at] = minimum[at];
            remaining -= minimum[at];
        }
        totalMinimum += minimum[at];
    }
    if (totalPercentage > 0) {
        const qreal percentaged = initialTotal * totalPercentage / 100;
        qreal remainingMinimum = totalMinimum;
        for (int i = 0; i < columns; ++i) {
            const auto at = size_t(i);
            remainingMinimum -= minimum[at];
            if (constraints[i].type() != QTextLength::PercentageLength)
                continue;
            const qreal share = percentaged * constraints[i].rawValue() / totalPercentage;
            widths[at] = share >= minimum[at]
                             ? qBound(minimum[at], share, remaining - remainingMinimum)
                             : minimum[at];
            remaining -= widths[at];
        }
    }
    if (variableColumns > 0 && remaining > 0) {
        std::vector<size_t> bounded;
        for (int i = 0; i < columns; ++i) {
            if (constraints[i].type() == QTextLength::VariableLength &&
                maximum[size_t(i)] != unbounded)
                bounded.push_back(size_t(i));
        }
        qreal last = remaining;
        while (remaining > 0) {
            for (size_t k = 0; k < bounded.size(); ++k) {
                const size_t column = bounded[k];
                const qreal share =
                    qMin(maximum[column] - widths[column], remaining / qreal(bounded.size() - k));
                widths[column] += share;
                remaining -= share;
            }
            if (remaining == last)
                break;
            last = remaining;
        }
        if (remaining > 0 && fillWidth) {
            for (int i = 0; i < columns; ++i) {
                if (constraints[i].type() == QTextLength::VariableLength)
                    widths[size_t(i)] += remaining / variableColumns;
            }
        }
    }
    // Whole pixels, the rounding carried on, so that borders between cells stand alike.
    qreal error = 0;
    for (qreal& width : widths) {
        const qreal exact = width;
        width = qRound(width - error);
        error = width - exact;
    }
    return widths;
}

void TableGeometry::measureColumns(std::vector<qreal>& minimum, std::vector<qreal>& maximum,
                                   const MeasureCell& measure) const {
    const int columns = int(minimum.size());
    for (int i = 0; i < columns; ++i) {
        for (int row = 0; row < rows_; ++row) {
            const QTextTableCell cell = table_->cellAt(row, i);
            if (cell.column() != i || cell.row() != row)
                continue;
            const int span = cell.columnSpan();
            const QMarginsF padding = paddingOf(cell);
            const auto [least, most] = measure(cell);
            qreal share = least + padding.left() + padding.right();
            for (int n = 0; n < span && i + n < columns; ++n) {
                const auto column = size_t(i + n);
                minimum[column] = qCeil(qMax(minimum[column], share / (span - n)));
                share -= minimum[column];
                if (share <= 0)
                    break;
            }
            share = qCeil(most + padding.left() + padding.right());
            for (int n = 0; n < span && i + n < columns; ++n) {
                const auto column = size_t(i + n);
                qreal width = share / (span - n);
                if (maximum[column] != unbounded)
                    width = qMax(maximum[column], width);
                maximum[column] = qMax(minimum[column], width);
                share -= maximum[column];
                if (share <= 0)
                    break;
            }
        }
    }
}

void TableGeometry::holdInnerTables(std::vector<qreal>& minimum, const MeasureCell& measure) const {
    const int columns = int(minimum.size());
    for (QTextFrame* frame : table_->childFrames()) {
        const auto* inner = qobject_cast<const QTextTable*>(frame);
        if (!inner)
            continue;
        const QTextTableCell cell = table_->cellAt(inner->firstPosition());
        if (!cell.isValid())
            continue;
        const QMarginsF padding = paddingOf(cell);
        qreal share =
            TableGeometry(*inner, 0, scale_, measure).width() + padding.left() + padding.right();
        const int span = cell.columnSpan();
        for (int n = 0; n < span && cell.column() + n < columns; ++n) {
            const auto column = size_t(cell.column() + n);
            minimum[column] = qCeil(qMax(minimum[column], share / (span - n)));
            share -= minimum[column];
            if (share <= 0)
                break;
        }
    }
}

qreal TableGeometry::offsetIn(qreal columnLeft, qreal columnWidth) const {
    // As Qt's layout aligns tables, which counts the column's left edge in twice.
    qreal x = columnLeft;
    if (columnWidth > width_) {
        if (alignment_ & Qt::AlignRight)
            x += columnLeft + columnWidth - width_;
        else if (alignment_ & Qt::AlignHCenter)
            x += (columnLeft + columnWidth - width_) / 2;
    }
    return x;
}

qreal TableGeometry::cellWidth(int column, int span) const {
    const auto last = size_t(qMin(column + span, columns()) - 1);
    return columnX_[last] + columnWidth_[last] - columnX_[size_t(column)];
}

QRectF TableGeometry::frameRect(qreal height) const {
    return QRectF(leftMargin_, topMargin_, width_ - border_ - leftMargin_ - rightMargin_,
                  height - border_ - topMargin_ - bottomMargin_);
}

TableGeometry::EdgeData TableGeometry::cellEdge(const QTextTableCell& cell, Side side) const {
    EdgeData edge;
    if (!cell.isValid())
        return edge;
    edge.cell = cell;
    edge.side = side;
    const QTextTableCellFormat format = cell.format().toTableCellFormat();
    if (format.hasProperty(styleProperty(side))) {
        edge.width = format.hasProperty(widthProperty(side))
                         ? format.doubleProperty(widthProperty(side))
                         : 3; // as browsers have it
        edge.kind = EdgeData::Explicit;
    } else if (grid_) {
        const bool outermost = (side == Left && cell.column() == 0) ||
                               (side == Top && cell.row() == 0) ||
                               (side == Right && cell.column() + cell.columnSpan() >= columns()) ||
                               (side == Bottom && cell.row() + cell.rowSpan() >= rows_);
        if (outermost && tableBorderWidth_ > 1) {
            edge.width = tableBorderWidth_;
            edge.kind = EdgeData::TableBorder;
        } else {
            edge.width = 1;
            edge.kind = EdgeData::Grid;
        }
    } else {
        edge.kind = EdgeData::None;
    }
    return edge;
}

TableGeometry::EdgeData TableGeometry::axisEdge(const QTextTableCell& cell, Side side) const {
    EdgeData result = cellEdge(cell, side);
    if (!collapse_)
        return result;
    const QTextTableCell next = adjacent(*table_, cell, side);
    result = std::max(result, cellEdge(next, opposite(side)));
    if (next.isValid()) {
        // A neighbour that does not start on the same line across: the cell beside it on that
        // line has a say too.
        const Side across = vertical(side) ? Top : Left;
        if (!sharesAxis(cell, across, next, across))
            result = std::max(result, cellEdge(adjacent(*table_, next, opposite(side)), side));
    }
    return result;
}

QMarginsF TableGeometry::paddingOf(const QTextTableCell& cell) const {
    const QTextFormat format = cell.format();
    const auto side = [&](Side which) {
        const QVariant given = format.property(paddingProperty(which));
        const qreal padding = given.isNull() ? cellPadding_ : given.toReal() * scale_;
        qreal border = axisEdge(cell, which).width;
        if (collapse_)
            border /= 2;
        return padding + border * scale_;
    };
    return {side(Left), side(Top), side(Right), side(Bottom)};
}

TableGeometry::Edge TableGeometry::edgeOf(const QTextTableCell& cell, Side side) const {
    const EdgeData data = axisEdge(cell, side);
    Edge edge;
    edge.width = data.width * scale_;
    if (edge.width <= 0)
        return edge;
    if (data.kind != EdgeData::Explicit && grid_) {
        edge.style = QTextFrameFormat::BorderStyle_Solid;
        edge.brush = table_->format().borderBrush();
    } else {
        const QTextFormat format = data.cell.format();
        edge.style = QTextFrameFormat::BorderStyle(format.intProperty(styleProperty(data.side)));
        edge.brush = format.brushProperty(brushProperty(data.side));
    }
    if (edge.brush.style() == Qt::NoBrush)
        edge.brush = Qt::black;
    return edge;
}
