#include "rtf/RtfTableWriter.h"

#include "model/DocumentProperties.h"
#include "model/Twips.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace rtf {

namespace {

// A table's width where its columns give none, as much as a letter page holds.
constexpr int textWidth = 9360;
// What starts a table cell in a document's text.
constexpr char16_t cellStart = 0xFDD0;

// By side: top, left, bottom, right, the order the file's words come in.
constexpr int borderWidths[] = {QTextFormat::TableCellTopBorder, QTextFormat::TableCellLeftBorder,
                                QTextFormat::TableCellBottomBorder,
                                QTextFormat::TableCellRightBorder};
constexpr int borderStyles[] = {
    QTextFormat::TableCellTopBorderStyle, QTextFormat::TableCellLeftBorderStyle,
    QTextFormat::TableCellBottomBorderStyle, QTextFormat::TableCellRightBorderStyle};
constexpr int borderBrushes[] = {
    QTextFormat::TableCellTopBorderBrush, QTextFormat::TableCellLeftBorderBrush,
    QTextFormat::TableCellBottomBorderBrush, QTextFormat::TableCellRightBorderBrush};
constexpr int paddings[] = {QTextFormat::TableCellTopPadding, QTextFormat::TableCellLeftPadding,
                            QTextFormat::TableCellBottomPadding,
                            QTextFormat::TableCellRightPadding};
constexpr const char* borderWords[] = {"\\clbrdrt", "\\clbrdrl", "\\clbrdrb", "\\clbrdrr"};
constexpr const char* paddingWords[] = {"\\clpadt", "\\clpadl", "\\clpadb", "\\clpadr"};
constexpr const char* paddingUnits[] = {"\\clpadft3", "\\clpadfl3", "\\clpadfb3", "\\clpadfr3"};

struct SideBorder {
    int width = 0; // twips; 0 for none
    QTextFrameFormat::BorderStyle style = QTextFrameFormat::BorderStyle_None;
    QBrush brush;
};

// A cell's border on one side: its own, or for tables that give their cells none, the table's.
SideBorder borderOf(const QTextTableFormat& table, const QTextTableCellFormat& cell, int side) {
    SideBorder border;
    if (cell.hasProperty(borderWidths[side])) {
        border.width = Twips::fromLayout(cell.doubleProperty(borderWidths[side]));
        border.style = QTextFrameFormat::BorderStyle(cell.intProperty(borderStyles[side]));
        border.brush = cell.brushProperty(borderBrushes[side]);
    } else {
        border.width = Twips::fromLayout(table.border());
        border.style = table.borderStyle();
        border.brush = table.borderBrush();
    }
    if (border.style == QTextFrameFormat::BorderStyle_None || border.width <= 0)
        return {};
    return border;
}

bool isBlack(const QBrush& brush) {
    return brush.style() == Qt::NoBrush || brush.color().rgb() == qRgb(0, 0, 0);
}

const char* styleWord(QTextFrameFormat::BorderStyle style) {
    switch (style) {
    case QTextFrameFormat::BorderStyle_Double:
        return "\\brdrdb";
    case QTextFrameFormat::BorderStyle_Dotted:
        return "\\brdrdot";
    case QTextFrameFormat::BorderStyle_Dashed:
    case QTextFrameFormat::BorderStyle_DotDash:
    case QTextFrameFormat::BorderStyle_DotDotDash:
        return "\\brdrdash";
    default:
        return "\\brdrs";
    }
}

// Calls `visit` with every table in the frame and in the frames it holds, in document order.
template <typename Visit> void forEachTable(const QTextFrame& root, Visit visit) {
    std::vector<const QTextFrame*> pending{&root};
    while (!pending.empty()) {
        const QTextFrame* frame = pending.back();
        pending.pop_back();
        if (const auto* table = qobject_cast<const QTextTable*>(frame))
            visit(*table);
        const QList<QTextFrame*> children = frame->childFrames();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.push_back(*it);
    }
}

class FrameWriter {
public:
    explicit FrameWriter(FrameOutput& out) : m_out(out) {}

    // Writes a frame's content from `it` to its end, `level` tables deep. A cell's last
    // paragraph ends with the cell's mark; other frames' paragraphs are paragraphs of what holds
    // them.
    void writeContent(QTextFrame::iterator it, int level, bool cell);

private:
    // The cells a row writes: those that start in it and those merged down into it from above.
    struct RowCell {
        QTextTableCell cell;
        bool mergedUp = false;   // merged into the cell above it
        bool mergesDown = false; // cells below are merged into it
        int lastColumn = 0;
    };
    void writeTable(const QTextTable& table, int level);
    std::vector<RowCell> cellsOf(const QTextTable& table, int row) const;
    std::string rowDefinition(const std::vector<RowCell>& cells);
    // What a cell of this format says of its borders, padding, shading and alignment.
    const std::string& cellWords(const QTextTableCell& cell);
    const char* cellMark(int level) const { return level > 1 ? "\\nestcell" : "\\cell"; }
    // An empty paragraph of a cell.
    std::string tableParagraph(int level);
    void paragraph(const QTextBlock& block, int level) {
        m_out.paragraph(block, level, sayLevel(level));
    }
    // A paragraph of the outermost tables after one of a nested table says its depth: some
    // readers keep the depth \pard resets.
    bool sayLevel(int level) {
        const bool say = level > 1 || (level == 1 && m_previousLevel > 1);
        m_previousLevel = level;
        return say;
    }

