#include "rtf/RtfTableGrid.h"

#include "model/DocumentProperties.h"
#include "model/Twips.h"
#include "rtf/RtfHeaderTables.h"

#include <algorithm>
#include <cstdint>

namespace rtf {

namespace {

constexpr int defaultCellWidth = 1440;
constexpr int defaultBorderWidth = 10;
// A grid has at most this many places per cell read, besides a few spare: what a file leaves
// out cannot cost much more than what it says.
constexpr std::int64_t placesPerCell = 4;
constexpr std::int64_t sparePlaces = 64;
// The document merges cells one at a time at a cost that grows with the table, so a table only
// keeps as many spans as this many places' worth of work; the rest become cells of their own.
constexpr std::int64_t mergeBudget = std::int64_t(1) << 24;
// Qt lays a table out whole, in one go, when it is first shown, at a cost that grows faster than
// the table: a long table goes on as tables of at most this many places, one after another.
constexpr std::int64_t maxGridPlaces = 1024;

// A row's cells: their right edges, in TableGrid units, are edges[first, first + count).
struct RowShape {
    int left = 0;
    size_t first = 0;
    int count = 0;
};

std::vector<int> unite(const std::vector<int>& a, const int* b, size_t bCount) {
    std::vector<int> out;
    out.reserve(a.size() + bCount);
    std::set_union(a.begin(), a.end(), b, b + bCount, std::back_inserter(out));
    return out;
}

int columnOf(const std::vector<int>& rights, int edge) {
    return int(std::lower_bound(rights.begin(), rights.end(), edge) - rights.begin());
}

// Lays out rows [first, end) on the grid whose columns end at `rights`.
TableGrid layOut(const Table& table, const std::vector<RowShape>& shapes,
                 const std::vector<int>& edges, size_t first, size_t end, std::vector<int> rights) {
    TableGrid grid;
    grid.rows = int(end - first);
    grid.rights = std::move(rights);
    const int columns = grid.columns();
    grid.left = shapes[first].left;
    for (size_t r = first; r < end; ++r)
        grid.left = std::min(grid.left, shapes[r].left);

    std::vector<GridCell> placed;
    std::vector<int> owner(size_t(grid.rows) * size_t(columns), -1);
    const auto merge = [&](int into, int cell) {
        const TableCell& merged = table.cells[size_t(cell)];
        if (!table.content.hasContent(merged.from, merged.to))
            return;
        grid.merged.push_back({cell, -1});
        int* link = &placed[size_t(into)].merged;
        while (*link >= 0)
            link = &grid.merged[size_t(*link)].next;
        *link = int(grid.merged.size() - 1);
    };
    for (int row = 0; row < grid.rows; ++row) {
        const RowShape& shape = shapes[first + size_t(row)];
        const TableRow& source = table.rows[first + size_t(row)];
        const RowDefinition& definition = *source.definition;
        int nextColumn = 0;
        int lastInRow = -1;
        for (int i = 0; i < shape.count; ++i) {
            const int from = nextColumn;
            // A row that ends short of the others has its last cell reach their end.
            const int to =
                i == shape.count - 1 ? columns - 1 : columnOf(grid.rights, edges[shape.first + i]);
            nextColumn = to + 1;
            const CellDefinition* cellDefinition =
                size_t(i) < definition.cells.size() ? &definition.cells[size_t(i)] : nullptr;
            const int cell = int(source.firstCell) + i;
            int into = -1;
            if (cellDefinition && cellDefinition->merged && lastInRow >= 0 &&
                placed[size_t(lastInRow)].rowSpan == 1) {
                into = lastInRow;
                placed[size_t(into)].columnSpan = to - placed[size_t(into)].column + 1;
            } else if (cellDefinition && cellDefinition->mergedUp && row > 0) {
                const int above = owner[size_t(row - 1) * size_t(columns) + size_t(from)];
                if (above >= 0) {
                    GridCell& candidate = placed[size_t(above)];
                    if (candidate.column == from &&
                        candidate.column + candidate.columnSpan == to + 1 &&
                        candidate.row + candidate.rowSpan == row) {
                        into = above;
                        ++candidate.rowSpan;
                    }
                }
            }
            if (into >= 0) {
                merge(into, cell);
            } else {
                into = int(placed.size());
                placed.push_back(
                    {row, from, 1, to - from + 1, cell, -1, cellDefinition, &definition});
            }
            std::fill_n(owner.begin() +
                            std::ptrdiff_t(size_t(row) * size_t(columns) + size_t(from)),
                        to - from + 1, into);
            lastInRow = into;
        }
    }

    const std::int64_t places = std::int64_t(grid.rows) * columns;
    std::int64_t spansKept = places > 0 ? mergeBudget / places : 0;
    std::vector<bool> dropped(placed.size(), false);
    for (size_t i = 0; i < placed.size(); ++i) {
        if (placed[i].rowSpan == 1 && placed[i].columnSpan == 1)
            continue;
        if (spansKept > 0)
            --spansKept;
        else
            dropped[i] = true;
    }
    grid.cells.reserve(placed.size());
    for (int row = 0; row < grid.rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const int index = owner[size_t(row) * size_t(columns) + size_t(column)];
            GridCell cell = placed[size_t(index)];
            const bool origin = cell.row == row && cell.column == column;
            if (!origin && !dropped[size_t(index)])
                continue;
            if (dropped[size_t(index)]) {
                cell.rowSpan = cell.columnSpan = 1;
                if (!origin) {
                    cell.row = row;
                    cell.column = column;
                    cell.cell = -1;
                    cell.merged = -1;
                }
            }
            grid.cells.push_back(cell);
        }
    }
    return grid;
}

QTextFrameFormat::BorderStyle styleOf(BorderStyle style) {
    switch (style) {
    case BorderStyle::None:
        break;
    case BorderStyle::Single:
        return QTextFrameFormat::BorderStyle_Solid;
    case BorderStyle::Double:
        return QTextFrameFormat::BorderStyle_Double;
    case BorderStyle::Dotted:
        return QTextFrameFormat::BorderStyle_Dotted;
    case BorderStyle::Dashed:
        return QTextFrameFormat::BorderStyle_Dashed;
    }
    return QTextFrameFormat::BorderStyle_None;
}

QColor colorOr(const ColorTable& colors, int index, const QColor& otherwise) {
    const QColor color = index > 0 ? colors.at(index) : QColor();
    return color.isValid() ? color : otherwise;
}

} // namespace

