// How the pane's layout lays out, draws and hit-tests tables: see PaneLayout.h.
#include "layout/PaneLayout.h"

#include "layout/TablePainting.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <QtMath>

#include <algorithm>

namespace {
// A table is laid out a band at a time; an edit in more bands than this that were laid out lays
// them out again when they are shown, not at once.
constexpr int bandsAtOnce = 64;
} // namespace

void PaneLayout::findTables() {
    tables_.clear();
    const QTextDocument* doc = document();
    for (QTextFrame* frame : doc->rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        TableState state;
        state.table = table;
        placeTable(state);
        tables_.push_back(std::move(state));
    }
}

bool PaneLayout::sameTables() const {
    size_t at = 0;
    for (QTextFrame* frame : document()->rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (!table)
            continue;
        if (at >= tables_.size() || tables_[at].table != table)
            return false;
        ++at;
    }
    return at == tables_.size();
}

void PaneLayout::placeTable(TableState& state) {
    const QTextTable& table = *state.table;
    const QTextDocument* doc = document();
    state.rows = table.rows();
    state.columns = table.columns();
    state.format = table.format();
    state.firstBlock = doc->findBlock(table.firstPosition()).blockNumber();
    state.lastBlock = doc->findBlock(table.lastPosition()).blockNumber();
    state.laid.clear();
    state.geometry = TableGeometry(table, contentWidth_, settings_.scale, bandContext().measure);
    state.x = state.geometry.offsetIn(left_, contentWidth_);
    state.bandRow = TableBands::bandRows(table);
    state.bandBlock.clear();
    state.bandBlock.reserve(state.bandRow.size());
    for (int row : state.bandRow)
        state.bandBlock.push_back(
            doc->findBlock(table.cellAt(row, 0).firstPosition()).blockNumber());
    widest_ = qMax(widest_, state.x - left_ + state.geometry.width());
}

PaneLayout::TableState* PaneLayout::tableOf(int number) const {
    if (tables_.empty())
        return nullptr;
    const auto after =
        std::upper_bound(tables_.begin(), tables_.end(), number,
                         [](int n, const TableState& table) { return n < table.firstBlock; });
    if (after == tables_.begin())
        return nullptr;
    TableState& table = *(after - 1);
    return number <= table.lastBlock ? &table : nullptr;
}

int PaneLayout::bandOf(const TableState& table, int number) const {
    const auto after = std::upper_bound(table.bandBlock.begin(), table.bandBlock.end(), number);
    return qMax(0, int(after - table.bandBlock.begin()) - 1);
}

int PaneLayout::bandEnd(const TableState& table, int band) const {
    return size_t(band) + 1 < table.bandBlock.size() ? table.bandBlock[size_t(band) + 1] - 1
                                                     : table.lastBlock;
}

std::pair<int, int> PaneLayout::unitAt(int number) const {
    if (const TableState* table = tableOf(number)) {
        const int band = bandOf(*table, number);
        return {table->bandBlock[size_t(band)], bandEnd(*table, band)};
    }
    return {number, number};
}

qreal PaneLayout::estimateBand(const TableState& table, int band) const {
    // Each cell's paragraphs as so many lines of the cell's average width.
    const int first = table.bandBlock[size_t(band)];
    const int last = bandEnd(table, band);
    const int columns = qMax(1, table.columns);
    const qreal cellWidth = qMax<qreal>(table.geometry.width() / columns, 1);
    qreal lines = 0;
    QTextBlock block = document()->findBlockByNumber(first);
    for (int n = first; n <= last && block.isValid(); ++n, block = block.next())
        lines += qMax<qreal>(1, qCeil((block.length() - 1) * averageCharWidth_ / cellWidth));
    const size_t next = size_t(band) + 1;
    const int rows = (next < table.bandRow.size() ? table.bandRow[next] : table.rows) -
                     table.bandRow[size_t(band)];
    qreal height = qMax<qreal>(rows, qCeil(lines / columns)) * lineSpacing_;
    height += rows * table.geometry.betweenRows();
    if (band == 0)
        height += table.geometry.aboveRows() - table.geometry.betweenRows();
    if (next == table.bandRow.size())
        height += table.geometry.belowRows();
    return height;
}

