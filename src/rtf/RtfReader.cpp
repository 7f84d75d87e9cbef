#include "rtf/RtfReader.h"

#include "pictures/RtfPicture.h"
#include "rtf/RtfContentFlow.h"
#include "rtf/RtfControlWords.h"
#include "rtf/RtfDocumentBuilder.h"
#include "rtf/RtfHeaderTables.h"
#include "rtf/RtfKeptGroups.h"
#include "rtf/RtfStateWords.h"
#include "rtf/RtfTables.h"
#include "rtf/RtfTextCollector.h"
#include "rtf/RtfTokenizer.h"
#include "text/RtfCodePages.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

namespace rtf {

namespace {

// Deeper groups share the state of the deepest one kept: no real file nests this far, and a
// hostile one must not cost memory per brace.
constexpr size_t maxKeptDepth = 2048;
constexpr int maxUnicodeSkip = 16;
// Default stops closer than this are damage: a line of nothing but stops.
constexpr int minDefaultTab = 36;
// Fields in the results of fields: tables of contents hold page references, rarely deeper.
constexpr size_t maxOpenFields = 8;

// Words of document text whose effect is not undone at the end of their group.
bool outlastsGroup(Word id) {
    switch (id) {
    case Word::Ansi:
    case Word::Mac:
    case Word::Pc:
    case Word::Pca:
    case Word::AnsiCodePage:
    case Word::DefaultFont:
    case Word::Cell:
    case Word::NestCell:
    case Word::Row:
    case Word::NestRow:
        return true;
    default:
        return false;
    }
}

// The data from its first brace, when it is RTF after an optional byte order mark and blanks.
QByteArrayView rtfStart(QByteArrayView data) {
    if (data.startsWith("\xEF\xBB\xBF"))
        data = data.sliced(3);
    while (!data.isEmpty() && (data.front() == ' ' || data.front() == '\r' ||
                               data.front() == '\n' || data.front() == '\t'))
        data = data.sliced(1);
    return data.startsWith("{\\rtf") ? data : QByteArrayView();
}

class Reader final : public TokenListener {
public:
    Reader(ContentSink& sink, HeaderTables& header, const Tokenizer& tokenizer)
        : m_tables(sink), m_flow(m_tables), m_tokenizer(tokenizer), m_header(header),
          m_fonts(header.fonts), m_colors(header.colors), m_lists(header.lists),
          m_defaultFont(header.defaultFont) {
        m_stack.reserve(64);
        m_stack.emplace_back();
    }

    void finish() {
        if (!m_done)
            finishDocument(state());
    }

    void groupStart() override;
    void groupEnd() override;
    void controlWord(QByteArrayView name, bool hasParam, int param) override;
    void controlSymbol(char symbol) override;
    void hexByte(unsigned char byte) override;
    void text(QByteArrayView bytes) override;
    void binary(QByteArrayView bytes) override;

private:
    GroupState& state() { return m_stack.back(); }
    void finishDocument(const GroupState& last) {
        flushRun();
        if (tablesApply())
            m_tables.closeAll();
        m_flow.finish(last.para);
        m_done = true;
    }
    void startSkipping() { m_skipping = 1; }
    void placeListNumber();
    void endRow(bool nested);
    // List numbers read cells as tab-separated text; the body has tables.
    bool tablesApply() const { return !m_listNumberDepth; }
    // How deep in tables the paragraph's content is: as its \itap says, else where it is.
    int contentLevel() {
        return state().para.tableLevel > 0 ? state().para.tableLevel : m_tables.depth();
    }
    // The level of a nested cell or row mark.
    int nestedLevel() {
        const int level = state().para.tableLevel;
        return level >= 2 ? level : std::max(2, m_tables.depth());
    }
    void toLevel(int level);
    void enterDestination(const ControlWord& word);
    void appendBytes(QByteArrayView bytes);
    void appendChar(char16_t c);
    void beginContent();
    void decodeBytes();
    void flushRun();
    // `level` is how deep in tables the mark is; by default, where the content is.
    void endParagraph(int level = -1);
    void finishPicture(qsizetype groupStart);
    void beginObject();
    void finishObject(qsizetype groupStart);
    // Headers, footers and footnotes, kept aside whole for saving.
    void beginKept(const ControlWord& word, KeptGroup::Kind kind);
    void finishKept(qsizetype groupStart);
    void noteFootnoteMark();
    void placeFootnoteMark();
    void beginField();
    void beginFieldPart(const ControlWord& part);
    void groupEndInField(size_t depth);
    struct OpenField;
    void beginKeptField(const OpenField& field);
    void beginShapePicture();
    void finishShapePicture(qsizetype groupStart);
    bool startsWith(const ControlWord& word) const;
    int fontCodePage(int font);

