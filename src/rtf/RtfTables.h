#pragma once

#include "pictures/RtfPicture.h"
#include "rtf/RtfContentSink.h"
#include "rtf/RtfControlWords.h"
#include "rtf/RtfKeptGroups.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace rtf {

enum class BorderStyle : std::uint8_t { None, Single, Double, Dotted, Dashed };

struct Border {
    BorderStyle style = BorderStyle::None; // \brdrs, \brdrdb, ...; \brdrnone
    int width = 0;                         // \brdrw, twips
    int color = 0; // \brdrcf, an index into the colour table; 0 is automatic
    bool operator==(const Border&) const = default;
};

enum Side { Top, Left, Bottom, Right };

// What a row definition says of one cell; its \cellx ends it.
struct CellDefinition {
    int right = 0;                              // \cellx: the right edge, twips from the margin
    bool merged = false;                        // \clmrg: part of the cell before it
    bool mergedUp = false;                      // \clvmrg: part of the cell above it
    std::array<Border, 4> borders{};            // \clbrdrt \clbrdrl \clbrdrb \clbrdrr, by Side
    std::array<int, 4> padding{-1, -1, -1, -1}; // \clpadt \clpadl \clpadb \clpadr; -1 unsaid
    int background = -1;                        // \clcbpat, a colour index
    int patternColor = -1;                      // \clcfpat
    int shading = 0;                            // \clshdng: hundredths of a percent of it
    int verticalAlign = 0;                      // \clvertalt 0, \clvertalc 1, \clvertalb 2
    bool operator==(const CellDefinition&) const = default;
};

// \trowd and what follows it; rows keep the definition that was current at their end.
struct RowDefinition {
    static constexpr int maxCells = 64;   // more cells' text joins the last one
    static constexpr int maxEdge = 31680; // twips either side of the margin, 22 inches
    // The border the \brdr words describe: a cell side, or a row side from rowBorderBase on.
    static constexpr int rowBorderBase = 4;

    int gap = 0;                     // \trgaph: the space left and right of a cell's text
    int left = 0;                    // \trleft: where the first cell starts
    int alignment = 0;               // \trql 0, \trqr 1, \trqc 2
    std::array<Border, 6> borders{}; // \trbrdrt l b r, then h and v between cells
    std::vector<CellDefinition> cells;
    CellDefinition next; // the cell being described, until its \cellx
    int borderTarget = -1;
    bool operator==(const RowDefinition&) const = default;
};

// Applies a word of a row definition; false for words that are not one.
bool applyRowWord(RowDefinition& row, Word id, int value);
bool isRowWord(Word id);

class Table;

// The content of a table's cells, kept until the whole table is read and can be placed. Compact,
// as tables can hold most of a document: text in one string, formats stored once per change.
class TableContent final : public ContentSink {
public:
    TableContent();
    ~TableContent() override;
    TableContent(const TableContent&) = delete;
    TableContent& operator=(const TableContent&) = delete;

    void appendText(const QString& text, const CharState& chars) override;
    void appendImage(const Picture& picture) override;
    void attachObject(QByteArrayView group) override;
    void offerAlternative(const Picture& picture) override;
    void appendFootnoteNumber(const CharState& chars) override;
    void attachFootnote(const KeptGroup& group, int markLength) override;
    void keepHidden(const KeptGroup& group) override;
    void beginField(const KeptGroup& field) override;
    void endField() override;
    void endParagraph(const ParaState& para, const CharState& markChars) override;
    void finish(const ParaState&) override {}
    void addTable(std::unique_ptr<Table> table);
    // Continues the paragraph the last item ended, after a tab: cells past the most a row holds
    // go on in one paragraph as a row's cells go on in its text. The cell holding that
    // paragraph starts at `cellFrom`; its text runs, and the text that follows until the
    // content's size is next asked, become one run where their formats agree.
    void continueLastParagraph(std::uint32_t cellFrom);

    std::uint32_t size() const {
        // A position taken is a boundary no run may grow across.
        m_extendLast = false;
        return std::uint32_t(m_items.size());
    }
    void replay(std::uint32_t from, std::uint32_t to, ContentSink& sink) const;
    // Whether [from, to) holds more than paragraph marks.
    bool hasContent(std::uint32_t from, std::uint32_t to) const;
    bool endsParagraph(std::uint32_t from, std::uint32_t to) const;

private:
    enum class Kind : std::uint8_t {
        Text,
        Image,
        Object,
        ParagraphEnd,
        Table,
        Alternative,
        Footnote,
        FieldBegin,
        FieldEnd,
        FootnoteNumber,
        Hidden
    };
    struct Item {
        Kind kind;
        std::uint32_t index;  // into m_text, m_pictures, m_objects, m_tables or m_kept
        std::uint32_t length; // of the text, or of a footnote's mark
        std::uint32_t para;
        std::uint32_t chars;
    };
    std::uint32_t charsIndex(const CharState& chars);
    // Adds `length` characters just appended to m_text to the last item when that is a run of
    // the same format ending where they start.
    bool extendLastRun(std::uint32_t length, std::uint32_t chars);