    FrameOutput& m_out;
    int m_previousLevel = 0; // of the paragraph written last
    // The table being written: its format, its columns' right edges, the space beside its
    // cells' text, and the words of each cell format it uses, worked out once.
    struct Columns {
        QTextTableFormat format;
        std::vector<int> rights;
        int left = 0;
        int gap = 0;
        std::unordered_map<int, std::string> cellWords; // by the cell format's index
    };
    std::vector<Columns> m_columns; // by level
};

std::string FrameWriter::tableParagraph(int level) {
    std::string rtf = "\\pard\\intbl";
    if (sayLevel(level))
        rtf.append("\\itap").append(std::to_string(level));
    return rtf;
}

void FrameWriter::writeContent(QTextFrame::iterator it, int level, bool cell) {
    // Each paragraph is written once the next item shows how it ends.
    std::optional<QTextBlock> held;
    for (; !it.atEnd(); ++it) {
        if (QTextFrame* child = it.currentFrame()) {
            if (held && !isTableSpacer(*held)) {
                paragraph(*held, level);
                m_out.endParagraph(*held);
            }
            held.reset();
            if (const auto* table = qobject_cast<const QTextTable*>(child))
                writeTable(*table, level + 1);
            else
                writeContent(child->begin(), level, false);
            continue;
        }
        if (held) {
            paragraph(*held, level);
            m_out.endParagraph(*held);
        }
        held = it.currentBlock();
    }
    if (!cell) {
        if (held) {
            paragraph(*held, level);
            m_out.endParagraph(*held);
        }
        return;
    }
    if (held)
        paragraph(*held, level);
    else
        m_out.append(tableParagraph(level));
    m_out.append(cellMark(level));
    m_out.append("\r\n");
}

std::vector<FrameWriter::RowCell> FrameWriter::cellsOf(const QTextTable& table, int row) const {
    // Told apart by their neighbours in the grid, which costs nothing, where asking a cell for
    // its row and column searches the table.
    std::vector<RowCell> cells;
    const int columns = table.columns();
    for (int column = 0; column < columns; ++column) {
        const QTextTableCell cell = table.cellAt(row, column);
        int last = column;
        while (last + 1 < columns && table.cellAt(row, last + 1) == cell)
            ++last;
        const bool mergedUp = row > 0 && table.cellAt(row - 1, column) == cell;
        const bool mergesDown = !mergedUp && table.cellAt(row + 1, column) == cell;
        cells.push_back({cell, mergedUp, mergesDown, last});
        column = last;
    }
    return cells;
}

const std::string& FrameWriter::cellWords(const QTextTableCell& cell) {
    Columns& columns = m_columns.back();
    const auto [found, added] = columns.cellWords.try_emplace(cell.tableCellFormatIndex());
    std::string& rtf = found->second;
    if (!added)
        return rtf;
    const QTextTableCellFormat format = cell.format().toTableCellFormat();
    if (format.verticalAlignment() == QTextCharFormat::AlignMiddle)
        rtf.append("\\clvertalc");
    else if (format.verticalAlignment() == QTextCharFormat::AlignBottom)
        rtf.append("\\clvertalb");
    for (int side = 0; side < 4; ++side) {
        const SideBorder border = borderOf(columns.format, format, side);
        if (border.width > 0) {
            rtf.append(borderWords[side]).append(styleWord(border.style));
            rtf.append("\\brdrw").append(std::to_string(border.width));
            if (!isBlack(border.brush))
                rtf.append("\\brdrcf")
                    .append(std::to_string(m_out.colorIndex(border.brush.color().rgb())));
        }
        const qreal padding = format.hasProperty(paddings[side])
                                  ? format.doubleProperty(paddings[side])
                                  : columns.format.cellPadding();
        const int twips = Twips::fromLayout(padding);
        const int usual = side == 1 || side == 3 ? columns.gap : 0;
        if (twips != usual) {
            rtf.append(paddingWords[side]).append(std::to_string(twips));
            rtf.append(paddingUnits[side]);
        }
    }
    if (format.background().style() != Qt::NoBrush)
        rtf.append("\\clcbpat")
            .append(std::to_string(m_out.colorIndex(format.background().color().rgb())));
    return rtf;
}

std::string FrameWriter::rowDefinition(const std::vector<RowCell>& cells) {
    const Columns& columns = m_columns.back();
    std::string rtf =
        "\\trowd\\trgaph" + std::to_string(columns.gap) + "\\trleft" + std::to_string(columns.left);
    const Qt::Alignment alignment = columns.format.alignment() & Qt::AlignHorizontal_Mask;
    if (alignment & Qt::AlignHCenter)
        rtf.append("\\trqc");
    else if (alignment & Qt::AlignRight)
        rtf.append("\\trqr");
    for (const RowCell& cell : cells) {
        if (cell.mergedUp)
            rtf.append("\\clvmrg");
        else if (cell.mergesDown)
            rtf.append("\\clvmgf");
        rtf.append(cellWords(cell.cell));
        rtf.append("\\cellx").append(std::to_string(columns.rights[size_t(cell.lastColumn)]));
    }
    return rtf;
}

void FrameWriter::writeTable(const QTextTable& table, int level) {
    const QTextTableFormat format = table.format();
    Columns columns;
    columns.format = format;
    const QVariant indent = format.property(DocumentProperty::TableIndent);
    columns.left = indent.isValid() ? indent.toInt() : Twips::fromLayout(format.leftMargin());
    const QList<QTextLength> widths = format.columnWidthConstraints();
    const int count = table.columns();
    int right = columns.left;
    for (int column = 0; column < count; ++column) {
        const QTextLength length = column < widths.size() ? widths[column] : QTextLength();
        int width = 0;
        if (length.type() == QTextLength::FixedLength)
            width = Twips::fromLayout(length.rawValue());
        else if (length.type() == QTextLength::PercentageLength)
            width = int(length.rawValue() * textWidth / 100);
        else
            width = textWidth / count;
        right += width > 0 ? width : textWidth / count;
        columns.rights.push_back(right);
    }
    const QTextTableCellFormat first = table.cellAt(0, 0).format().toTableCellFormat();
    columns.gap = Twips::fromLayout(first.hasProperty(QTextFormat::TableCellLeftPadding)
                                        ? first.leftPadding()
                                        : format.cellPadding());
    m_columns.push_back(std::move(columns));

    for (int row = 0; row < table.rows(); ++row) {
        const std::vector<RowCell> cells = cellsOf(table, row);
        const std::string definition = rowDefinition(cells);
        // The outermost rows say what they are first, as most readers expect; nested ones end
        // with it, as only readers that know them look.
        if (level == 1) {
            m_out.append(definition);
            m_out.append("\r\n");
        }
        for (const RowCell& cell : cells) {
            if (!cell.mergedUp) {
                writeContent(cell.cell.begin(), level, true);
            } else {
                m_out.append(tableParagraph(level));
                m_out.append(cellMark(level));
                m_out.append("\r\n");
            }
        }
        if (level == 1) {
            m_out.append("\\row\r\n");
        } else {
            m_out.append("{\\*\\nesttableprops");
            m_out.append(definition);
            m_out.append("\\nestrow}{\\nonesttables\\par}\r\n");
        }
    }
    m_columns.pop_back();
}

} // namespace