    TableAssembler m_tables;
    ContentFlow m_flow;
    const Tokenizer& m_tokenizer;
    const HeaderTables& m_header;
    TextDecoder m_decoder;
    FontTable& m_fonts;
    ColorTable& m_colors;
    ListTables& m_lists;
    int& m_defaultFont;
    std::vector<GroupState> m_stack;
    size_t m_excessDepth = 0; // groups opened beyond maxKeptDepth
    int m_skipping = 0;       // depth inside a group whose content is ignored
    bool m_ignorable = false; // after \*
    bool m_done = false;      // the outermost group has closed
    int m_unicodeSkipLeft = 0;
    int m_ansiCodePage = CodePage::windows1252;
    int m_pendingCells = 0;   // \cell marks not yet turned into separators
    bool m_shapeRead = false; // the current \shp had a \shpinst
    // A shape shows one picture; others in its properties fill it or outline it.
    bool m_shapePictureShown = false;
    // Nested tables: their cells' text is read as it comes, so the copy other writers leave in
    // \nonesttables for readers without them is left out once one was seen.
    bool m_nestedTableSeen = false;
    bool m_afterNestedRow = false; // a nested row just ended and nothing followed yet

    // The stack size inside a \listtext, 0 outside it. Its text has cells of its own: the body's
    // \cell marks wait meanwhile.
    size_t m_listNumberDepth = 0;
    int m_listPendingCells = 0;

    // The header, footer or footnote being kept: the stack size inside it, 0 outside any.
    size_t m_keptDepth = 0;
    KeptGroup::Kind m_keptKind = KeptGroup::Kind::Side;
    int m_sections = 0; // section breaks read in the body
    // A footnote number (\chftn) waits for its footnote to show, in the format it was given; one
    // that something else follows shows nothing, so that every number shown is a footnote's and
    // a saved file numbers them alike.
    bool m_markPending = false;
    CharState m_markChars;
    bool m_afterMark = false; // nothing came since the last footnote number
    int m_contentPlaced = 0;  // text runs, paragraph marks and pictures sent to the document
    int m_picturesPlaced = 0;

    // Fields being read, innermost last: where the field group starts and the stack size inside
    // it, where its instruction ends once read, the stack size inside its result while that is
    // read.
    struct OpenField {
        size_t depth = 0;
        qsizetype start = 0;
        qsizetype instructionStart = 0;
        qsizetype instructionEnd = 0;
        size_t resultDepth = 0;
        bool resulted = false; // a result was read
    };
    std::vector<OpenField> m_fields;
    size_t m_instructionDepth = 0; // inside the innermost field's instruction

    // A picture given in \shppict and again, for readers without shapes, in \nonshppict: the
    // document keeps both groups as they were and shows the second when it cannot draw the first.
    struct ShapePicture {
        size_t depth = 0;      // the stack size inside \shppict, 0 outside it
        qsizetype start = 0;   // where \shppict starts
        qsizetype end = 0;     // where it ended, when it held just one picture
        int contentPlaced = 0; // m_contentPlaced and m_picturesPlaced when it started
        int picturesPlaced = 0;
        size_t alternativeDepth = 0; // the stack size inside \nonshppict while it is read
        // Text was read in it, which may decode to nothing here (half a character of a
        // double-byte font) and to something where the group is written back.
        bool textRead = false;
    };
    ShapePicture m_shapePicture;

    // The run being collected: its formatting, its text, and bytes not yet decoded.
    CharState m_runChars;
    QString m_run;
    QByteArray m_bytes;
    int m_bytesCodePage = CodePage::windows1252;
    int m_cachedFont = INT_MIN;
    int m_cachedCodePage = CodePage::windows1252;

    Picture m_picture;
    int m_pictureNibble = -1; // the first hex digit of a byte of picture data

