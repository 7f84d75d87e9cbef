#pragma once

#include "layout/TableGeometry.h"

#include <QPointF>
#include <QRectF>
#include <QTextOption>

#include <functional>
#include <vector>

class QTextBlock;
class QTextDocument;
class QTextTable;
class QTextTableCell;

// Rows of a table laid out together: a row, and the rows below it that its cells span into.
// A band is what an edit in a cell lays out again, and what a long table is laid out by as it is
// shown. Everything in it stands relative to the band's top, x from the page's left edge; the
// tables inside its cells are laid out whole with it.
struct TableBand {
    // The band's own table (the first), and each table inside one of its cells.
    struct Table {
        const QTextTable* table = nullptr;
        TableGeometry geometry;
        QPointF origin; // the table's top left corner; its first row's top for the band's own
        int firstRow = 0;
        std::vector<qreal> rowTop; // of the rows the band holds, from firstRow on
        std::vector<qreal> rowHeight;
        int cell = -1; // in cells: the cell holding this table, -1 for the band's own
        qreal bottom = 0;
    };
    struct Cell {
        int table = 0; // in tables
        int row = 0;
        int column = 0;
        QRectF rect;
        QPointF content; // where its first paragraph's lines start
        qreal contentWidth = 0;
    };
    // In the order of the document's paragraphs from the band's first.
    struct Paragraph {
        QPointF at;       // the top left corner of its lines
        qreal height = 0; // of its lines
        int cell = -1;    // in cells: the innermost cell holding it
    };

    int firstBlock = 0; // the number of the band's first paragraph when it was laid out
    int firstRow = 0;
    int lastRow = 0;
    qreal height = 0;
    std::vector<Table> tables;
    std::vector<Cell> cells;
    std::vector<Paragraph> paragraphs;

    // The innermost cell at `point`, or -1 for none.
    int cellAt(QPointF point) const;
    // The paragraph (in paragraphs) nearest `point` among those of `cell`, and the tables in it.
    // Sets `table` instead when a table in the cell is nearer, to look into.
    int paragraphNear(int cell, QPointF point, int* table) const;
    // The cell of `table` at `point`, the nearest one when the point is in no cell of it.
    int cellOfTableAt(int table, QPointF point) const;
};

// What laying out a band asks of the layout that lays it out.
struct BandContext {
    qreal scale = 1;
    // Lays the band's `index`-th paragraph out in a column `width` wide, its top `at` from the
    // band's, and returns the height of its lines.
    std::function<qreal(const QTextBlock& block, qreal width, QPointF at, size_t index)> paragraph;
    // How wide the content of a cell of a column without a fixed width can be.
    TableGeometry::MeasureCell measure;
};

namespace TableBands {

// The widest word and the widest paragraph of a cell, each on one line, in the options given.
std::pair<qreal, qreal> measureCell(const QTextDocument& document, const QTextTableCell& cell,
                                    const QTextOption& option);

// Where each band of `table` starts: the rows that no cell above spans into.
std::vector<int> bandRows(const QTextTable& table);

// Lays out the rows [firstRow, lastRow] of the table in `geometry`, which stands at `tableX`;
// the band's first paragraph is the document's `firstBlock`-th. The first band holds the space
// above the table's rows, the last the space below them, the others the space between rows
// above their first.
TableBand layOut(const TableGeometry& geometry, qreal tableX, int firstRow, int lastRow,
                 int firstBlock, const BandContext& context);

} // namespace TableBands
