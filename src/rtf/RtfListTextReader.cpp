#include "rtf/RtfListTextReader.h"

#include "rtf/RtfContentFlow.h"
#include "rtf/RtfHeaderTables.h"

#include <utility>

namespace rtf {

bool ListTextReader::enterDestination(const ControlWord& word, int& pendingCells) {
    GroupState& s = m_reader.state();
    switch (word.id) {
    case Word::Pn:
        // A paragraph's own bullet, in a group of its own; anywhere else it describes nothing of
        // the paragraph's.
        if (s.destination != Destination::Text || !m_reader.groupStartsWith(word)) {
            m_reader.skipGroup();
            break;
        }
        s.destination = Destination::Bullet;
        s.para.list = ListStyle::Bullet;
        break;
    case Word::ListTable:
        s.destination = Destination::ListTable;
        break;
    case Word::ListOverrideTable:
        s.destination = Destination::ListOverrideTable;
        break;
    case Word::LevelText:
    case Word::LevelNumbers:
        if (s.destination != Destination::ListTable) {
            m_reader.skipGroup();
            break;
        }
        s.destination =
            word.id == Word::LevelText ? Destination::ListLevelText : Destination::ListLevelNumbers;
        break;
    case Word::ListText:
        if (m_numberDepth || m_reader.beyondKeptDepth() || s.destination != Destination::Text) {
            m_reader.skipGroup();
            break;
        }
        m_reader.flushRun();
        m_bodyPendingCells = std::exchange(pendingCells, 0);
        m_numberDepth = m_reader.depth();
        m_flow.beginListNumber();
        break;
    default:
        return false;
    }
    return true;
}

bool ListTextReader::word(Destination in, Word id, int value) {
    GroupState& s = m_reader.state();
    switch (in) {
    case Destination::ListTable:
        m_lists.listTableWord(id, value);
        break;
    case Destination::ListOverrideTable:
        m_lists.overrideTableWord(id, value);
        break;
    case Destination::ListLevelText:
    case Destination::ListLevelNumbers:
        if (id == Word::U) {
            m_lists.levelTextChar(char16_t(value < 0 ? value + 65536 : value));
            return true;
        }
        break;
    case Destination::Bullet:
        if (id == Word::PnLevelBullet)
            s.para.list = ListStyle::Bullet;
        else if (id == Word::PnLevelBody || id == Word::PnDecimal)
            s.para.list = ListStyle::Numbered;
        else if (id == Word::PnLevelCont)
            s.para.list = ListStyle::None;
        break;
    default:
        break;
    }
    return false;
}

void ListTextReader::levelText(QByteArrayView bytes) {
    for (const char c : bytes)
        m_lists.levelTextByte(static_cast<unsigned char>(c));
}

void ListTextReader::groupEnd(size_t depth, const GroupState& closing, int& pendingCells) {
    if (depth == m_numberDepth) {
        m_reader.flushRun();
        pendingCells = m_bodyPendingCells;
        m_flow.endListNumber();
        m_numberDepth = 0;
    }
    switch (closing.destination) {
    case Destination::Bullet:
        // \pn describes the paragraph it sits in, not just its own group; a list of the list
        // table (\ls) says more, and writers give the \pn only for readers without those.
        if (GroupState& parent = m_reader.state(); !parent.para.listOverride)
            parent.para.list = closing.para.list;
        break;
    case Destination::ListLevelText:
    case Destination::ListLevelNumbers:
        m_lists.levelTextEnd(closing.destination);
        break;
    default:
        break;
    }
}

} // namespace rtf