    // The \object group being read. When all it shows is one picture, the document keeps the
    // whole group beside that picture, to be saved in its place. Anything else in it that reaches
    // the document or lasts beyond the group (text, marks, tables, code pages, destinations other
    // than its result and pictures) makes it `mixed`: it is then read as its content alone, as
    // writing the group back would repeat that content or change what follows. Of objects held
    // one in another only the innermost is followed.
    struct ObjectGroup {
        size_t depth = 0; // the stack size inside the group; 0 outside any object
        int pictures = 0; // pictures it placed in the document
        bool mixed = false;
    };
    ObjectGroup m_object;
};

void Reader::groupStart() {
    if (m_done)
        return;
    m_unicodeSkipLeft = 0;
    m_ignorable = false;
    if (m_skipping) {
        ++m_skipping;
        return;
    }
    if (m_stack.size() >= maxKeptDepth) {
        ++m_excessDepth;
        m_object.mixed = true; // its groups no longer keep their own state
        return;
    }
    m_stack.push_back(m_stack.back());
    state().start = m_tokenizer.position() - 1;
    if (state().destination == Destination::Picture)
        startSkipping(); // nested groups in a picture hold properties, never picture data
}

void Reader::groupEnd() {
    if (m_done)
        return;
    m_unicodeSkipLeft = 0;
    m_ignorable = false;
    if (m_skipping > 1) {
        --m_skipping;
        return;
    }
    m_skipping = 0;
    if (m_excessDepth) {
        --m_excessDepth;
        return;
    }
    if (m_stack.size() <= 2) {
        // The outermost group ends the document: anything after it is not part of it.
        finishDocument(state());
        return;
    }
    const size_t depth = m_stack.size();
    const GroupState closing = m_stack.back();
    m_stack.pop_back();
    GroupState& parent = state();
    if (depth == m_listNumberDepth) {
        flushRun();
        m_pendingCells = m_listPendingCells;
        m_flow.endListNumber();
        m_listNumberDepth = 0;
    }
    switch (closing.destination) {
    case Destination::FontTable:
        m_fonts.entryGroupEnd(m_ansiCodePage, m_decoder);
        m_cachedFont = INT_MIN;
        break;
    case Destination::Picture:
        if (parent.destination != Destination::Picture)
            finishPicture(closing.start);
        break;
    case Destination::Bullet:
        // \pn describes the paragraph it sits in, not just its own group; a list of the list
        // table (\ls) says more, and writers give the \pn only for readers without those.
        if (!parent.para.listOverride)
            parent.para.list = closing.para.list;
        break;
    case Destination::ListLevelText:
    case Destination::ListLevelNumbers:
        m_lists.levelTextEnd(closing.destination);
        break;
    default:
        break;
    }
    // After the group's own picture, which a \nonshppict may hold without a group of its own.
    if (depth == m_keptDepth)
        finishKept(closing.start);
    groupEndInField(depth);
    if (depth == m_shapePicture.depth || depth == m_shapePicture.alternativeDepth)
        finishShapePicture(closing.start);
    if (depth == m_object.depth)
        finishObject(closing.start);
}

void Reader::placeListNumber() {
    flushRun();
    m_flow.placeListNumber(state().para.list);
}

void Reader::endRow(bool nested) {
    // A table that ends with a nested row has its row's mark already.
    if (nested || !m_afterNestedRow)
        endParagraph();
    m_pendingCells = 0;
    m_afterNestedRow = nested;
}

void Reader::enterDestination(const ControlWord& word) {
    GroupState& s = state();
    // The document's tables belong to the document; a group that describes a picture, a shape
    // or a table's nesting may quote another document's, which defines nothing here.
    const bool table = word.id == Word::FontTable || word.id == Word::ColorTable ||
                       word.id == Word::ListTable || word.id == Word::ListOverrideTable;
    // Nor does one after the body has started: writers put them in the header, and one the body
    // holds would give the groups kept before it other colours than those kept after.
    // Blanks some writers leave before their tables count for nothing.
    const bool bodyStarted =
        m_contentPlaced > 0 || !m_run.trimmed().isEmpty() || !m_bytes.trimmed().isEmpty();
    if (table && (s.destination != Destination::Text || bodyStarted)) {
        startSkipping();
        return;
    }
    switch (word.id) {
    case Word::FontTable:
        s.destination = Destination::FontTable;
        break;
    case Word::ColorTable:
        s.destination = Destination::ColorTable;
        break;
    case Word::Pict:
        s.destination = Destination::Picture;
        m_picture = Picture();
        m_pictureNibble = -1;
        break;
    case Word::Pn:
        // A paragraph's own bullet, in a group of its own; anywhere else it describes nothing of
        // the paragraph's.
        if (s.destination != Destination::Text || !startsWith(word)) {
            startSkipping();
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
            startSkipping();
            break;
        }
        s.destination =
            word.id == Word::LevelText ? Destination::ListLevelText : Destination::ListLevelNumbers;
        break;
    case Word::Upr:
        // Two spellings of document text; elsewhere, of something not shown.
        if (s.destination == Destination::Text)
            s.destination = Destination::UnicodeAlternates;
        else
            startSkipping();
        break;
    case Word::Ud:
        if (s.destination == Destination::UnicodeAlternates)
            s.destination = Destination::Text;
        else
            startSkipping();
        break;
    case Word::Shape:
        m_shapeRead = false;
        break;
    case Word::ShapeInstance:
        // A shape's own description holds its picture and text box; the result that follows
        // is only a fallback drawing of the same thing.
        s.destination = Destination::ShapeProperties;
        m_shapeRead = true;
        m_shapePictureShown = false;
        break;
    case Word::ShapeText:
        s.destination = Destination::Text;
        break;
    case Word::ShapeResult:
        if (m_shapeRead)
            startSkipping();
        break;
    case Word::NestTableProps:
        s.destination = Destination::NestedTableRow;
        m_nestedTableSeen = true;
        break;
    case Word::NoNestTables:
        if (m_nestedTableSeen)
            startSkipping();
        break;
    case Word::Header:
    case Word::Footer:
        beginKept(word, KeptGroup::Kind::Side);
        break;
    case Word::Footnote:
        beginKept(word, KeptGroup::Kind::Footnote);
        break;
    case Word::Field:
        beginField();
        break;
    case Word::FieldInst:
        beginFieldPart(word);
        startSkipping();
        break;
    case Word::FieldResult:
        beginFieldPart(word);
        break;
    case Word::ShpPict:
        beginShapePicture();
        break;
    case Word::NonShpPict:
        // Right after the \shppict, and from its own brace: text before it in its group is the
        // document's.
        if (m_shapePicture.end && startsWith(word) &&
            m_tokenizer.data()
                .sliced(m_shapePicture.end, s.start - m_shapePicture.end)
                .trimmed()
                .isEmpty()) {
            // Read for its picture alone.
            s.destination = Destination::ShapeProperties;
            m_shapePicture.alternativeDepth = m_stack.size();
        } else {
            startSkipping();
        }
        m_shapePicture.end = 0;
        break;
    case Word::ListText:
        if (m_listNumberDepth || m_excessDepth || s.destination != Destination::Text) {
            startSkipping();
            break;
        }
        flushRun();
        m_listPendingCells = std::exchange(m_pendingCells, 0);
        m_listNumberDepth = m_stack.size();
        m_flow.beginListNumber();
        break;
    case Word::Object:
        beginObject();
        return;
    case Word::Result:
        break; // its text is document text
    case Word::PnText:
        // The bullet's own text: the list format draws it.
    default:
        startSkipping();
        break;
    }
    // What an object shows comes from its result and pictures; other destinations either are
    // skipped or bring something more.
    if (!m_skipping && word.id != Word::Pict && word.id != Word::ShpPict &&
        word.id != Word::NonShpPict && word.id != Word::Result)
        m_object.mixed = true;
}

void Reader::controlWord(QByteArrayView name, bool hasParam, int param) {
    if (m_done || m_skipping)
        return;
    if (m_unicodeSkipLeft > 0) {
        --m_unicodeSkipLeft;
        return;
    }
    const ControlWord* word = findControlWord(name);
    const bool ignorable = std::exchange(m_ignorable, false);
    if (!word) {
        if (ignorable)
            startSkipping();
        return;
    }
    if (word->kind == WordKind::Destination) {
        enterDestination(*word);
        return;
    }
    if (ignorable) {
        startSkipping();
        return;
    }
    int value = hasParam ? param : word->defaultValue;
    if (word->kind == WordKind::Toggle)
        value = value != 0;
    GroupState& s = state();
    switch (s.destination) {
    case Destination::FontTable:
        if (word->id == Word::U) {
            m_fonts.unicode(char16_t(value < 0 ? value + 65536 : value), m_ansiCodePage, m_decoder);
            m_unicodeSkipLeft = s.unicodeSkip;
            m_cachedFont = INT_MIN;
            return;
        }
        m_fonts.word(word->id, value);
        return;
    case Destination::ColorTable:
        m_colors.word(word->id, value);
        return;
    case Destination::ListTable:
        m_lists.listTableWord(word->id, value);
        return;
    case Destination::ListOverrideTable:
        m_lists.overrideTableWord(word->id, value);
        return;
    case Destination::ListLevelText:
    case Destination::ListLevelNumbers:
        if (word->id == Word::U) {
            m_lists.levelTextChar(char16_t(value < 0 ? value + 65536 : value));
            m_unicodeSkipLeft = s.unicodeSkip;
        }
        return;
    case Destination::Picture:
        applyPictureWord(m_picture, word->id, value);
        return;
    case Destination::Bullet:
        if (word->id == Word::PnLevelBullet)
            s.para.list = ListStyle::Bullet;
        else if (word->id == Word::PnLevelBody || word->id == Word::PnDecimal)
            s.para.list = ListStyle::Numbered;
        else if (word->id == Word::PnLevelCont)
            s.para.list = ListStyle::None;
        return;
    case Destination::NestedTableRow:
        // Only a nested row's definition and its end count here.
        if (word->id != Word::NestRow && word->id != Word::TableLevel && !isRowWord(word->id))
            return;
        break;
    case Destination::UnicodeAlternates:
    case Destination::ShapeProperties:
        return;
    case Destination::Text:
        break;
    }
    if (word->kind == WordKind::Symbol) {
        appendChar(char16_t(word->defaultValue));
        return;
    }
    if (outlastsGroup(word->id))
        m_object.mixed = true;
    switch (word->id) {
    case Word::Ansi:
        m_ansiCodePage = CodePage::windows1252;
        break;
    case Word::Mac:
        m_ansiCodePage = 10000;
        break;
    case Word::Pc:
        m_ansiCodePage = 437;
        break;
    case Word::Pca:
        m_ansiCodePage = 850;
        break;
    case Word::AnsiCodePage:
        m_ansiCodePage = value > 0 ? value : CodePage::windows1252;
        m_cachedFont = INT_MIN;
        break;
    case Word::DefaultFont:
        m_defaultFont = value;
        m_cachedFont = INT_MIN;
        break;
    case Word::DefaultTab:
        if (value >= minDefaultTab && value <= maxIndentTwips)
            m_flow.out().setDefaultTabWidth(value);
        break;
    case Word::Uc:
        s.unicodeSkip = std::clamp(value, 0, maxUnicodeSkip);
        break;
    case Word::U:
        appendChar(char16_t(value < 0 ? value + 65536 : value));
        m_unicodeSkipLeft = s.unicodeSkip;
        break;
    case Word::Par:
    case Word::Page:
    case Word::Column:
        endParagraph();
        break;
    case Word::Sect:
        endParagraph();
        // The body's sections; one in a table ends a paragraph only.
        if (s.destination == Destination::Text && tablesApply() && contentLevel() == 0) {
            toLevel(0);
            m_flow.out().endSection();
            ++m_sections;
        }
        break;
    case Word::Row:
    case Word::NestRow:
        m_nestedTableSeen |= word->id == Word::NestRow;
        if (!tablesApply()) {
            endRow(word->id == Word::NestRow);
            break;
        }
        flushRun();
        m_tables.endRow(word->id == Word::NestRow ? nestedLevel() : std::max(s.para.tableLevel, 1));
        break;
    case Word::Cell:
    case Word::NestCell:
        m_nestedTableSeen |= word->id == Word::NestCell;
        if (!tablesApply()) {
            ++m_pendingCells;
            break;
        }
        // The mark ends the cell's last paragraph.
        {
            const int level =
                word->id == Word::NestCell ? nestedLevel() : std::max(s.para.tableLevel, 1);
            endParagraph(level);
            m_tables.endCell(level);
        }
        break;
    case Word::Line:
        appendChar(QChar::LineSeparator);
        break;
    case Word::Tab:
        appendChar(u'\t');
        break;
    case Word::FootnoteMark:
        noteFootnoteMark();
        break;
    default:
        if (isRowWord(word->id)) {
            // A nested row's definition comes with its end; the outermost rows' start rows.
            if (!tablesApply())
                break;
            const bool nested = s.destination == Destination::NestedTableRow;
            if (word->id == Word::RowDefaults && !nested) {
                flushRun();
                m_tables.startRow();
            }
            m_tables.rowWord(nested ? std::max(s.para.tableLevel, 2) : 1, word->id, value);
        } else if (!applyParagraphWord(s.para, word->id, value, m_lists)) {
            applyCharacterWord(s.chars, word->id, value);
        }
        break;
    }
}

void Reader::controlSymbol(char symbol) {
    if (m_done || m_skipping)
        return;
    if (symbol == '*') {
        m_ignorable = true;
        return;
    }
    m_ignorable = false;
    if (m_unicodeSkipLeft > 0) {
        --m_unicodeSkipLeft;
        return;
    }
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        text(QByteArrayView(&symbol, 1));
        break;
    case '~':
        appendChar(0x00A0);
        break;
    case '-':
        appendChar(0x00AD);
        break;
    case '_':
        appendChar(0x2011);
        break;
    case '\n':
        if (state().destination == Destination::Text)
            endParagraph();
        break;
    default:
        break;
    }
}

void Reader::hexByte(unsigned char byte) {
    if (m_done || m_skipping)
        return;
    m_ignorable = false;
    if (m_unicodeSkipLeft > 0) {
        --m_unicodeSkipLeft;
        return;
    }
    const char c = char(byte);
    switch (state().destination) {
    case Destination::Text:
        appendBytes(QByteArrayView(&c, 1));
        break;
    case Destination::FontTable:
        m_fonts.hexByte(byte);
        break;
    case Destination::ListLevelText:
    case Destination::ListLevelNumbers:
        m_lists.levelTextByte(byte);
        break;
    default:
        break;
    }
}

void Reader::text(QByteArrayView bytes) {
    if (m_done || m_skipping)
        return;
    m_ignorable = false;
    if (m_unicodeSkipLeft > 0) {
        const qsizetype skip = std::min<qsizetype>(m_unicodeSkipLeft, bytes.size());
        m_unicodeSkipLeft -= int(skip);
        bytes = bytes.sliced(skip);
        if (bytes.isEmpty())
            return;
    }
    switch (state().destination) {
    case Destination::Text:
        appendBytes(bytes);
        break;
    case Destination::FontTable:
        m_fonts.text(bytes, m_ansiCodePage, m_decoder);
        m_cachedFont = INT_MIN;
        break;
    case Destination::ColorTable:
        m_colors.text(bytes);
        break;
    case Destination::ListLevelText:
    case Destination::ListLevelNumbers:
        for (const char c : bytes)
            m_lists.levelTextByte(static_cast<unsigned char>(c));
        break;
    case Destination::Picture:
        appendHexData(m_picture, bytes, m_pictureNibble);
        break;
    default:
        break;
    }
}

void Reader::binary(QByteArrayView bytes) {
    if (m_done || m_skipping)
        return;
    if (state().destination == Destination::Picture)
        m_picture.data.append(bytes.data(), bytes.size());
}

int Reader::fontCodePage(int font) {
    if (font == m_cachedFont)
        return m_cachedCodePage;
    const FontEntry* entry = m_fonts.find(font < 0 ? m_defaultFont : font);
    m_cachedFont = font;
    m_cachedCodePage = entry ? entry->codePage : m_ansiCodePage;
    return m_cachedCodePage;
}

void Reader::toLevel(int level) {
    // The run so far belongs where it was read.
    if (!m_tables.isCurrent(level)) {
        flushRun();
        m_tables.enter(level);
    }
}

void Reader::beginContent() {
    if (tablesApply())
        toLevel(contentLevel());
    m_afterNestedRow = false;
    m_afterMark = false;
    m_markPending = false;
    const CharState& chars = state().chars;
    if (!(chars == m_runChars)) {
        flushRun();
        m_runChars = chars;
    }
    if (m_pendingCells) {
        decodeBytes();
        m_run.append(QString(m_pendingCells, u'\t'));
        m_pendingCells = 0;
    }
    if (m_flow.holdsListNumber())
        placeListNumber();
}

void Reader::appendBytes(QByteArrayView bytes) {
    if (state().chars.hidden)
        return;
    m_object.mixed = true;
    m_shapePicture.textRead = m_shapePicture.textRead || m_shapePicture.depth;
    beginContent();
    const int codePage = fontCodePage(state().chars.font);
    if (codePage != m_bytesCodePage) {
        decodeBytes();
        m_bytesCodePage = codePage;
    }
    m_bytes.append(bytes.data(), bytes.size());
}

void Reader::appendChar(char16_t c) {
    if (state().destination != Destination::Text || state().chars.hidden)
        return;
    // A symbol font's characters given as \u in its private-use range, as some writers do.
    if (c >= 0xF020 && c <= 0xF0FF && fontCodePage(state().chars.font) == CodePage::symbol) {
        if (const char16_t decoded = m_decoder.singleByte(CodePage::symbol, c & 0xFF))
            c = decoded;
    }
    m_object.mixed = true;
    m_shapePicture.textRead = m_shapePicture.textRead || m_shapePicture.depth;
    beginContent();
    decodeBytes();
    m_run.append(QChar(c));
}

void Reader::decodeBytes() {
    if (m_bytes.isEmpty())
        return;
    m_decoder.decode(m_bytesCodePage, m_bytes, m_run);
    m_bytes.clear();
}

void Reader::flushRun() {
    decodeBytes();
    if (m_run.isEmpty())
        return;
    sanitizeText(m_run);
    m_flow.out().appendText(m_run, m_runChars);
    ++m_contentPlaced;
    m_run.clear();
}

void Reader::endParagraph(int level) {
    if (tablesApply())
        toLevel(level >= 0 ? level : contentLevel());
    m_object.mixed = true;
    if (m_flow.holdsListNumber())
        placeListNumber();
    flushRun();
    m_pendingCells = 0;
    m_afterNestedRow = false;
    m_afterMark = false;
    m_markPending = false;
    ++m_contentPlaced;
    const GroupState& s = state();
    m_flow.out().endParagraph(s.para, s.chars);
}

void Reader::finishPicture(qsizetype groupStart) {
    const GroupState& s = state();
    if ((s.destination == Destination::Text || s.destination == Destination::ShapeProperties) &&
        !s.chars.hidden) {
        const QByteArrayView data = m_tokenizer.data();
        m_picture.source = data.sliced(groupStart, m_tokenizer.position() - groupStart);
        if (m_shapePicture.alternativeDepth) {
            m_flow.out().offerAlternative(m_picture);
        } else if (s.destination != Destination::ShapeProperties ||
                   !std::exchange(m_shapePictureShown, true)) {
            beginContent();
            flushRun();
            m_flow.out().appendImage(m_picture);
            ++m_object.pictures;
            ++m_contentPlaced;
            ++m_picturesPlaced;
        }
    }
    m_picture.data.clear();
}

void Reader::beginObject() {
    // An object in another is content of the outer one, which so is no longer all one picture.
    m_object = {};
    // Only an object in document text can be written back where its picture is; past the depth
    // whose groups are kept, its end could not be told from its groups' ends. Its group must
    // start with it: what came before in the group has been read as content already.
    const QByteArrayView group = m_tokenizer.data().sliced(state().start);
    if (state().destination != Destination::Text || m_excessDepth ||
        !group.startsWith("{\\object") ||
        (group.size() > 8 && std::isalpha(static_cast<unsigned char>(group[8]))))
        return;
    m_object.depth = m_stack.size();
}

void Reader::finishObject(qsizetype groupStart) {
    if (m_object.pictures == 1 && !m_object.mixed) {
        const QByteArrayView data = m_tokenizer.data();
        m_flow.out().attachObject(data.sliced(groupStart, m_tokenizer.position() - groupStart));
    }
    m_object = {};
}

bool Reader::startsWith(const ControlWord& word) const {
    // The group's own brace, then the word, after \* for words that may have one.
    QByteArrayView group = m_tokenizer.data().sliced(m_stack.back().start + 1);
    if (group.startsWith("\\*"))
        group = group.sliced(2);
    const QByteArrayView name(word.name.data(), qsizetype(word.name.size()));
    if (!group.startsWith("\\") || !group.sliced(1).startsWith(name))
        return false;
    // The whole word: \footnotes is not \footnote.
    const qsizetype end = 1 + name.size();
    return end >= group.size() || !std::isalpha(static_cast<unsigned char>(group[end]));
}

void Reader::beginKept(const ControlWord& word, KeptGroup::Kind kind) {
    startSkipping();
    // Kept whole from its brace; one inside another kept group, a shape picture or an object is
    // part of that one. A group that does not start with the word had content before it, which
    // the document holds.
    if (m_keptDepth || m_shapePicture.depth || m_object.depth || m_listNumberDepth ||
        m_excessDepth || state().destination != Destination::Text || !startsWith(word))
        return;
    m_keptDepth = m_stack.size();
    m_keptKind = kind;
    if (kind == KeptGroup::Kind::Footnote && m_markPending)
        placeFootnoteMark();
}

void Reader::finishKept(qsizetype groupStart) {
    m_keptDepth = 0;
    // The footnote's mark is in the run being read.
    flushRun();
    const QByteArrayView data = m_tokenizer.data();
    KeptGroup kept = KeptGroup::of(
        m_keptKind, data.sliced(groupStart, m_tokenizer.position() - groupStart), m_header);
    if (m_keptKind == KeptGroup::Kind::Side) {
        kept.section = m_sections;
        m_flow.out().keepSideGroup(kept);
        return;
    }
    kept.numbered = m_afterMark;
    m_flow.out().attachFootnote(kept, 1);
    m_object.mixed = true;
}

void Reader::noteFootnoteMark() {
    if (state().destination != Destination::Text || state().chars.hidden)
        return;
    m_markPending = true;
    m_markChars = state().chars;
}

void Reader::placeFootnoteMark() {
    // Footnotes are numbered by the document; the mark shows the number.
    m_object.mixed = true;
    beginContent();
    flushRun();
    m_flow.out().appendFootnoteNumber(m_markChars);
    ++m_contentPlaced;
    m_afterMark = true;
}

void Reader::beginField() {
    // Only a field in document text, whose group starts with it, is kept: its instruction is
    // written back from its brace.
    if (m_fields.size() < maxOpenFields && !m_excessDepth && !m_keptDepth &&
        state().destination == Destination::Text &&
        m_tokenizer.data().sliced(state().start).startsWith("{\\field"))
        m_fields.push_back({m_stack.size(), state().start, 0, 0});
}

// A field's flags (\fldedit, \fldlock, ...) as words alone, when nothing else stands between the
// field's word and its instruction: anything else there was read as the document's own text,
// which a save must not write twice.
std::optional<QByteArray> fieldFlags(QByteArrayView bytes) {
    static constexpr QByteArrayView known[] = {"fldedit", "fldlock", "flddirty", "fldpriv"};
    QByteArray flags;
    bool afterWord = true; // a space here ends the word before it
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            afterWord = false;
            continue;
        }
        if (c == ' ' && afterWord) {
            afterWord = false;
            continue;
        }
        if (c != '\\')
            return std::nullopt;
        qsizetype length = 0;
        while (i + 1 + length < bytes.size() &&
               std::isalpha(static_cast<unsigned char>(bytes[i + 1 + length])))
            ++length;
        const QByteArrayView word = bytes.sliced(i + 1, length);
        if (std::find(std::begin(known), std::end(known), word) == std::end(known))
            return std::nullopt;
        flags.append('\\').append(word);
        i += length;
        afterWord = true;
    }
    return flags;
}