std::vector<TableGrid> gridsOf(const Table& table) {
    std::vector<RowShape> shapes;
    std::vector<int> edges;
    shapes.reserve(table.rows.size());
    for (const TableRow& row : table.rows) {
        const RowDefinition& definition = *row.definition;
        int count = int(row.cellCount);
        // Empty cells beyond those the row defines are a writer's slip, not cells.
        while (!definition.cells.empty() && count > int(definition.cells.size())) {
            const TableCell& last = table.cells[row.firstCell + std::uint32_t(count - 1)];
            if (table.content.hasContent(last.from, last.to))
                break;
            --count;
        }
        // Edges within the page's reach, room left for each cell, so that what is written
        // reads back the same.
        const int left = std::min(definition.left, RowDefinition::maxEdge - count);
        RowShape shape{left, edges.size(), count};
        int previous = left;
        for (int i = 0; i < count; ++i) {
            int right =
                size_t(i) < definition.cells.size() ? definition.cells[size_t(i)].right : previous;
            if (right <= previous)
                right = previous + defaultCellWidth;
            right = std::clamp(right, previous + 1, RowDefinition::maxEdge - (count - 1 - i));
            edges.push_back(right);
            previous = right;
        }
        shapes.push_back(shape);
    }

    std::vector<TableGrid> grids;
    size_t first = 0;
    std::vector<int> rights;
    std::int64_t cells = 0;
    for (size_t row = 0; row < shapes.size(); ++row) {
        const RowShape& shape = shapes[row];
        std::vector<int> united = unite(rights, edges.data() + shape.first, size_t(shape.count));
        const std::int64_t rowsHeld = std::int64_t(row - first + 1);
        const std::int64_t cellsHeld = cells + shape.count;
        const std::int64_t places = rowsHeld * std::int64_t(united.size());
        if (row == first ||
            (united.size() <= size_t(RowDefinition::maxCells) &&
             places <= placesPerCell * cellsHeld + sparePlaces && places <= maxGridPlaces)) {
            rights = std::move(united);
            cells = cellsHeld;
            continue;
        }
        grids.push_back(layOut(table, shapes, edges, first, row, std::move(rights)));
        first = row;
        rights.assign(edges.begin() + std::ptrdiff_t(shape.first),
                      edges.begin() + std::ptrdiff_t(shape.first) + shape.count);
        cells = shape.count;
    }
    if (!shapes.empty())
        grids.push_back(layOut(table, shapes, edges, first, shapes.size(), std::move(rights)));
    return grids;
}

void replayCell(const Table& table, const TableGrid& grid, const GridCell& cell,
                ContentSink& sink) {
    bool ended = true;
    if (cell.cell >= 0) {
        const TableCell& own = table.cells[size_t(cell.cell)];
        table.content.replay(own.from, own.to, sink);
        ended = table.content.endsParagraph(own.from, own.to);
    }
    for (int at = cell.merged; at >= 0; at = grid.merged[size_t(at)].next) {
        const TableCell& merged = table.cells[size_t(grid.merged[size_t(at)].cell)];
        if (!ended)
            sink.endParagraph(ParaState(), CharState());
        table.content.replay(merged.from, merged.to, sink);
        ended = table.content.endsParagraph(merged.from, merged.to);
    }
}