bool isTableSpacer(const QTextBlock& block) {
    if (block.length() > 1)
        return false;
    const QTextDocument& document = *block.document();
    const int at = block.position();
    const int mark = at + block.length() - 1;
    if ((at > 0 && document.characterAt(at - 1) != QChar(cellStart)) ||
        document.characterAt(mark) != QChar(cellStart))
        return false;
    const QTextTable* table = QTextCursor(block.next()).currentTable();
    return table && table->firstPosition() == mark + 1;
}

void writeFrame(const QTextFrame& frame, FrameOutput& out) {
    FrameWriter(out).writeContent(frame.begin(), 0, false);
}

void forEachTableColor(const QTextDocument& document,
                       const std::function<void(const QBrush&)>& add) {
    forEachTable(*document.rootFrame(), [&](const QTextTable& table) {
        const QTextTableFormat format = table.format();
        std::unordered_map<int, bool> seen; // cell format indexes
        for (int row = 0; row < table.rows(); ++row) {
            for (int column = 0; column < table.columns(); ++column) {
                const QTextTableCell cell = table.cellAt(row, column);
                if ((column > 0 && table.cellAt(row, column - 1) == cell) ||
                    (row > 0 && table.cellAt(row - 1, column) == cell) ||
                    !seen.try_emplace(cell.tableCellFormatIndex(), true).second)
                    continue;
                const QTextTableCellFormat cellFormat = cell.format().toTableCellFormat();
                for (int side = 0; side < 4; ++side) {
                    const SideBorder border = borderOf(format, cellFormat, side);
                    if (border.width > 0 && !isBlack(border.brush))
                        add(border.brush);
                }
                if (cellFormat.background().style() != Qt::NoBrush)
                    add(cellFormat.background());
            }
        }
    });
}

} // namespace rtf