void Reader::beginFieldPart(const ControlWord& part) {
    if (m_fields.empty() || m_fields.back().depth + 1 != m_stack.size())
        return;
    OpenField& field = m_fields.back();
    if (part.id == Word::FieldInst) {
        // Kept only when its group starts with it: text before it in the group is the
        // document's.
        if (!field.instructionEnd && !m_instructionDepth && startsWith(part)) {
            m_instructionDepth = m_stack.size();
            field.instructionStart = state().start;
        }
        return;
    }
    if (!field.instructionEnd || field.resultDepth)
        return;
    flushRun();
    field.resultDepth = m_stack.size();
    field.resulted = true;
    beginKeptField(field);
}

void Reader::beginKeptField(const OpenField& field) {
    // The field's brace and its flags, then its instruction; anything else there was read as
    // the document's.
    const QByteArrayView data = m_tokenizer.data();
    const qsizetype flagsStart = field.start + qsizetype(sizeof("{\\field") - 1);
    const QByteArrayView flags = data.sliced(flagsStart, field.instructionStart - flagsStart);
    QByteArray head = "{\\field";
    if (const std::optional<QByteArray> words = fieldFlags(flags))
        head.append(*words);
    head.append(data.sliced(field.instructionStart, field.instructionEnd - field.instructionStart));
    // Where its result goes, also when that is a cell whose content has not started yet.
    if (tablesApply())
        toLevel(contentLevel());
    KeptGroup kept = KeptGroup::of(KeptGroup::Kind::Field, head, m_header);
    if (head.toLower().contains("hyperlink"))
        kept.link = KeptGroups::hyperlinkTarget(fieldInstruction(kept));
    m_flow.out().beginField(kept);
}

