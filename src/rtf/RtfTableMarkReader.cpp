#include "rtf/RtfTableMarkReader.h"

#include "rtf/RtfTables.h"

#include <algorithm>

namespace rtf {

bool TableMarkReader::word(Word id, int value, bool tablesApply) {
    // Every formatting word of the body comes here first.
    if (id != Word::Row && id != Word::NestRow && id != Word::Cell && id != Word::NestCell &&
        !isRowWord(id))
        return false;
    const GroupState& s = m_reader.state();
    switch (id) {
    case Word::Row:
    case Word::NestRow:
        m_nestedTableSeen |= id == Word::NestRow;
        if (!tablesApply) {
            endRowAsParagraph(id == Word::NestRow);
            break;
        }
        m_reader.flushRun();
        m_tables.endRow(id == Word::NestRow ? nestedLevel() : std::max(s.para.tableLevel, 1));
        break;
    case Word::Cell:
    case Word::NestCell:
        m_nestedTableSeen |= id == Word::NestCell;
        if (!tablesApply) {
            ++m_pendingCells;
            break;
        }
        // The mark ends the cell's last paragraph.
        {
            const int level = id == Word::NestCell ? nestedLevel() : std::max(s.para.tableLevel, 1);
            m_reader.endParagraph(level);
            m_tables.endCell(level);
        }
        break;
    default: {
        // A nested row's definition comes with its end; the outermost rows' start rows.
        if (!tablesApply)
            break;
        // A row's definition is the table's: it ends a stretch of hidden text, as a mark does,
        // and is never kept in its bytes to act again where those are written.
        if (s.chars.hidden)
            m_reader.flushRun();
        const bool nested = s.destination == Destination::NestedTableRow;
        if (id == Word::RowDefaults && !nested) {
            m_reader.flushRun();
            m_tables.startRow();
        }
        m_tables.rowWord(nested ? std::max(s.para.tableLevel, 2) : 1, id, value);
    }
    }
    return true;
}

void TableMarkReader::beginNestedRowProperties() {
    m_reader.state().destination = Destination::NestedTableRow;
    m_nestedTableSeen = true;
}

void TableMarkReader::beginNoNestTables() {
    // In hidden text it shows nothing either way, and stays in the bytes kept for it.
    if (m_nestedTableSeen || m_reader.state().chars.hidden)
        m_reader.skipGroup();
}

int TableMarkReader::nestedLevel() {
    const int level = m_reader.state().para.tableLevel;
    return level >= 2 ? level : std::max(2, m_tables.depth());
}

void TableMarkReader::endRowAsParagraph(bool nested) {
    // A table that ends with a nested row has its row's mark already.
    if (nested || !m_afterNestedRow)
        m_reader.endParagraph(-1);
    m_pendingCells = 0;
    m_afterNestedRow = nested;
}

} // namespace rtf