void PaneLayout::estimateTable(TableState& table) const {
    for (int n = table.firstBlock; n <= table.lastBlock; ++n) {
        heights_.setExact(size_t(n), false);
        heights_.setGap(size_t(n), 0);
        setHeight(n, 0);
    }
    for (size_t band = 0; band < table.bandBlock.size(); ++band)
        setHeight(table.bandBlock[band], estimateBand(table, int(band)));
}

BandContext PaneLayout::bandContext() const {
    BandContext context;
    context.scale = settings_.scale;
    context.paragraph = [this](const QTextBlock& block, qreal width, QPointF, size_t) {
        return layOutCellParagraph(block, width);
    };
    context.measure = [this](const QTextTableCell& cell) {
        return TableBands::measureCell(*document(), cell, settings_.option);
    };
    return context;
}

qreal PaneLayout::layOutCellParagraph(const QTextBlock& block, qreal width) const {
    const int number = block.blockNumber();
    heights_.setExact(size_t(number), true);
    if (isLong(block)) {
        // Laid out whole with its band, a piece at a time.
        block.layout()->clearLayout();
        LongParagraph& paragraph = piecesOf(block, width);
        for (size_t i = 0; i < paragraph.pieces.size(); ++i)
            layOutPiece(block, number, paragraph, i);
        return piecesHeight(paragraph);
    }
    qreal ignored = 0;
    return ParagraphLines::layOut(*block.layout(), block.text(), block.blockFormat(),
                                  block.textDirection(), true, lines_, width, ignored);
}

const TableBand& PaneLayout::ensureBand(TableState& table, int band) const {
    auto found = table.laid.find(band);
    if (found == table.laid.end()) {
        layOutBand(table, band);
        found = table.laid.find(band);
    }
    return found->second;
}

void PaneLayout::layOutBand(TableState& table, int band) const {
    const size_t next = size_t(band) + 1;
    const int lastRow = (next < table.bandRow.size() ? table.bandRow[next] : table.rows) - 1;
    TableBand laid = TableBands::layOut(table.geometry, table.x, table.bandRow[size_t(band)],
                                        lastRow, table.bandBlock[size_t(band)], bandContext());
    for (const TableBand::Table& inner : laid.tables)
        widest_ = qMax(widest_, inner.origin.x() - left_ + inner.geometry.width());
    const qreal height = laid.height;
    table.laid[band] = std::move(laid);
    setHeight(table.bandBlock[size_t(band)], height);
}

qreal PaneLayout::bandTop(const TableState& table, int band) const {
    return top_ + topOf(table.bandBlock[size_t(band)]);
}

QPointF PaneLayout::cellParagraphAt(const QTextBlock& block, int number) const {
    (void)block;
    TableState& table = *tableOf(number);
    const int band = bandOf(table, number);
    const TableBand& laid = ensureBand(table, band);
    const size_t index = size_t(number - table.bandBlock[size_t(band)]);
    if (index >= laid.paragraphs.size())
        return {left_, bandTop(table, band)};
    return laid.paragraphs[index].at + QPointF(0, bandTop(table, band));
}

qreal PaneLayout::columnLeft(int position) const {
    if (!canLayOut())
        return 0;
    const QTextBlock block = document()->findBlock(position);
    const int number = block.blockNumber();
    if (!block.isValid() || !tableOf(number))
        return 0;
    return cellParagraphAt(block, number).x() - left_;
}

QPointF PaneLayout::besideTable(const QTextBlock& block, int number) const {
    const TableState* table = tableOf(number - 1);
    if (!table)
        return {left_, top_ + topOf(number)};
    const qreal height = block.layout()->boundingRect().height();
    return {table->x + table->geometry.width(), top_ + topOf(number) - height};
}