void Reader::groupEndInField(size_t depth) {
    if (depth == m_instructionDepth) {
        m_fields.back().instructionEnd = m_tokenizer.position();
        m_instructionDepth = 0;
    }
    if (m_fields.empty())
        return;
    if (depth == m_fields.back().resultDepth) {
        flushRun();
        m_flow.out().endField();
        m_fields.back().resultDepth = 0;
    }
    if (depth == m_fields.back().depth) {
        // A field with no result keeps its instruction all the same, as one whose result is
        // empty.
        if (const OpenField& field = m_fields.back(); !field.resulted && field.instructionEnd) {
            flushRun();
            beginKeptField(field);
            m_flow.out().endField();
        }
        m_fields.pop_back();
    }
}

void Reader::beginShapePicture() {
    m_shapePicture.end = 0;
    const QByteArrayView group = m_tokenizer.data().sliced(state().start);
    if (m_shapePicture.depth || m_excessDepth || state().destination != Destination::Text ||
        !group.startsWith("{\\*\\shppict") ||
        (group.size() > 11 && std::isalpha(static_cast<unsigned char>(group[11]))))
        return;
    flushRun();
    m_shapePicture.depth = m_stack.size();
    m_shapePicture.textRead = false;
    m_shapePicture.start = state().start;
    m_shapePicture.contentPlaced = m_contentPlaced;
    m_shapePicture.picturesPlaced = m_picturesPlaced;
}