QTextTableFormat tableFormatOf(const TableGrid& grid) {
    QTextTableFormat format;
    format.setBorder(0);
    format.setCellSpacing(0);
    format.setCellPadding(0);
    format.setBorderCollapse(true);
    format.setMargin(0);
    QList<QTextLength> widths;
    widths.reserve(grid.columns());
    int previous = grid.left;
    for (int right : grid.rights) {
        widths.append(QTextLength(QTextLength::FixedLength, Twips::toLayout(right - previous)));
        previous = right;
    }
    format.setColumnWidthConstraints(widths);
    format.setLeftMargin(Twips::toLayout(std::max(grid.left, 0)));
    format.setProperty(DocumentProperty::TableIndent, grid.left);
    const RowDefinition* first = grid.cells.empty() ? nullptr : grid.cells.front().rowDefinition;
    static constexpr Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
    format.setAlignment(alignments[first ? first->alignment : 0]);
    return format;
}

QTextTableCellFormat cellFormatOf(const TableGrid& grid, const GridCell& cell,
                                  const ColorTable& colors) {
    static const CellDefinition undefined;
    static const RowDefinition undefinedRow;
    const CellDefinition& definition = cell.definition ? *cell.definition : undefined;
    const RowDefinition& row = cell.rowDefinition ? *cell.rowDefinition : undefinedRow;
    QTextTableCellFormat format;

    // Only what differs from the table's own format (no padding, no border) is set: a cell's
    // format is compared whole each time one is set.
    const auto padding = [&](Side side, int otherwise) {
        const int given = definition.padding[size_t(side)];
        return Twips::toLayout(given >= 0 ? given : otherwise);
    };
    if (const qreal top = padding(Top, 0))
        format.setTopPadding(top);
    if (const qreal left = padding(Left, row.gap))
        format.setLeftPadding(left);
    if (const qreal bottom = padding(Bottom, 0))
        format.setBottomPadding(bottom);
    if (const qreal right = padding(Right, row.gap))
        format.setRightPadding(right);

    // A side the cell gives no border of its own has the row's: its outer border at the table's
    // edge, its inner one between cells.
    const bool top = cell.row == 0;
    const bool left = cell.column == 0;
    const bool bottom = cell.row + cell.rowSpan == grid.rows;
    const bool right = cell.column + cell.columnSpan == grid.columns();
    const Border* rowBorders[] = {&row.borders[top ? 0 : 4], &row.borders[left ? 1 : 5],
                                  &row.borders[bottom ? 2 : 4], &row.borders[right ? 3 : 5]};
    for (int side = Top; side <= Right; ++side) {
        const Border& own = definition.borders[size_t(side)];
        const Border& border = own.style != BorderStyle::None ? own : *rowBorders[side];
        if (border.style == BorderStyle::None)
            continue;
        const qreal width = Twips::toLayout(border.width > 0 ? border.width : defaultBorderWidth);
        const QTextFrameFormat::BorderStyle style = styleOf(border.style);
        const QBrush brush(colorOr(colors, border.color, Qt::black));
        switch (side) {
        case Top:
            format.setTopBorder(width);
            format.setTopBorderStyle(style);
            format.setTopBorderBrush(brush);
            break;
        case Left:
            format.setLeftBorder(width);
            format.setLeftBorderStyle(style);
            format.setLeftBorderBrush(brush);
            break;
        case Bottom:
            format.setBottomBorder(width);
            format.setBottomBorderStyle(style);
            format.setBottomBorderBrush(brush);
            break;
        default:
            format.setRightBorder(width);
            format.setRightBorderStyle(style);
            format.setRightBorderBrush(brush);
            break;
        }
    }

    // Shading lays a share of the pattern's colour over the cell's.
    if (definition.shading > 0 || definition.background > 0) {
        const QColor back = colorOr(colors, definition.background, Qt::white);
        QColor shown = back;
        if (definition.shading > 0) {
            const QColor front = colorOr(colors, definition.patternColor, Qt::black);
            const auto mix = [&](int b, int f) { return b + (f - b) * definition.shading / 10000; };
            shown = QColor(mix(back.red(), front.red()), mix(back.green(), front.green()),
                           mix(back.blue(), front.blue()));
        }
        if (definition.background > 0 || definition.shading > 0)
            format.setBackground(shown);
    }
    if (definition.verticalAlign == 1)
        format.setVerticalAlignment(QTextCharFormat::AlignMiddle);
    else if (definition.verticalAlign == 2)
        format.setVerticalAlignment(QTextCharFormat::AlignBottom);
    return format;
}

} // namespace rtf
