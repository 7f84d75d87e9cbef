#include "rtf/RtfReader.h"

#include "rtf/RtfDocumentReader.h"
#include "text/RtfCodePages.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace rtf {

DocumentReader::DocumentReader(ContentSink& sink, HeaderTables& header, const Tokenizer& tokenizer)
    : m_tables(sink), m_flow(m_tables), m_tokenizer(tokenizer), m_header(header),
      m_headerReader(header, m_run), m_run(header.fonts, header.defaultFont,
                                           m_headerReader.ansiCodePage(), m_headerReader.decoder()),
      m_tableMarks(*this, m_tables, m_pendingCells), m_fields(*this, fieldInstruction),
      m_shapes(*this), m_kept(*this, m_shapes), m_listText(*this, m_flow, header.lists),
      m_hidden(*this), m_formatsShown(!sink.ignoresFormats()) {
    m_stack.reserve(64);
    m_stack.emplace_back();
}

void DocumentReader::groupStart() {
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

void DocumentReader::groupEnd() {
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

void DocumentReader::placeListNumber() {
    flushRun();
    m_flow.placeListNumber(state().para.list);
}

void DocumentReader::controlWord(QByteArrayView name, bool hasParam, int param) {
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

void DocumentReader::bodyWord(const ControlWord& word, int value) {
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
    // Hidden text is written back as it was, and read there again: the words in it that would
    // change the whole document do not act.
    if (m_headerReader.documentWord(word.id, value, !s.chars.hidden))
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

void DocumentReader::controlSymbol(char symbol) {
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

void DocumentReader::hexByte(unsigned char byte) {
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

void DocumentReader::text(QByteArrayView bytes) {
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
        // Escaped braces and backslashes come as text of their own, two bytes of the file: an
        // escaped backslash is not where the last backslash starts.
        const qsizetype from = bytes.data() - data().data();
        if (from >= 0 && from < data().size())
            appendBytes(bytes, from, from + bytes.size());
        else if (bytes == QByteArrayView("\\"))
            appendBytes(bytes, std::max<qsizetype>(0, position() - 2), position());
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

void DocumentReader::binary(QByteArrayView bytes) {
    if (m_done || m_skipping)
        return;
    if (state().destination == Destination::Picture)
        m_shapes.pictureBinary(bytes);
}

void DocumentReader::toLevel(int level) {
    // The run so far belongs where it was read.
    if (!m_tables.isCurrent(level)) {
        flushRun();
        m_tables.enter(level);
    }
}

void DocumentReader::beginContent() {
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

void DocumentReader::noteHidden(qsizetype from, qsizetype to) {
    // A list number's hidden text goes with it.
    if (state().destination == Destination::Text && tablesApply())
        m_hidden.note(from, to);
}

void DocumentReader::keepWord(QByteArrayView name, bool hasParam, int param) {
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

void DocumentReader::appendBytes(QByteArrayView bytes, qsizetype from, qsizetype to) {
    if (state().chars.hidden) {
        noteHidden(from, to);
        return;
    }
    m_shapes.noteText();
    beginContent();
    m_run.appendBytes(bytes, m_run.codePage(state().chars.font));
}

void DocumentReader::appendChar(char16_t c) {
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

void DocumentReader::flushRun() {
    m_hidden.close();
    if (m_run.sendTo(m_flow.out()))
        ++m_contentPlaced;
}

void DocumentReader::endParagraph(int level) {
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

bool DocumentReader::groupStartsWith(const ControlWord& word) const {
    return startsWithWord(m_tokenizer.data().sliced(m_stack.back().start), word);
}

namespace {

// Reads RTF that starts at its first brace into `sink`.
void readInto(QByteArrayView rtf, ContentSink& sink, HeaderTables& header) {
    Tokenizer tokenizer(rtf);
    DocumentReader reader(sink, header, tokenizer);
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

ReadResult readInParts(QByteArrayView data, QTextDocument& document, int paragraphs,
                       const std::function<bool(const Part&)>& take) {
    const QByteArrayView rtf = rtfStart(data);
    if (rtf.isEmpty())
        return {ReadStatus::NotRtf, 1, 1};
    {
        HeaderTables header;
        DocumentBuilder builder(document, header);
        builder.handOverParts(paragraphs,
                              [&](const QTextDocument& part, const std::vector<KeptGroup>& kept) {
                                  return take({part, kept, false});
                              });
        readInto(rtf, builder, header);
    }
    take({document, KeptGroups::load(document), true});
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
