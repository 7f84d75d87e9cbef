#pragma once

#include "rtf/RtfTables.h"

#include <QTextTableCellFormat>
#include <QTextTableFormat>

#include <vector>

namespace rtf {

class ColorTable;

// A table's cell at its place in the grid its rows make together.
struct GridCell {
    int row = 0;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
    int cell = -1;   // in Table::cells; -1 where a span too costly to keep left a place empty
    int merged = -1; // the first cell merged into this one with content, in TableGrid::merged
    const CellDefinition* definition = nullptr; // null for a cell its row did not define
    const RowDefinition* rowDefinition = nullptr;
};

// Rows of a table laid out on one grid: its columns end at every cell edge of every row, and a
// cell spans the columns between its own edges and the rows its cells below were merged into.
struct TableGrid {
    struct Merged {
        int cell = -1; // in Table::cells
        int next = -1;
    };

    int rows = 0;
    int left = 0;                // where the first column starts, twips from the margin
    std::vector<int> rights;     // where each column ends
    std::vector<GridCell> cells; // in the order a document keeps them: by row, then by column
    std::vector<Merged> merged;

    int columns() const { return int(rights.size()); }
};

// The grids a table's rows are laid out on, top to bottom. Rows whose edges would make a grid of
// too many columns, or of far more places than cells, start a grid of their own.
std::vector<TableGrid> gridsOf(const Table& table);

// Sends the cell's content to `sink`, then that of the cells merged into it.
void replayCell(const Table& table, const TableGrid& grid, const GridCell& cell, ContentSink& sink);

QTextTableFormat tableFormatOf(const TableGrid& grid);
QTextTableCellFormat cellFormatOf(const TableGrid& grid, const GridCell& cell,
                                  const ColorTable& colors);

} // namespace rtf
