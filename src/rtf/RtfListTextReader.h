#pragma once

#include "rtf/RtfControlWords.h"
#include "rtf/RtfReadingContext.h"

namespace rtf {

class ContentFlow;
class ListTables;

// What the file says of lists: the list tables of its header (\listtable,
// \listoverridetable), a paragraph's legacy bullet (\pn), and a list number written out as text
// (\listtext) for readers that draw none, held until its paragraph shows whether the document
// draws it.
class ListTextReader {
public:
    ListTextReader(ReadingContext& reader, ContentFlow& flow, ListTables& lists)
        : m_reader(reader), m_flow(flow), m_lists(lists) {}

    // Inside a \listtext: its text has cells of its own, and no tables.
    bool readingNumber() const { return m_numberDepth != 0; }

    // A destination of lists; false when `word` is none. `pendingCells` counts the body's
    // \cell marks not yet placed, which wait while a number is read.
    bool enterDestination(const ControlWord& word, int& pendingCells);
    // A word in one of those destinations; true when it was \u, whose fallback is skipped.
    bool word(Destination in, Word id, int value);
    // Text of a level's number (\leveltext, \levelnumbers).
    void levelText(QByteArrayView bytes);
    // A group closed, with `depth` groups open inside it.
    void groupEnd(size_t depth, const GroupState& closing, int& pendingCells);

private:
    ReadingContext& m_reader;
    ContentFlow& m_flow;
    ListTables& m_lists;
    size_t m_numberDepth = 0; // the stack size inside a \listtext, 0 outside it
    int m_bodyPendingCells = 0;
};

} // namespace rtf