    std::vector<Item> m_items;
    QString m_text;
    std::vector<ParaState> m_paras;
    std::vector<CharState> m_chars;
    std::vector<Picture> m_pictures;
    std::vector<QByteArrayView> m_objects;
    std::vector<std::unique_ptr<Table>> m_tables;
    std::vector<KeptGroup> m_kept;
    mutable bool m_extendLast = false;
};

struct TableCell {
    std::uint32_t from = 0; // the cell's content in Table::content
    std::uint32_t to = 0;
};

struct TableRow {
    std::shared_ptr<const RowDefinition> definition;
    std::uint32_t firstCell = 0; // in Table::cells
    std::uint32_t cellCount = 0;
};

// A table as read: rows of cells, and what the cells hold.
class Table {
public:
    TableContent content;
    std::vector<TableRow> rows;
    std::vector<TableCell> cells;
    // The cells of rows past the most a row holds, a paragraph to a row's worth: they follow
    // the table, as Qt lays a cell out whole and a cell of thousands of lines would take long.
    std::vector<TableCell> overflow;
};

// Sends the paragraphs of the cells past the most a row holds to `sink`, after the table.
void replayOverflow(const Table& table, ContentSink& sink);

// Sorts what the reader finds into the tables it belongs to. Content goes to the cell being read
// at the current depth of tables, or at depth 0 past them to `body`. A table is read row by row
// and placed whole once something outside it follows: a row's definition may come after its
// cells, and its columns are known only from all its rows.
class TableAssembler final : public ContentSink {
public:
    explicit TableAssembler(ContentSink& body);
    ~TableAssembler() override;
    TableAssembler(const TableAssembler&) = delete;
    TableAssembler& operator=(const TableAssembler&) = delete;

    void appendText(const QString& text, const CharState& chars) override;
    void appendImage(const Picture& picture) override;
    void attachObject(QByteArrayView group) override;
    void offerAlternative(const Picture& picture) override;
    void appendFootnoteNumber(const CharState& chars) override;
    // Headers and footers belong to the document, wherever they were read.
    void keepSideGroup(const KeptGroup& group) override;
    void attachFootnote(const KeptGroup& group, int markLength) override;
    void keepHidden(const KeptGroup& group) override;
    void beginField(const KeptGroup& field) override;
    void endField() override;
    // Sections are the body's: a table's cells have none.
    void endSection() override;
    void setDefaultTabWidth(int twips) override;
    void endParagraph(const ParaState& para, const CharState& markChars) override;
    // Places every table still being read, then ends the body.
    void finish(const ParaState& para) override;

    int depth() const { return m_depth; }
    // Whether content at `level` would go where content goes now. Asked before every piece of
    // content, so defined here.
    bool isCurrent(int level) const {
        return std::clamp(level, 0, ParaState::maxTableLevel) == m_depth;
    }
    // Content at `level` follows: rows open down to it, or end up to it.
    void enter(int level);
    void endCell(int level);
    void endRow(int level);
    // \trowd outside a nested row's properties: a row of the outermost tables starts.
    void startRow();
    void rowWord(int level, Word id, int value);
    // Places every table still being read. Tells whether that left the body's last paragraph
    // with content but no mark, or nothing when it placed nothing there.
    std::optional<bool> closeAll();

private:
    struct Level {
        std::unique_ptr<Table> table; // the rows read so far; null when none is being read
        std::shared_ptr<RowDefinition> definition; // shared with the rows that ended with it
        bool rowOpen = false;
        bool cellOpen = false;
        bool cellEnded = false; // a \cell ended one of the open row's cells
        std::uint32_t rowFirstCell = 0;
        std::uint32_t overflowed = 0; // cells past the most a row holds
        std::uint32_t rowFirstOverflow = 0;
    };

    ContentSink& current();
    TableContent& cellContent(int level);
    void openRow(int level);
    void openCell(int level);
    void closeCell(int level);
    void closeRow(int level, bool ended);
    void finishTable(int level);

    ContentSink& m_body;
    std::optional<bool> m_bodyOpen; // what the last table placed left the body's paragraph as
    std::vector<Level> m_levels;    // by level; 0 is the body's and holds no table
    int m_depth = 0;                // the deepest level with an open row
};

} // namespace rtf
