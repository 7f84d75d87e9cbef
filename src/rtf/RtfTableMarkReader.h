#pragma once

#include "rtf/RtfControlWords.h"
#include "rtf/RtfReadingContext.h"

namespace rtf {

class TableAssembler;

// The words that end table cells and rows (\cell, \row, \nestcell, \nestrow) and define rows
// (\trowd and the row and cell words), handed to the table assembler. A list number written as
// text has no tables: its cell marks wait to become tabs, and a row mark ends a paragraph.
class TableMarkReader {
public:
    // `pendingCells` counts the cell marks not yet placed as tabs.
    TableMarkReader(ReadingContext& reader, TableAssembler& tables, int& pendingCells)
        : m_reader(reader), m_tables(tables), m_pendingCells(pendingCells) {}

    // A word of document text; false when it is none of the table's. `tablesApply` is false
    // in a list number.
    bool word(Word id, int value, bool tablesApply);
    // \nesttableprops: the definition of the nested row that ends in it.
    void beginNestedRowProperties();
    // \nonesttables: the copy of nested tables for readers without them.
    void beginNoNestTables();
    // Content came after a mark.
    void noteContent() { m_afterNestedRow = false; }

private:
    // The level of a nested cell or row mark.
    int nestedLevel();
    void endRowAsParagraph(bool nested);

    ReadingContext& m_reader;
    TableAssembler& m_tables;
    int& m_pendingCells;
    // Nested tables: their cells' text is read as it comes, so the copy other writers leave in
    // \nonesttables for readers without them is left out once one was seen.
    bool m_nestedTableSeen = false;
    bool m_afterNestedRow = false; // a nested row just ended and nothing followed yet
};

} // namespace rtf
