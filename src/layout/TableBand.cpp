#include "layout/TableBand.h"

#include "layout/ParagraphLines.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <QtMath>

#include <limits>

namespace {

// Lays a band out: the rows of its table, and in their cells paragraphs and tables one under
// the other as in the page's own column.
class BandBuilder {
public:
    BandBuilder(TableBand& band, const BandContext& context) : band_(band), context_(context) {}

    // Lays out the rows of tables[table] from firstRow to lastRow, the first of them at `top`.
    // Returns the bottom of the last.
    qreal layOutRows(size_t table, int firstRow, int lastRow, qreal top);

private:
    // Lays out the content of a frame (a cell, or a frame in one) from `it` on, its first line
    // at `origin`, in a column `width` wide. Returns the height it takes.
    qreal layOutFlow(QTextFrame::iterator it, QPointF origin, qreal width, int cell);
    // Moves what the cells from `firstCell` on and the paragraphs from `firstParagraph` on hold
    // down by `dy`: a cell's content aligned to its middle or bottom.
    void moveDown(size_t firstCell, size_t firstParagraph, size_t firstTable, qreal dy);

    TableBand& band_;
    const BandContext& context_;
};

qreal BandBuilder::layOutRows(size_t tableIndex, int firstRow, int lastRow, qreal top) {
    const TableGeometry geometry = band_.tables[tableIndex].geometry;
    const QTextTable& table = *geometry.table();
    const QPointF origin = band_.tables[tableIndex].origin;
    const int columns = geometry.columns();
    const int rows = lastRow - firstRow + 1;
    std::vector<qreal> rowTop(size_t(rows), top);
    std::vector<qreal> heights(size_t(rows), 0);
    std::vector<qreal> toDistribute(size_t(columns), 0);
    struct Placed {
        size_t cell;
        size_t firstCell;
        size_t firstParagraph;
        size_t firstTable;
        qreal contentHeight;
    };
    std::vector<Placed> placed;
    bool spans = false;
    for (int r = 0; r < rows; ++r) {
        const int row = firstRow + r;
        if (r > 0)
            rowTop[size_t(r)] =
                rowTop[size_t(r) - 1] + heights[size_t(r) - 1] + geometry.betweenRows();
        for (int column = 0; column < columns; ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            const int rowSpan = cell.rowSpan();
            const int columnSpan = cell.columnSpan();
            if (columnSpan > 1 && cell.column() != column)
                continue;
            if (rowSpan > 1) {
                spans = true;
                if (cell.row() != row) {
                    // The last row a cell spans takes what its content needs beyond the others.
                    if (cell.row() + rowSpan - 1 == row)
                        heights[size_t(r)] =
                            qMax(heights[size_t(r)], qreal(qRound(toDistribute[size_t(column)])));
                    continue;
                }
            }
            const QMarginsF padding = geometry.paddingOf(cell);
            const qreal width =
                geometry.cellWidth(column, columnSpan) - padding.left() - padding.right();
            TableBand::Cell box;
            box.table = int(tableIndex);
            box.row = row;
            box.column = column;
            box.content = QPointF(origin.x() + geometry.columnX(column) + padding.left(),
                                  rowTop[size_t(r)] + padding.top());
            box.contentWidth = width;
            const size_t index = band_.cells.size();
            band_.cells.push_back(box);
            const size_t firstParagraph = band_.paragraphs.size();
            const size_t firstTable = band_.tables.size();
            const qreal content = layOutFlow(cell.begin(), box.content, width, int(index));
            const qreal height = qRound(content + padding.top() + padding.bottom());
            if (rowSpan > 1)
                toDistribute[size_t(column)] = height;
            else
                heights[size_t(r)] = qMax(heights[size_t(r)], height);
            placed.push_back({index, index + 1, firstParagraph, firstTable,
                              content + padding.top() + padding.bottom()});
        }
        if (spans) {
            const qreal taken = heights[size_t(r)] + geometry.betweenRows();
            for (qreal& left : toDistribute)
                left = qMax<qreal>(left - taken, 0);
        }
    }
    // The cells' frames, and their content aligned in them.
    for (size_t i = 0; i < placed.size(); ++i) {
        const Placed& at = placed[i];
        TableBand::Cell& box = band_.cells[at.cell];
        const QTextTableCell cell = table.cellAt(box.row, box.column);
        const int r = box.row - firstRow;
        const int last = qMin(r + cell.rowSpan() - 1, rows - 1);
        const qreal height = rowTop[size_t(last)] + heights[size_t(last)] - rowTop[size_t(r)];
        box.rect = QRectF(origin.x() + geometry.columnX(box.column), rowTop[size_t(r)],
                          geometry.cellWidth(box.column, cell.columnSpan()), height);
        qreal offset = 0;
        switch (cell.format().verticalAlignment()) {
        case QTextCharFormat::AlignMiddle:
            offset = (height - at.contentHeight) / 2;
            break;
        case QTextCharFormat::AlignBottom:
            offset = height - at.contentHeight;
            break;
        default:
            break;
        }
        if (offset != 0) {
            box.content.ry() += offset;
            // What the cell holds was placed after it, up to the next cell of this table.
            const bool lastCell = i + 1 == placed.size();
            const size_t endCell = lastCell ? band_.cells.size() : placed[i + 1].cell;
            const size_t endParagraph =
                lastCell ? band_.paragraphs.size() : placed[i + 1].firstParagraph;
            const size_t endTable = lastCell ? band_.tables.size() : placed[i + 1].firstTable;
            for (size_t c = at.firstCell; c < endCell; ++c) {
                band_.cells[c].rect.translate(0, offset);
                band_.cells[c].content.ry() += offset;
            }
            for (size_t p = at.firstParagraph; p < endParagraph; ++p)
                band_.paragraphs[p].at.ry() += offset;
            for (size_t t = at.firstTable; t < endTable; ++t) {
                TableBand::Table& inner = band_.tables[t];
                inner.origin.ry() += offset;
                inner.bottom += offset;
                for (qreal& y : inner.rowTop)
                    y += offset;
            }
        }
    }
    TableBand::Table& laid = band_.tables[tableIndex];
    laid.firstRow = firstRow;
    laid.rowTop = std::move(rowTop);
    laid.rowHeight = std::move(heights);
    return laid.rowTop.back() + laid.rowHeight.back();
}

qreal BandBuilder::layOutFlow(QTextFrame::iterator it, QPointF origin, qreal width, int cell) {
    qreal y = 0;
    bool afterBlock = false;
    qreal previousBottom = 0;
    const QTextTable* previousTable = nullptr;
    QRectF previousTableRect;
    for (; !it.atEnd(); ++it) {
        if (QTextFrame* frame = it.currentFrame()) {
            afterBlock = false;
            previousTable = nullptr;
            const auto* table = qobject_cast<const QTextTable*>(frame);
            if (!table) {
                // A frame of another kind: its content, in the column.
                y += layOutFlow(frame->begin(), origin + QPointF(0, y), width, cell);
                continue;
            }
            TableGeometry geometry(*table, width, context_.scale, context_.measure);
            // Read before the rows are laid out: tables inside them join the band's list.
            const qreal above = geometry.aboveRows();
            const qreal below = geometry.belowRows();
            const qreal tableWidth = geometry.width();
            const qreal top = origin.y() + y;
            TableBand::Table placed;
            placed.table = table;
            placed.origin = QPointF(origin.x() + geometry.offsetIn(0, width), top);
            placed.cell = cell;
            placed.geometry = std::move(geometry);
            const size_t index = band_.tables.size();
            const qreal left = placed.origin.x();
            band_.tables.push_back(std::move(placed));
            qreal bottom = top + above + below;
            if (table->rows() > 0)
                bottom = layOutRows(index, 0, table->rows() - 1, top + above) + below;
            band_.tables[index].bottom = bottom;
            previousTable = table;
            previousTableRect = QRectF(left, top, tableWidth, bottom - top);
            y = bottom - origin.y();
            continue;
        }
        const QTextBlock block = it.currentBlock();
        TableBand::Paragraph paragraph;
        paragraph.cell = cell;
        if (!block.isVisible()) {
            paragraph.at = origin + QPointF(0, y);
            band_.paragraphs.push_back(paragraph);
            continue;
        }
        const QTextBlockFormat format = block.blockFormat();
        const ParagraphLines::Margins margins = ParagraphLines::marginsOf(format, context_.scale);
        const qreal gap = afterBlock ? qMax(margins.top, previousBottom) : 0;
        paragraph.at = origin + QPointF(0, y + gap);
        paragraph.height = context_.paragraph(block, width, paragraph.at, band_.paragraphs.size());
        // An empty paragraph beside a table takes no room, and no clicks from the table.
        if (ParagraphLines::hiddenBeforeTable(block)) {
            y += gap;
            paragraph.height = 0;
        } else if (previousTable && block.length() == 1) {
            paragraph.at =
                QPointF(previousTableRect.right(), previousTableRect.bottom() - paragraph.height);
            paragraph.height = 0;
        } else {
            y += gap + paragraph.height;
        }
        band_.paragraphs.push_back(paragraph);
        afterBlock = true;
        previousTable = nullptr;
        previousBottom = margins.bottom;
    }
    return y;
}

} // namespace