void Reader::finishShapePicture(qsizetype groupStart) {
    const QByteArrayView data = m_tokenizer.data();
    const qsizetype end = m_tokenizer.position();
    if (m_shapePicture.alternativeDepth) {
        m_shapePicture.alternativeDepth = 0;
        // Both kept as one only when the alternative placed nothing of its own, which the
        // document would then hold twice.
        flushRun();
        if (m_picturesPlaced == m_shapePicture.picturesPlaced + 1 &&
            m_contentPlaced == m_shapePicture.contentPlaced + 1)
            m_flow.out().attachObject(
                data.sliced(m_shapePicture.start, end - m_shapePicture.start));
        return;
    }
    m_shapePicture.depth = 0;
    flushRun();
    // Kept whole when all it placed is one picture, and it holds no text.
    if (!m_shapePicture.textRead && m_picturesPlaced == m_shapePicture.picturesPlaced + 1 &&
        m_contentPlaced == m_shapePicture.contentPlaced + 1) {
        m_flow.out().attachObject(data.sliced(groupStart, end - groupStart));
        m_shapePicture.end = end;
    }
}

// Reads RTF that starts at its first brace into `sink`.
void readInto(QByteArrayView rtf, ContentSink& sink, HeaderTables& header) {
    Tokenizer tokenizer(rtf);
    Reader reader(sink, header, tokenizer);
    tokenizer.run(reader);
    reader.finish();
}

} // namespace

