#include "rtf/RtfReader.h"

#include "rtf/RtfContentFlow.h"
#include "rtf/RtfControlWords.h"
#include "rtf/RtfDocumentBuilder.h"
#include "rtf/RtfFieldReader.h"
#include "rtf/RtfHeaderReader.h"
#include "rtf/RtfHeaderTables.h"
#include "rtf/RtfHiddenTextReader.h"
#include "rtf/RtfKeptGroupReader.h"
#include "rtf/RtfKeptGroups.h"
#include "rtf/RtfKeptWords.h"
#include "rtf/RtfListTextReader.h"
#include "rtf/RtfReadingContext.h"
#include "rtf/RtfShapeReader.h"
#include "rtf/RtfStateWords.h"
#include "rtf/RtfStyleSheet.h"
#include "rtf/RtfTableMarkReader.h"
#include "rtf/RtfTables.h"
#include "rtf/RtfTextCollector.h"
#include "rtf/RtfTextRun.h"
#include "rtf/RtfTokenizer.h"
#include "text/RtfCodePages.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace rtf {

namespace {

// Deeper groups share the state of the deepest one kept: no real file nests this far, and a
// hostile one must not cost memory per brace.
constexpr size_t maxKeptDepth = 2048;
constexpr int maxUnicodeSkip = 16;
// Default stops closer than this are damage: a line of nothing but stops.
constexpr int minDefaultTab = 36;

// The tokenizer's listener: it keeps the groups' states and hands each token to the part of the
// reader its destination belongs to; the body's text and paragraphs it reads itself.
class Reader final : public TokenListener, private ReadingContext {
public:
    Reader(ContentSink& sink, HeaderTables& header, const Tokenizer& tokenizer)
        : m_tables(sink), m_flow(m_tables), m_tokenizer(tokenizer), m_header(header),
          m_headerReader(header, m_run),
          m_run(header.fonts, header.defaultFont, m_headerReader.ansiCodePage(),
                m_headerReader.decoder()),
          m_tableMarks(*this, m_tables, m_pendingCells), m_fields(*this, fieldInstruction),
          m_shapes(*this), m_kept(*this, m_shapes), m_listText(*this, m_flow, header.lists),
          m_hidden(*this), m_formatsShown(!sink.ignoresFormats()) {
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
    // What the parts ask of the reader.
    QByteArrayView data() const override { return m_tokenizer.data(); }
    qsizetype position() const override { return m_tokenizer.position(); }
    size_t depth() const override { return m_stack.size(); }
    GroupState& state() override { return m_stack.back(); }
    bool beyondKeptDepth() const override { return m_excessDepth != 0; }
    bool groupStartsWith(const ControlWord& word) const override;
    void skipGroup() override { m_skipping = 1; }
    void flushRun() override;
    void beginContent() override;
    void toContentLevel() override {
        if (tablesApply())
            toLevel(contentLevel());
    }
    // `level` is how deep in tables the mark is; by default, where the content is.
    void endParagraph(int level = -1) override;
    ContentSink& out() override { return m_flow.out(); }
    const HeaderTables& header() const override { return m_header; }
    int contentPlaced() const override { return m_contentPlaced; }
    void countPlaced() override { ++m_contentPlaced; }

    void finishDocument(const GroupState& last) {
        flushRun();
        if (tablesApply())
            m_tables.closeAll();
        m_flow.finish(last.para);
        m_done = true;
    }
    void placeListNumber();
    // List numbers read cells as tab-separated text; the body has tables.
    bool tablesApply() const { return !m_listText.readingNumber(); }
    // How deep in tables the paragraph's content is: as its \itap says, else where it is.
    int contentLevel() {
        return state().para.tableLevel > 0 ? state().para.tableLevel : m_tables.depth();
    }
    void toLevel(int level);
    void enterDestination(const ControlWord& word);
    // A word of document text, past the destinations' own.
    void bodyWord(const ControlWord& word, int value);
    // `from` and `to`: where the bytes are in the file.
    void appendBytes(QByteArrayView bytes, qsizetype from, qsizetype to);
    void appendChar(char16_t c);
    // Where the control word or symbol just read starts.
    qsizetype controlStart() const {
        return std::max<qsizetype>(0, m_tokenizer.data().lastIndexOf('\\', position() - 1));
    }
    // Hidden content from `from` to `to` in the file: kept aside, where the document shows none.
    void noteHidden(qsizetype from, qsizetype to);
    void keepWord(QByteArrayView name, bool hasParam, int param);

    TableAssembler m_tables;
    ContentFlow m_flow;
    const Tokenizer& m_tokenizer;
    const HeaderTables& m_header;
    StyleSheet m_styles;
    size_t m_styleSheetDepth = 0; // the stack size inside \stylesheet; 0 outside it
    std::vector<GroupState> m_stack;
    size_t m_excessDepth = 0; // groups opened beyond maxKeptDepth
    int m_skipping = 0;       // depth inside a group whose content is ignored
    bool m_ignorable = false; // after \*
    bool m_done = false;      // the outermost group has closed
    int m_unicodeSkipLeft = 0;
    int m_pendingCells = 0;  // \cell marks not yet turned into separators
    int m_contentPlaced = 0; // text runs, paragraph marks and pictures sent to the document

    HeaderReader m_headerReader;
    TextRun m_run;
    TableMarkReader m_tableMarks;
    FieldReader m_fields;
    ShapeReader m_shapes;
    KeptGroupReader m_kept;
    ListTextReader m_listText;
    HiddenTextReader m_hidden;
    const bool m_formatsShown;
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
        m_shapes.noteMixed(); // its groups no longer keep their own state
        return;
    }
    m_stack.push_back(m_stack.back());
    state().start = m_tokenizer.position() - 1;
    if (m_styleSheetDepth && m_stack.size() == m_styleSheetDepth + 1)
        m_styles.beginEntry();
    if (state().destination == Destination::Picture)
        skipGroup(); // nested groups in a picture hold properties, never picture data
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
    const GroupState& parent = state();
    m_listText.groupEnd(depth, closing, m_pendingCells);
    switch (closing.destination) {
    case Destination::FontTable:
        m_headerReader.fontGroupEnd();
        break;
    case Destination::Picture:
        if (parent.destination != Destination::Picture)
            m_shapes.finishPicture(closing.start);
        break;
    default:
        break;
    }
    // After the group's own picture, which a \nonshppict may hold without a group of its own.
    m_hidden.groupEnd(depth);
    if (m_styleSheetDepth && depth == m_styleSheetDepth + 1) {
        m_styles.endEntry();
    } else if (depth == m_styleSheetDepth) {
        // Text before any paragraph says its style is in style 0.
        m_styleSheetDepth = 0;
        m_styles.applyCharacters(0, state().chars);
    }
    m_kept.groupEnd(depth, closing.start);
    m_fields.groupEnd(depth);
    m_shapes.groupEnd(depth, closing.start);
}

void Reader::placeListNumber() {
    flushRun();
    m_flow.placeListNumber(state().para.list);
}

void Reader::enterDestination(const ControlWord& word) {
    GroupState& s = state();
    // The document's tables belong to the document; a group that describes a picture, a shape
    // or a table's nesting may quote another document's, which defines nothing here.
    const bool table = word.id == Word::FontTable || word.id == Word::ColorTable ||
                       word.id == Word::ListTable || word.id == Word::ListOverrideTable ||
                       word.id == Word::StyleSheet;
    // Nor does one after the body has started: writers put them in the header, and one the body
    // holds would give the groups kept before it other colours than those kept after.
    // Blanks some writers leave before their tables count for nothing.
    const bool bodyStarted = m_contentPlaced > 0 || m_run.holdsText();
    if (table && (s.destination != Destination::Text || bodyStarted)) {
        skipGroup();
        return;
    }
    if (m_listText.enterDestination(word, m_pendingCells)) {
        if (!m_skipping)
            m_shapes.noteMixed();
        return;
    }
    switch (word.id) {
    case Word::FontTable:
        s.destination = Destination::FontTable;
        break;
    case Word::ColorTable:
        s.destination = Destination::ColorTable;
        break;
    case Word::StyleSheet:
        if (m_styleSheetDepth) {
            skipGroup();
            break;
        }
        s.destination = Destination::StyleSheet;
        m_styleSheetDepth = depth();
        m_styles.beginEntry();
        break;
    case Word::Pict:
        m_shapes.beginPicture();
        break;
    case Word::Upr:
        // Two spellings of document text; elsewhere, of something not shown.
        if (s.destination == Destination::Text)
            s.destination = Destination::UnicodeAlternates;
        else
            skipGroup();
        break;
    case Word::Ud:
        if (s.destination == Destination::UnicodeAlternates)
            s.destination = Destination::Text;
        else
            skipGroup();
        break;
    case Word::Shape:
        m_shapes.beginShape();
        break;
    case Word::ShapeInstance:
        m_shapes.beginShapeInstance();
        break;
    case Word::ShapeText:
        s.destination = Destination::Text;
        break;
    case Word::ShapeResult:
        m_shapes.beginShapeResult();
        break;
    case Word::NestTableProps:
        m_tableMarks.beginNestedRowProperties();
        break;
    case Word::NoNestTables:
        m_tableMarks.beginNoNestTables();
        break;
    case Word::Header:
    case Word::Footer:
        m_kept.begin(word, KeptGroup::Kind::Side, m_listText.readingNumber());
        break;
    case Word::Footnote:
        m_kept.begin(word, KeptGroup::Kind::Footnote, m_listText.readingNumber());
        break;
    case Word::Field:
        m_fields.begin(m_kept.reading());
        break;
    case Word::FieldInst:
        m_fields.beginPart(word);
        skipGroup();
        break;
    case Word::FieldResult:
        m_fields.beginPart(word);
        break;
    case Word::ShpPict:
        m_shapes.beginShapePicture();
        break;
    case Word::NonShpPict:
        m_shapes.beginAlternative(word);
        break;
    case Word::Object:
        m_shapes.beginObject();
        return;
    case Word::Result:
        break; // its text is document text
    case Word::PnText:
        // The bullet's own text: the list format draws it.
    default:
        skipGroup();
        break;
    }
    // What an object shows comes from its result and pictures; other destinations either are
    // skipped or bring something more.
    if (!m_skipping && word.id != Word::Pict && word.id != Word::ShpPict &&
        word.id != Word::NonShpPict && word.id != Word::Result)
        m_shapes.noteMixed();
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
            skipGroup();
        else
            keepWord(name, hasParam, param);
        return;
    }
    if (word->kind == WordKind::Destination) {
        enterDestination(*word);
        return;
    }
    if (ignorable) {
        skipGroup();
        return;
    }
    int value = hasParam ? param : word->defaultValue;
    if (word->kind == WordKind::Toggle)
        value = hasParam && param == 0 ? 0 : word->defaultValue;
    GroupState& s = state();
    switch (s.destination) {
    case Destination::FontTable:
    case Destination::ColorTable:
        if (m_headerReader.tableWord(s.destination, word->id, value))
            m_unicodeSkipLeft = s.unicodeSkip;
        return;
    case Destination::ListTable:
    case Destination::ListOverrideTable:
    case Destination::ListLevelText:
    case Destination::ListLevelNumbers:
    case Destination::Bullet:
        if (m_listText.word(s.destination, word->id, value))
            m_unicodeSkipLeft = s.unicodeSkip;
        return;
    case Destination::Picture:
        m_shapes.pictureWord(word->id, value);
        return;
    case Destination::StyleSheet:
        m_styles.word(word->id, value);
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
    bodyWord(*word, value);
}

void Reader::bodyWord(const ControlWord& word, int value) {
    GroupState& s = state();
    // Most words of a body change the character format, and nothing else acts on them.
    if (isCharacterWord(word.id)) {
        applyCharacterWord(s.chars, word.id, value);
        if (word.id == Word::Plain)
            m_styles.applyCharacters(s.para.style, s.chars);
        return;
    }
    if (outlastsGroup(word.id))
        m_shapes.noteMixed();
    if (m_headerReader.documentWord(word.id, value))
        return;
    switch (word.id) {
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
    case Word::Column:
        endParagraph();
        break;
    case Word::Page:
        // A break after the paragraph it ends, which a save writes back as this mark.
        s.para.pageBreakAfter = true;
        endParagraph();
        state().para.pageBreakAfter = false;
        break;
    case Word::Sect:
        endParagraph();
        // The body's sections; one in a table ends a paragraph only.
        if (s.destination == Destination::Text && tablesApply() && contentLevel() == 0) {
            toLevel(0);
            m_flow.out().endSection();
            m_kept.endSection();
        }
        break;
    case Word::Line:
        appendChar(QChar::LineSeparator);
        break;
    case Word::Tab:
        appendChar(u'\t');
        break;
    case Word::FootnoteMark:
        m_kept.noteMark();
        break;
    case Word::Style:
        m_styles.apply(value, s.chars, s.para);
        break;
    default:
        if (!m_tableMarks.word(word.id, value, tablesApply()) &&
            !applyParagraphWord(s.para, word.id, value, m_header.lists))
            applyCharacterWord(s.chars, word.id, value);
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
        appendBytes(QByteArrayView(&c, 1), position() - 4, position());
        break;
    case Destination::FontTable:
        m_headerReader.fontHexByte(byte);
        break;
    case Destination::ListLevelText:
    case Destination::ListLevelNumbers:
        m_listText.levelText(QByteArrayView(&c, 1));
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
    case Destination::Text: {
        // Escaped braces and backslashes come as text of their own.
        const qsizetype from = bytes.data() - data().data();
        if (from >= 0 && from < data().size())
            appendBytes(bytes, from, from + bytes.size());
        else
            appendBytes(bytes, controlStart(), position());
        break;
    }
    case Destination::FontTable:
    case Destination::ColorTable:
        m_headerReader.text(state().destination, bytes);
        break;
    case Destination::ListLevelText:
    case Destination::ListLevelNumbers:
        m_listText.levelText(bytes);
        break;
    case Destination::Picture:
        m_shapes.pictureData(bytes);
        break;
    default:
        break;
    }
}

void Reader::binary(QByteArrayView bytes) {
    if (m_done || m_skipping)
        return;
    if (state().destination == Destination::Picture)
        m_shapes.pictureBinary(bytes);
}

void Reader::toLevel(int level) {
    // The run so far belongs where it was read.
    if (!m_tables.isCurrent(level)) {
        flushRun();
        m_tables.enter(level);
    }
}

void Reader::beginContent() {
    m_hidden.close();
    if (tablesApply())
        toLevel(contentLevel());
    m_tableMarks.noteContent();
    m_kept.noteContent();
    const CharState& chars = state().chars;
    if (!(chars == m_run.chars())) {
        // A change of format ends the run, to the sink or, when formats mean nothing to it,
        // within the text it will get at the next flush: counted as placed either way.
        if (!m_formatsShown) {
            if (m_run.endRunKeepingText())
                ++m_contentPlaced;
        } else {
            flushRun();
        }
        m_run.setChars(chars);
    }
    if (m_pendingCells) {
        m_run.appendTabs(m_pendingCells);
        m_pendingCells = 0;
    }
    if (m_flow.holdsListNumber())
        placeListNumber();
}

void Reader::noteHidden(qsizetype from, qsizetype to) {
    // A list number's hidden text goes with it.
    if (state().destination == Destination::Text && tablesApply())
        m_hidden.note(from, to);
}

void Reader::keepWord(QByteArrayView name, bool hasParam, int param) {
    GroupState& s = state();
    if (s.destination != Destination::Text)
        return;
    switch (keptWordKind(name)) {
    case KeptWordKind::Paragraph:
        rtf::keepWord(s.para.keptWords, name, hasParam, param);
        break;
    case KeptWordKind::Character:
        rtf::keepWord(s.chars.keptWords, name, hasParam, param);
        break;
    case KeptWordKind::None:
        break;
    }
}

void Reader::appendBytes(QByteArrayView bytes, qsizetype from, qsizetype to) {
    if (state().chars.hidden) {
        noteHidden(from, to);
        return;
    }
    m_shapes.noteText();
    beginContent();
    m_run.appendBytes(bytes, m_run.codePage(state().chars.font));
}

void Reader::appendChar(char16_t c) {
    if (state().destination != Destination::Text)
        return;
    if (state().chars.hidden) {
        noteHidden(controlStart(), position());
        return;
    }
    // A symbol font's characters given as \u in its private-use range, as some writers do.
    if (c >= 0xF020 && c <= 0xF0FF && m_run.codePage(state().chars.font) == CodePage::symbol) {
        if (const char16_t decoded =
                m_headerReader.decoder().singleByte(CodePage::symbol, c & 0xFF))
            c = decoded;
    }
    m_shapes.noteText();
    beginContent();
    m_run.appendChar(c);
}

void Reader::flushRun() {
    m_hidden.close();
    if (m_run.sendTo(m_flow.out()))
        ++m_contentPlaced;
}

void Reader::endParagraph(int level) {
    if (tablesApply())
        toLevel(level >= 0 ? level : contentLevel());
    m_shapes.noteMixed();
    if (m_flow.holdsListNumber())
        placeListNumber();
    flushRun();
    m_pendingCells = 0;
    m_tableMarks.noteContent();
    m_kept.noteContent();
    ++m_contentPlaced;
    const GroupState& s = state();
    m_flow.out().endParagraph(s.para, s.chars);
}

bool Reader::groupStartsWith(const ControlWord& word) const {
    return startsWithWord(m_tokenizer.data().sliced(m_stack.back().start), word);
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