namespace TableBands {

std::pair<qreal, qreal> measureCell(const QTextDocument& document, const QTextTableCell& cell,
                                    const QTextOption& option) {
    std::pair<qreal, qreal> widths{0, 0};
    QTextOption oneLine = option;
    oneLine.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Not through the cell's cursors: placing one asks the layout where its paragraph is.
    for (QTextBlock block = document.findBlock(cell.firstPosition());
         block.isValid() && block.position() <= cell.lastPosition(); block = block.next()) {
        QTextLayout measured(block);
        measured.setTextOption(oneLine);
        measured.beginLayout();
        while (true) {
            QTextLine line = measured.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(1e6);
        }
        measured.endLayout();
        const QTextBlockFormat format = block.blockFormat();
        const qreal margins = format.leftMargin() + format.rightMargin() + format.textIndent();
        widths.first = qMax(widths.first, measured.minimumWidth() + margins);
        widths.second = qMax(widths.second, measured.maximumWidth() + margins);
    }
    return widths;
}

std::vector<int> bandRows(const QTextTable& table) {
    std::vector<int> starts;
    const int rows = table.rows();
    const int columns = table.columns();
    for (int row = 0; row < rows; ++row) {
        bool spannedInto = false;
        for (int column = 0; column < columns && !spannedInto; ++column)
            spannedInto = table.cellAt(row, column).row() != row;
        if (!spannedInto || starts.empty())
            starts.push_back(row);
    }
    return starts;
}

TableBand layOut(const TableGeometry& geometry, qreal tableX, int firstRow, int lastRow,
                 int firstBlock, const BandContext& context) {
    TableBand band;
    band.firstBlock = firstBlock;
    band.firstRow = firstRow;
    band.lastRow = lastRow;
    TableBand::Table own;
    own.table = geometry.table();
    own.geometry = geometry;
    own.origin = QPointF(tableX, 0);
    band.tables.push_back(std::move(own));
    const qreal top = firstRow == 0 ? geometry.aboveRows() : geometry.betweenRows();
    BandBuilder builder(band, context);
    qreal bottom = builder.layOutRows(0, firstRow, lastRow, top);
    if (lastRow + 1 == geometry.rows())
        bottom += geometry.belowRows();
    band.tables.front().bottom = bottom;
    band.height = bottom;
    return band;
}

} // namespace TableBands