ReadResult read(QByteArrayView data, QTextDocument& document, Extent extent) {
    const QByteArrayView rtf = rtfStart(data);
    if (rtf.isEmpty())
        return {ReadStatus::NotRtf, 1, 1};
    HeaderTables header;
    DocumentBuilder builder(document, header, extent);
    readInto(rtf, builder, header);
    return {};
}

namespace {
QString collectText(QByteArrayView data, ReadStatus* status, TextCollector::Form form) {
    const QByteArrayView rtf = rtfStart(data);
    if (status)
        *status = rtf.isEmpty() ? ReadStatus::NotRtf : ReadStatus::Ok;
    if (rtf.isEmpty())
        return {};
    HeaderTables header;
    TextCollector collector(form);
    readInto(rtf, collector, header);
    return collector.take();
}
} // namespace

QString readText(QByteArrayView data, ReadStatus* status) {
    return collectText(data, status, TextCollector::Form::Shown);
}

QString readSavedText(QByteArrayView data, ReadStatus* status) {
    return collectText(data, status, TextCollector::Form::Saved);
}

QString fieldInstruction(const KeptGroup& field) {
    qsizetype at = field.bytes.indexOf("\\fldinst");
    if (at < 0)
        return {};
    at += 8;
    // The instruction group's content, closed by its own brace, read as a document of its own.
    QByteArray rtf = "{\\rtf1 ";
    if (at < field.bytes.size() && field.bytes[at] == ' ')
        ++at;
    rtf.append(field.bytes.constData() + at, field.bytes.size() - at);
    return readText(rtf).simplified();
}

} // namespace rtf
