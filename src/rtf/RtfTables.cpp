#include "rtf/RtfTables.h"

#include <algorithm>

namespace rtf {

namespace {

constexpr int maxTwips = RowDefinition::maxEdge;
constexpr int maxBorderWidth = 255;

Border* describedBorder(RowDefinition& row) {
    if (row.borderTarget < 0)
        return nullptr;
    if (row.borderTarget < RowDefinition::rowBorderBase)
        return &row.next.borders[size_t(row.borderTarget)];
    return &row.borders[size_t(row.borderTarget - RowDefinition::rowBorderBase)];
}

const std::shared_ptr<const RowDefinition>& undefinedRow() {
    static const std::shared_ptr<const RowDefinition> row = std::make_shared<RowDefinition>();
    return row;
}

} // namespace

bool isRowWord(Word id) {
    switch (id) {
    case Word::RowDefaults:
    case Word::RowGap:
    case Word::RowLeft:
    case Word::RowAlign:
    case Word::RowBorder:
    case Word::CellRight:
    case Word::CellMerged:
    case Word::CellMergedUp:
    case Word::CellBorder:
    case Word::CellPaddingTop:
    case Word::CellPaddingLeft:
    case Word::CellPaddingBottom:
    case Word::CellPaddingRight:
    case Word::CellBackground:
    case Word::CellPatternColor:
    case Word::CellShading:
    case Word::CellVerticalAlign:
    case Word::BorderStyle:
    case Word::BorderWidth:
    case Word::BorderColor:
        return true;
    default:
        return false;
    }
}

bool applyRowWord(RowDefinition& row, Word id, int value) {
    CellDefinition& cell = row.next;
    switch (id) {
    case Word::RowDefaults:
        row = RowDefinition();
        break;
    case Word::RowGap:
        row.gap = std::clamp(value, 0, maxTwips);
        break;
    case Word::RowLeft:
        row.left = std::clamp(value, -maxTwips, maxTwips);
        break;
    case Word::RowAlign:
        row.alignment = std::clamp(value, 0, 2);
        break;
    case Word::RowBorder:
        row.borderTarget = RowDefinition::rowBorderBase + std::clamp(value, 0, 5);
        *describedBorder(row) = Border();
        break;
    case Word::CellBorder:
        row.borderTarget = std::clamp(value, 0, 3);
        *describedBorder(row) = Border();
        break;
    case Word::BorderStyle:
        if (Border* border = describedBorder(row))
            border->style = BorderStyle(std::clamp(value, 0, int(BorderStyle::Dashed)));
        break;
    case Word::BorderWidth:
        if (Border* border = describedBorder(row))
            border->width = std::clamp(value, 0, maxBorderWidth);
        break;
    case Word::BorderColor:
        if (Border* border = describedBorder(row))
            border->color = std::max(value, 0);
        break;
    case Word::CellMerged:
        cell.merged = true;
        break;
    case Word::CellMergedUp:
        cell.mergedUp = true;
        break;
    case Word::CellPaddingTop:
    case Word::CellPaddingLeft:
    case Word::CellPaddingBottom:
    case Word::CellPaddingRight:
        cell.padding[size_t(int(id) - int(Word::CellPaddingTop))] = std::clamp(value, 0, maxTwips);
        break;
    case Word::CellBackground:
        cell.background = std::max(value, 0);
        break;
    case Word::CellPatternColor:
        cell.patternColor = std::max(value, 0);
        break;
    case Word::CellShading:
        cell.shading = std::clamp(value, 0, 10000);
        break;
    case Word::CellVerticalAlign:
        cell.verticalAlign = std::clamp(value, 0, 2);
        break;
    case Word::CellRight:
        cell.right = std::clamp(value, -maxTwips, maxTwips);
        if (row.cells.size() < size_t(RowDefinition::maxCells))
            row.cells.push_back(cell);
        cell = CellDefinition();
        row.borderTarget = -1;
        break;
    default:
        return false;
    }
    return true;
}

void ContentSink::appendTable(const Table& table) {
    for (const TableCell& cell : table.cells) {
        table.content.replay(cell.from, cell.to, *this);
        if (!table.content.endsParagraph(cell.from, cell.to))
            endParagraph(ParaState(), CharState());
    }
    replayOverflow(table, *this);
}

void replayOverflow(const Table& table, ContentSink& sink) {
    for (const TableCell& cell : table.overflow) {
        table.content.replay(cell.from, cell.to, sink);
        if (!table.content.endsParagraph(cell.from, cell.to))
            sink.endParagraph(ParaState(), CharState());
    }
}

TableContent::TableContent() = default;
TableContent::~TableContent() = default;

std::uint32_t TableContent::charsIndex(const CharState& chars) {
    if (m_chars.empty() || !(m_chars.back() == chars))
        m_chars.push_back(chars);
    return std::uint32_t(m_chars.size() - 1);
}

bool TableContent::extendLastRun(std::uint32_t length, std::uint32_t chars) {
    if (!m_extendLast || m_items.empty())
        return false;
    Item& last = m_items.back();
    if (last.kind != Kind::Text || last.chars != chars ||
        qsizetype(last.index) + last.length + length != m_text.size())
        return false;
    last.length += length;
    return true;
}

void TableContent::appendText(const QString& text, const CharState& chars) {
    if (text.isEmpty())
        return;
    const std::uint32_t format = charsIndex(chars);
    m_text.append(text);
    if (!extendLastRun(std::uint32_t(text.size()), format))
        m_items.push_back({Kind::Text, std::uint32_t(m_text.size() - text.size()),
                           std::uint32_t(text.size()), 0, format});
}

void TableContent::appendImage(const Picture& picture) {
    m_items.push_back({Kind::Image, std::uint32_t(m_pictures.size()), 0, 0, 0});
    m_pictures.push_back(picture);
}

void TableContent::attachObject(QByteArrayView group) {
    m_items.push_back({Kind::Object, std::uint32_t(m_objects.size()), 0, 0, 0});
    m_objects.push_back(group);
}

void TableContent::offerAlternative(const Picture& picture) {
    m_items.push_back({Kind::Alternative, std::uint32_t(m_pictures.size()), 0, 0, 0});
    m_pictures.push_back(picture);
}

void TableContent::appendFootnoteNumber(const CharState& chars) {
    m_items.push_back({Kind::FootnoteNumber, 0, 0, 0, charsIndex(chars)});
}

void TableContent::attachFootnote(const KeptGroup& group, int markLength) {
    m_items.push_back(
        {Kind::Footnote, std::uint32_t(m_kept.size()), std::uint32_t(markLength), 0, 0});
    m_kept.push_back(group);
}

void TableContent::keepHidden(const KeptGroup& group) {
    m_items.push_back({Kind::Hidden, std::uint32_t(m_kept.size()), 0, 0, 0});
    m_kept.push_back(group);
}

void TableContent::beginField(const KeptGroup& field) {
    m_items.push_back({Kind::FieldBegin, std::uint32_t(m_kept.size()), 0, 0, 0});
    m_kept.push_back(field);
}

void TableContent::endField() {
    m_items.push_back({Kind::FieldEnd, 0, 0, 0, 0});
}

void TableContent::endParagraph(const ParaState& para, const CharState& markChars) {
    if (m_paras.empty() || !(m_paras.back() == para))
        m_paras.push_back(para);
    m_items.push_back(
        {Kind::ParagraphEnd, 0, 0, std::uint32_t(m_paras.size() - 1), charsIndex(markChars)});
}

void TableContent::addTable(std::unique_ptr<Table> table) {
    m_items.push_back({Kind::Table, std::uint32_t(m_tables.size()), 0, 0, 0});
    m_tables.push_back(std::move(table));
}

void TableContent::continueLastParagraph(std::uint32_t cellFrom) {
    if (m_items.empty() || m_items.back().kind != Kind::ParagraphEnd)
        return;
    const std::uint32_t chars = m_items.back().chars;
    m_items.pop_back();
    m_text.append(u'\t');
    m_extendLast = m_items.size() > cellFrom;
    if (!extendLastRun(1, chars))
        m_items.push_back({Kind::Text, std::uint32_t(m_text.size() - 1), 1, 0, chars});
    // Runs of many such cells become one: each run costs the document a piece of its own.
    m_extendLast = true;
}

void TableContent::replay(std::uint32_t from, std::uint32_t to, ContentSink& sink) const {
    for (std::uint32_t i = from; i < to && i < m_items.size(); ++i) {
        const Item& item = m_items[i];
        switch (item.kind) {
        case Kind::Text:
            sink.appendText(m_text.mid(item.index, item.length), m_chars[item.chars]);
            break;
        case Kind::Image:
            sink.appendImage(m_pictures[item.index]);
            break;
        case Kind::Object:
            sink.attachObject(m_objects[item.index]);
            break;
        case Kind::ParagraphEnd:
            sink.endParagraph(m_paras[item.para], m_chars[item.chars]);
            break;
        case Kind::Table:
            sink.appendTable(*m_tables[item.index]);
            break;
        case Kind::Alternative:
            sink.offerAlternative(m_pictures[item.index]);
            break;
        case Kind::Footnote:
            sink.attachFootnote(m_kept[item.index], int(item.length));
            break;
        case Kind::FieldBegin:
            sink.beginField(m_kept[item.index]);
            break;
        case Kind::FieldEnd:
            sink.endField();
            break;
        case Kind::FootnoteNumber:
            sink.appendFootnoteNumber(m_chars[item.chars]);
            break;
        case Kind::Hidden:
            sink.keepHidden(m_kept[item.index]);
            break;
        }
    }
}

bool TableContent::hasContent(std::uint32_t from, std::uint32_t to) const {
    to = std::min(to, size());
    from = std::min(from, to);
    return std::any_of(m_items.begin() + from, m_items.begin() + to, [](const Item& item) {
        return item.kind == Kind::Text || item.kind == Kind::FootnoteNumber ||
               item.kind == Kind::Image || item.kind == Kind::Object || item.kind == Kind::Table;
    });
}

bool TableContent::endsParagraph(std::uint32_t from, std::uint32_t to) const {
    // Fields and footnotes are not content: a field that ends after the mark leaves it last.
    to = std::min(to, size());
    while (to > from &&
           (m_items[to - 1].kind == Kind::FieldBegin || m_items[to - 1].kind == Kind::FieldEnd))
        --to;
    return to > from && m_items[to - 1].kind == Kind::ParagraphEnd;
}

TableAssembler::TableAssembler(ContentSink& body)
    : m_body(body), m_levels(size_t(ParaState::maxTableLevel) + 1) {}

TableAssembler::~TableAssembler() = default;

void TableAssembler::appendText(const QString& text, const CharState& chars) {
    current().appendText(text, chars);
}

void TableAssembler::appendImage(const Picture& picture) {
    current().appendImage(picture);
}

void TableAssembler::attachObject(QByteArrayView group) {
    current().attachObject(group);
}

void TableAssembler::offerAlternative(const Picture& picture) {
    current().offerAlternative(picture);
}

void TableAssembler::appendFootnoteNumber(const CharState& chars) {
    current().appendFootnoteNumber(chars);
}

void TableAssembler::keepSideGroup(const KeptGroup& group) {
    m_body.keepSideGroup(group);
}

void TableAssembler::attachFootnote(const KeptGroup& group, int markLength) {
    current().attachFootnote(group, markLength);
}

void TableAssembler::keepHidden(const KeptGroup& group) {
    current().keepHidden(group);
}

void TableAssembler::beginField(const KeptGroup& field) {
    current().beginField(field);
}

void TableAssembler::setDefaultTabWidth(int twips) {
    m_body.setDefaultTabWidth(twips);
}

void TableAssembler::endSection() {
    if (&current() == &m_body)
        m_body.endSection();
}

void TableAssembler::endField() {
    current().endField();
}

void TableAssembler::endParagraph(const ParaState& para, const CharState& markChars) {
    current().endParagraph(para, markChars);
}

void TableAssembler::finish(const ParaState& para) {
    closeAll();
    m_body.finish(para);
}

ContentSink& TableAssembler::current() {
    // Content after a table's last row ends the table.
    if (m_depth < ParaState::maxTableLevel)
        finishTable(m_depth + 1);
    if (m_depth == 0)
        return m_body;
    return cellContent(m_depth);
}

TableContent& TableAssembler::cellContent(int level) {
    Level& at = m_levels[size_t(level)];
    if (!at.cellOpen)
        openCell(level);
    return at.table->content;
}

void TableAssembler::enter(int level) {
    level = std::clamp(level, 0, ParaState::maxTableLevel);
    while (m_depth > level)
        closeRow(m_depth, false);
    while (m_depth < level)
        openRow(m_depth + 1);
}

void TableAssembler::openRow(int level) {
    // A table in a table sits in a cell of the one holding it.
    if (level > 1)
        cellContent(level - 1);
    Level& at = m_levels[size_t(level)];
    if (!at.table)
        at.table = std::make_unique<Table>();
    at.rowOpen = true;
    at.cellOpen = false;
    at.cellEnded = false;
    at.rowFirstCell = std::uint32_t(at.table->cells.size());
    at.overflowed = 0;
    at.rowFirstOverflow = std::uint32_t(at.table->overflow.size());
    m_depth = level;
}

void TableAssembler::openCell(int level) {
    Level& at = m_levels[size_t(level)];
    Table& table = *at.table;
    // Past the most cells a row holds, the last one takes what follows: nothing was added to
    // the table's content since it was closed, so its content simply goes on.
    if (table.cells.size() - at.rowFirstCell < size_t(RowDefinition::maxCells))
        table.cells.push_back({table.content.size(), table.content.size()});
    // Past the most cells a row holds, the text goes after the table, a row's worth of cells to
    // a paragraph: millions of cells make thousands of paragraphs, not millions.
    else if (at.overflowed++ % RowDefinition::maxCells == 0)
        table.overflow.push_back({table.content.size(), table.content.size()});
    else
        table.content.continueLastParagraph(table.overflow.back().from);
    at.cellOpen = true;
}

void TableAssembler::closeCell(int level) {
    Level& at = m_levels[size_t(level)];
    if (!at.cellOpen)
        return;
    Table& table = *at.table;
    (at.overflowed > 0 ? table.overflow : table.cells).back().to = table.content.size();
    at.cellOpen = false;
}

void TableAssembler::endCell(int level) {
    enter(std::max(level, 1));
    current();
    closeCell(m_depth);
    m_levels[size_t(m_depth)].cellEnded = true;
}

void TableAssembler::endRow(int level) {
    level = std::clamp(level, 1, ParaState::maxTableLevel);
    if (level > m_depth)
        return;
    while (m_depth > level)
        closeRow(m_depth, false);
    closeRow(level, true);
}

void TableAssembler::closeRow(int level, bool ended) {
    Level& at = m_levels[size_t(level)];
    if (level < ParaState::maxTableLevel)
        finishTable(level + 1);
    closeCell(level);
    at.rowOpen = false;
    m_depth = level - 1;
    Table& table = *at.table;
    const std::uint32_t count = std::uint32_t(table.cells.size()) - at.rowFirstCell;
    if (ended || at.cellEnded) {
        if (count == 0)
            return;
        std::shared_ptr<const RowDefinition> definition =
            at.definition ? at.definition : undefinedRow();
        // Files define every row anew, most of them alike: rows alike share one definition.
        if (!table.rows.empty() && table.rows.back().definition != definition &&
            *table.rows.back().definition == *definition)
            definition = table.rows.back().definition;
        table.rows.push_back({std::move(definition), at.rowFirstCell, count});
        return;
    }
    if (count == 0)
        return;
    // A row no cell mark ended, cut short by what follows: what it holds was not a table's. It
    // goes after the table's rows, where the table goes.
    const std::uint32_t from = table.cells[at.rowFirstCell].from;
    const std::uint32_t to = table.content.size();
    table.cells.resize(at.rowFirstCell);
    table.overflow.resize(at.rowFirstOverflow);
    std::unique_ptr<Table> taken = std::move(at.table);
    const Table* held = taken.get();
    if (level == 1) {
        if (!taken->rows.empty())
            m_body.appendTable(*taken);
        held->content.replay(from, to, m_body);
        if (held->content.endsParagraph(from, to))
            m_bodyOpen = false;
        else if (held->content.hasContent(from, to))
            m_bodyOpen = true;
        else if (!taken->rows.empty())
            m_bodyOpen = false;
        return;
    }
    TableContent& outer = cellContent(level - 1);
    if (!taken->rows.empty())
        outer.addTable(std::move(taken));
    held->content.replay(from, to, outer);
}

void TableAssembler::finishTable(int level) {
    Level& at = m_levels[size_t(level)];
    if (!at.table || at.rowOpen)
        return;
    std::unique_ptr<Table> table = std::move(at.table);
    if (table->rows.empty())
        return;
    if (level == 1) {
        m_body.appendTable(*table);
        m_bodyOpen = false;
    } else
        cellContent(level - 1).addTable(std::move(table));
}

void TableAssembler::startRow() {
    // A row defined while one that no cell mark has ended holds something: that was not a
    // table's.
    if (m_depth >= 1) {
        const Level& first = m_levels[1];
        if (!first.cellEnded && first.table->cells.size() > first.rowFirstCell)
            enter(0);
    }
    enter(1);
}

void TableAssembler::rowWord(int level, Word id, int value) {
    std::shared_ptr<RowDefinition>& definition =
        m_levels[size_t(std::clamp(level, 1, ParaState::maxTableLevel))].definition;
    // Rows that ended keep the definition they had.
    if (id == Word::RowDefaults)
        definition = std::make_shared<RowDefinition>();
    else if (!definition)
        definition = std::make_shared<RowDefinition>();
    else if (definition.use_count() > 1)
        definition = std::make_shared<RowDefinition>(*definition);
    applyRowWord(*definition, id, value);
}

std::optional<bool> TableAssembler::closeAll() {
    m_bodyOpen.reset();
    enter(0);
    finishTable(1);
    return m_bodyOpen;
}

} // namespace rtf