int TableBand::cellAt(QPointF point) const {
    // Cells inside cells come after the cell holding them.
    for (size_t i = cells.size(); i-- > 0;) {
        if (cells[i].rect.contains(point))
            return int(i);
    }
    return -1;
}

int TableBand::cellOfTableAt(int table, QPointF point) const {
    int nearest = -1;
    qreal distance = std::numeric_limits<qreal>::max();
    for (size_t i = 0; i < cells.size(); ++i) {
        if (cells[i].table != table)
            continue;
        const QRectF& rect = cells[i].rect;
        const qreal dx = qMax<qreal>(0, qMax(rect.left() - point.x(), point.x() - rect.right()));
        const qreal dy = qMax<qreal>(0, qMax(rect.top() - point.y(), point.y() - rect.bottom()));
        const qreal d = dx * dx + dy * dy;
        if (d < distance) {
            distance = d;
            nearest = int(i);
        }
    }
    return nearest;
}

int TableBand::paragraphNear(int cell, QPointF point, int* table) const {
    int nearest = -1;
    qreal distance = std::numeric_limits<qreal>::max();
    *table = -1;
    const auto consider = [&](qreal top, qreal bottom, int paragraph, int inner) {
        const qreal d = point.y() < top ? top - point.y() : qMax<qreal>(0, point.y() - bottom);
        if (d < distance) {
            distance = d;
            nearest = paragraph;
            *table = inner;
        }
    };
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        if (paragraphs[i].cell == cell)
            consider(paragraphs[i].at.y(), paragraphs[i].at.y() + paragraphs[i].height, int(i), -1);
    }
    for (size_t i = 1; i < tables.size(); ++i) {
        if (tables[i].cell == cell)
            consider(tables[i].origin.y(), tables[i].bottom, -1, int(i));
    }
    return nearest;
}