void PaneLayout::followTables(int first, int last, int oldLast) {
    const int delta = last - oldLast;
    const QTextDocument* doc = document();
    for (TableState& table : tables_) {
        if (table.lastBlock < first)
            continue;
        if (table.firstBlock > oldLast) {
            table.firstBlock += delta;
            table.lastBlock += delta;
            for (int& block : table.bandBlock)
                block += delta;
            continue;
        }
        const QTextTable& qt = *table.table;
        const int firstBlock = doc->findBlock(qt.firstPosition()).blockNumber();
        if (qt.rows() != table.rows || qt.columns() != table.columns ||
            !(qt.format() == table.format) || firstBlock != table.firstBlock) {
            placeTable(table);
            estimateTable(table);
            continue;
        }
        const int firstBand = bandOf(table, qMax(first, table.firstBlock));
        const int lastBand = bandOf(table, qMin(oldLast, table.lastBlock));
        table.lastBlock = doc->findBlock(qt.lastPosition()).blockNumber();
        for (size_t band = size_t(lastBand) + 1; band < table.bandBlock.size(); ++band)
            table.bandBlock[band] += delta;
        const bool few = lastBand - firstBand < bandsAtOnce;
        for (int band = firstBand; band <= lastBand; ++band) {
            const bool wasLaid = table.laid.erase(band) > 0;
            if (wasLaid && few)
                layOutBand(table, band);
            else
                setHeight(table.bandBlock[size_t(band)], estimateBand(table, band));
        }
    }
}

void PaneLayout::drawBand(QPainter* painter, const PaintContext& context, TableState& table,
                          int band) const {
    const TableBand& laid = ensureBand(table, band);
    const int firstBlock = table.bandBlock[size_t(band)];
    // Each paragraph with the selections as they stand in its cell: whole cells chosen.
    TablePainting::drawBand(
        *painter, laid, bandTop(table, band), context.clip, [&](size_t i, QPointF at) {
            const int number = firstBlock + int(i);
            const QTextBlock block = document()->findBlockByNumber(number);
            const TableBand::Cell& cell = laid.cells[size_t(laid.paragraphs[i].cell)];
            const QTextTable* inner = laid.tables[size_t(cell.table)].table;
            PaintContext inCell = context;
            for (Selection& selection : inCell.selections) {
                selection.format.clearProperty(QTextFormat::FullWidthSelection);
                if (selection.cursor.currentTable() != inner ||
                    !selection.cursor.hasComplexSelection())
                    continue;
                int firstRow = 0, rows = 0, firstColumn = 0, columns = 0;
                selection.cursor.selectedTableCells(&firstRow, &rows, &firstColumn, &columns);
                const QTextTableCell chosen = inner->cellAt(cell.row, cell.column);
                if (cell.row >= firstRow && cell.row < firstRow + rows &&
                    cell.column >= firstColumn && cell.column < firstColumn + columns) {
                    // An empty cell chosen shows its mark chosen.
                    const int end = chosen.lastPosition() +
                                    (chosen.firstPosition() == chosen.lastPosition() ? 1 : 0);
                    selection.cursor.setPosition(chosen.firstPosition());
                    selection.cursor.setPosition(end, QTextCursor::KeepAnchor);
                } else {
                    selection.cursor.clearSelection();
                }
            }
            if (isLong(block)) {
                drawPieces(painter, inCell, block, number, at);
                return;
            }
            QTextLayout* layout = block.layout();
            if (layout->position() != at)
                layout->setPosition(at);
            drawBlock(painter, inCell, block);
        });
}

int PaneLayout::hitTestBand(TableState& table, int band, const QPointF& point,
                            Qt::HitTestAccuracy accuracy, bool* exact) const {
    const TableBand& laid = ensureBand(table, band);
    const qreal top = bandTop(table, band);
    const QPointF inBand = point - QPointF(0, top);
    int inner = 0;
    int paragraph = -1;
    int cell = -1;
    // From the band's table into the cell at the point, and into tables there, down to a
    // paragraph.
    while (inner >= 0) {
        cell = laid.cellOfTableAt(inner, inBand);
        if (cell < 0)
            break;
        paragraph = laid.paragraphNear(cell, inBand, &inner);
    }
    if (paragraph < 0) {
        const QTextTableCell at =
            cell >= 0 ? laid.tables[size_t(laid.cells[size_t(cell)].table)].table->cellAt(
                            laid.cells[size_t(cell)].row, laid.cells[size_t(cell)].column)
                      : table.table->cellAt(0, 0);
        return at.firstPosition();
    }
    const int number = table.bandBlock[size_t(band)] + paragraph;
    const QTextBlock block = document()->findBlockByNumber(number);
    const QPointF at = laid.paragraphs[size_t(paragraph)].at + QPointF(0, top);
    if (isLong(block))
        return hitTestPieces(block, number, point, accuracy, exact);
    QTextLayout* layout = block.layout();
    if (layout->position() != at)
        layout->setPosition(at);
    return block.position() + offsetInLayout(*layout, point - at, accuracy, exact);
}
