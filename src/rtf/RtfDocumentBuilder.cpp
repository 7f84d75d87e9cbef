#include "rtf/RtfDocumentBuilder.h"

#include "model/DocumentProperties.h"
#include "model/ListNumbers.h"
#include "model/Twips.h"
#include "pictures/RtfPicture.h"
#include "rtf/RtfStateWords.h"
#include "rtf/RtfTableGrid.h"

#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

#include <cctype>
#include <utility>

namespace rtf {

DocumentBuilder::DocumentBuilder(QTextDocument& document, const HeaderTables& header, Extent extent)
    : m_document(document), m_header(header), m_formats(header), m_extent(extent),
      m_undoWasEnabled(document.isUndoRedoEnabled()) {
    m_document.setUndoRedoEnabled(false);
    m_document.clear();
    // A file without \deftab has a stop every half inch.
    setDefaultTabWidth(720);
    m_cursor = QTextCursor(&m_document);
    m_cursor.beginEditBlock();
}

DocumentBuilder::~DocumentBuilder() {
    m_cursor.endEditBlock();
    m_document.setUndoRedoEnabled(m_undoWasEnabled);
}

void DocumentBuilder::handOverParts(int paragraphs, PartTaker take) {
    m_partParagraphs = paragraphs;
    m_takePart = std::move(take);
}

void DocumentBuilder::handOverIfDue() {
    if (!m_takePart || !m_breakPending || m_document.blockCount() < m_partParagraphs)
        return;
    // Kept back: what a list that may go on numbers from, what an open field or hidden text
    // waiting for content will mark, a table's inside. Lists from the list table go on however
    // far apart their items stand, so a document that has one is handed over whole.
    if (m_list || !m_levelLists.empty() || !m_fields.empty() || !m_hidden.isEmpty() ||
        !m_emptyFields.isEmpty() || m_tablesOpen > 0)
        return;
    // Out of the edit block the document's frames are known, and what is removed is let go at
    // once: the removed tables' objects, the text.
    m_cursor.endEditBlock();
    const bool more = m_takePart(m_document, m_kept);
    if (more) {
        m_cursor.select(QTextCursor::Document);
        m_cursor.removeSelectedText();
    }
    m_cursor.beginEditBlock();
    if (!more) {
        m_takePart = nullptr;
        return;
    }
    // The one paragraph left is the one the mark read last begins, as beginContent makes it.
    m_cursor.setBlockFormat(m_lastParaFormat);
    m_cursor.setBlockCharFormat(m_lastChars);
    m_blockFormatVersion = m_paraVersion;
    m_breakPending = false;
    m_afterFrameMark = false;
}

void DocumentBuilder::beginContent() {
    handOverIfDue();
    if (m_breakPending) {
        // The paragraph's own format comes with its mark, and is mostly the one before it: the
        // block starts with that, so the mark seldom has anything to change. It never starts in
        // the list before it, not to join that list for a moment.
        m_cursor.insertBlock(m_lastParaFormat, m_lastChars);
        m_blockFormatVersion = m_paraVersion;
        m_breakPending = false;
        m_afterFrameMark = false;
    }
    m_blockEmpty = false;
}

void DocumentBuilder::appendText(const QString& text, const CharState& chars) {
    if (text.isEmpty())
        return;
    beginContent();
    m_lastChars = m_formats.of(chars);
    ++m_placed;
    const QTextCharFormat& format = m_fields.empty() ? m_lastChars : fieldFormat(m_lastChars);
    if (m_emptyFields.isEmpty() && m_hidden.isEmpty()) {
        m_cursor.insertText(text, format);
        return;
    }
    QTextCharFormat first = format;
    if (!m_emptyFields.isEmpty())
        takeEmptyFields(first);
    takeHidden(first);
    m_cursor.insertText(text.first(1), first);
    if (text.size() > 1)
        m_cursor.insertText(text.sliced(1), format);
}

void DocumentBuilder::takeEmptyFields(QTextCharFormat& format) {
    format.setProperty(DocumentProperty::EmptyFields, QVariant::fromValue(m_emptyFields));
    m_emptyFields.clear();
}

void DocumentBuilder::keepHidden(const KeptGroup& group) {
    m_kept.push_back(group);
    m_hidden.append(int(m_kept.size()));
}

void DocumentBuilder::takeHidden(QTextFormat& format) {
    if (m_hidden.isEmpty())
        return;
    format.setProperty(DocumentProperty::HiddenText, QVariant::fromValue(m_hidden));
    m_hidden.clear();
}

void DocumentBuilder::hiddenToBlock() {
    if (m_hidden.isEmpty())
        return;
    QTextBlockFormat format;
    format.setProperty(
        DocumentProperty::HiddenText,
        QVariant::fromValue(
            m_cursor.blockFormat().property(DocumentProperty::HiddenText).value<QList<int>>() +
            m_hidden));
    m_hidden.clear();
    m_cursor.mergeBlockFormat(format);
}

const QTextCharFormat& DocumentBuilder::fieldFormat(const QTextCharFormat& format) {
    if (format == m_fieldBase &&
        m_fieldFormat.intProperty(DocumentProperty::FieldId) == m_fields.back().id)
        return m_fieldFormat;
    m_fieldBase = format;
    m_fieldFormat = format;
    m_fieldFormat.setProperty(DocumentProperty::FieldId, m_fields.back().id);
    if (const QString& link = m_fields.back().link; !link.isEmpty()) {
        // Shown as browsers show links, unless the file gave the text a colour of its own.
        m_fieldFormat.setAnchor(true);
        m_fieldFormat.setAnchorHref(link);
        m_fieldFormat.setFontUnderline(true);
        if (!format.hasProperty(QTextFormat::ForegroundBrush))
            m_fieldFormat.setForeground(QColor(0x00, 0x00, 0xEE));
    }
    return m_fieldFormat;
}

void DocumentBuilder::beginField(const KeptGroup& field) {
    KeptGroup kept = field;
    kept.parent = m_fields.empty() ? 0 : m_fields.back().id;
    QString link = kept.link;
    if (link.isEmpty() && !m_fields.empty())
        link = m_fields.back().link;
    m_kept.push_back(std::move(kept));
    m_fields.push_back({int(m_kept.size()), link, m_placed});
}

void DocumentBuilder::endField() {
    if (m_fields.empty())
        return;
    if (m_fields.back().placed == m_placed)
        m_emptyFields.append(m_fields.back().id);
    m_fields.pop_back();
}

void DocumentBuilder::endSection() {
    QTextBlockFormat format;
    format.setProperty(DocumentProperty::SectionEnd, ++m_sections);
    m_cursor.mergeBlockFormat(format);
}

void DocumentBuilder::setDefaultTabWidth(int twips) {
    QTextOption option = m_document.defaultTextOption();
    option.setTabStopDistance(Twips::toLayout(twips));
    m_document.setDefaultTextOption(option);
}

void DocumentBuilder::keepSideGroup(const KeptGroup& group) {
    m_kept.push_back(group);
}

void DocumentBuilder::attachFootnote(const KeptGroup& group, int markLength) {
    if (group.numbered)
        markLength = int(QString::number(m_footnotesNumbered).size());
    // A footnote whose mark is not in this paragraph (one at a paragraph's start, whose custom
    // mark was left out) has no text to keep it.
    if (m_breakPending || m_blockEmpty || m_cursor.positionInBlock() < markLength)
        return;
    // Nor has a picture: the mark is text.
    if (m_document.characterAt(m_cursor.position() - 1) == QChar::ObjectReplacementCharacter)
        return;
    m_kept.push_back(group);
    // By position: moving by characters lays the paragraph out, each time.
    QTextCursor mark = m_cursor;
    mark.setPosition(m_cursor.position() - markLength, QTextCursor::KeepAnchor);
    QTextCharFormat format;
    format.setProperty(DocumentProperty::FootnoteId, int(m_kept.size()));
    mark.mergeCharFormat(format);
}

void DocumentBuilder::offerAlternative(const Picture& picture) {
    // Used only where the first form is a box standing in for a picture we cannot draw.
    if (m_lastImageName.isEmpty())
        return;
    const QUrl name(m_lastImageName);
    if (!isPlaceholder(m_document.resource(QTextDocument::ImageResource, name).value<QImage>()))
        return;
    if (const QImage image = decodePicture(picture); !image.isNull())
        m_document.addResource(QTextDocument::ImageResource, name, QVariant(image));
}

namespace {
bool startsWithPictWord(QByteArrayView group) {
    static constexpr QByteArrayView word = "{\\pict";
    if (!group.startsWith(word))
        return false;
    const char next = group.size() > word.size() ? group[word.size()] : '\0';
    return !((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z'));
}
} // namespace

void DocumentBuilder::appendImage(const Picture& picture) {
    QImage image = decodePicture(picture);
    const QSizeF size = displaySize(picture, image);
    if (image.isNull())
        image = placeholderImage(picture, size);
    const QString name = pictureName(++m_imageCount);
    m_document.addResource(QTextDocument::ImageResource, QUrl(name), QVariant(image));
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(size.width());
    format.setHeight(size.height());
    if (!m_fields.empty()) // a field's result may be a picture
        format.setProperty(DocumentProperty::FieldId, m_fields.back().id);
    // Only a group that is the picture from its first word can stand for it: one that turned into
    // a picture later ("{\pictbl text \pict ...}") also holds what was read before.
    if (startsWithPictWord(picture.source))
        keepOriginalPicture(m_document, name, picture.source, size);
    if (!m_emptyFields.isEmpty())
        takeEmptyFields(format);
    takeHidden(format);
    ++m_placed;
    beginContent();
    m_cursor.insertImage(format);
    m_lastImageName = name;
    m_lastImageSize = size;
}

void DocumentBuilder::attachObject(QByteArrayView group) {
    // The object's group takes the place of its picture's: saving writes the whole object back.
    if (!m_lastImageName.isEmpty())
        keepOriginalPicture(m_document, m_lastImageName, group, m_lastImageSize);
}

void DocumentBuilder::appendTable(const Table& table) {
    for (const TableGrid& grid : gridsOf(table))
        placeTable(table, grid);
    replayOverflow(table, *this);
}

void DocumentBuilder::startAfterFrameMark() {
    m_breakPending = false;
    m_blockEmpty = true;
    m_afterFrameMark = true;
    m_blockFormatVersion = -1;
    endList();
}

void DocumentBuilder::placeTable(const Table& table, const TableGrid& grid) {
    // The table's start ends the paragraph before it, in place of a mark read or not.
    if (!m_breakPending)
        hiddenToBlock();
    m_breakPending = false;
    endList();
    m_tablesPlaced = true;
    ++m_tablesOpen;
    QTextTable* placed = m_cursor.insertTable(grid.rows, grid.columns(), tableFormatOf(grid));
    for (const GridCell& cell : grid.cells) {
        if (cell.rowSpan > 1 || cell.columnSpan > 1)
            placed->mergeCells(cell.row, cell.column, cell.rowSpan, cell.columnSpan);
    }
    // A field never spans a table's edge, nor a cell's: the file's own marks would end it there.
    const std::vector<OpenField> fieldsAround = std::exchange(m_fields, {});
    for (const GridCell& cell : grid.cells) {
        QTextTableCell at = placed->cellAt(cell.row, cell.column);
        at.setFormat(cellFormatOf(grid, cell, m_header.colors));
        m_cursor = at.firstCursorPosition();
        startAfterFrameMark();
        replayCell(table, grid, cell, *this);
        m_fields.clear();
    }
    m_fields = fieldsAround;
    m_cursor.setPosition(placed->lastPosition() + 1);
    startAfterFrameMark();
    --m_tablesOpen;
}

void DocumentBuilder::endParagraph(const ParaState& para, const CharState& markChars) {
    handOverIfDue();
    if (m_breakPending || m_blockEmpty)
        m_lastChars = m_formats.of(markChars);
    if (m_breakPending && para.list == ListStyle::None) {
        // An empty paragraph outside lists is one block inserted with all its formats at once:
        // files of blank lines are made of nothing else.
        m_cursor.insertBlock(blockFormatOf(para), m_lastChars);
        m_afterFrameMark = false;
        endList();
        hiddenToBlock();
        return;
    }
    if (m_breakPending) {
        m_cursor.insertBlock(QTextBlockFormat(), m_lastChars);
        m_afterFrameMark = false;
    } else if (m_blockEmpty && m_afterFrameMark) {
        m_cursor.mergeBlockCharFormat(m_lastChars);
    } else if (m_blockEmpty) {
        m_cursor.setBlockCharFormat(m_lastChars);
    }
    applyBlockFormat(para);
    hiddenToBlock();
    m_breakPending = true;
    m_blockEmpty = true;
}

void DocumentBuilder::finish(const ParaState& para) {
    if (m_breakPending && m_extent == Extent::Selection)
        beginContent();
    if (!m_breakPending)
        applyBlockFormat(para);
    hiddenToBlock();
    // Fields no content follows stand before the last character, wherever that is.
    for (QTextBlock block = m_document.lastBlock(); !m_emptyFields.isEmpty() && block.isValid();
         block = block.previous()) {
        if (block.length() <= 1)
            continue;
        QTextCursor last(&m_document);
        last.setPosition(block.position() + block.length() - 2);
        last.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
        m_emptyFields =
            last.charFormat().property(DocumentProperty::EmptyFields).value<QList<int>>() +
            m_emptyFields;
        QTextCharFormat format;
        takeEmptyFields(format);
        last.mergeCharFormat(format);
    }
    if (!m_kept.empty())
        KeptGroups::store(m_document, m_kept);
    // Tables are laid out by Qt, which counts each list on its own and draws a number in the
    // format of its paragraph's mark: a heading in a table cell has the cell's.
    // (The document's frames are known only once the edit block ends.)
    if (m_tablesPlaced) {
        ListNumbers::joinRuns(m_document);
        markListsInTheirTextsFormat();
    }
}

void DocumentBuilder::markListsInTheirTextsFormat() {
    for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next()) {
        if (!block.textList() || block.begin().atEnd())
            continue;
        const QTextCharFormat text = block.begin().fragment().charFormat();
        if (text.isImageFormat() || text.font() == block.charFormat().font())
            continue;
        // Merged, font alone: a cell's first paragraph keeps the cell's format in its mark.
        QTextCharFormat font;
        font.setFont(text.font(), QTextCharFormat::FontPropertiesAll);
        QTextCursor(block).mergeBlockCharFormat(font);
    }
}

const QTextBlockFormat& DocumentBuilder::blockFormatOf(const ParaState& para) {
    // Paragraph after paragraph usually has the same format.
    if (!(para == m_lastPara) || m_paraVersion == 0) {
        m_lastPara = para;
        m_lastParaFormat = rtf::blockFormatOf(para);
        ++m_paraVersion;
    }
    return m_lastParaFormat;
}

void DocumentBuilder::endList() {
    m_list = nullptr;
    m_listStyle = ListStyle::None;
}

namespace {

QTextListFormat::Style bulletStyleOf(const QString& text) {
    const QChar c = text.isEmpty() ? QChar() : text.front();
    switch (c.unicode()) {
    case u'o':
    case 0x25E6:
    case 0x25CB:
        return QTextListFormat::ListCircle;
    case 0x00A7:
    case 0xF0A7:
    case 0xF06E:
    case 0x25AA:
    case 0x25A0:
        return QTextListFormat::ListSquare;
    default:
        return QTextListFormat::ListDisc;
    }
}

QTextListFormat listFormatOf(const ParaState& para, const ListLevel& level) {
    QTextListFormat format;
    QTextListFormat::Style style = QTextListFormat::ListDecimal;
    switch (level.numberFormat) {
    case 1:
        style = QTextListFormat::ListUpperRoman;
        break;
    case 2:
        style = QTextListFormat::ListLowerRoman;
        break;
    case 3:
        style = QTextListFormat::ListUpperAlpha;
        break;
    case 4:
        style = QTextListFormat::ListLowerAlpha;
        break;
    default:
        if (level.bullet())
            style = bulletStyleOf(level.text);
        break;
    }
    format.setStyle(style);
    format.setIndent(0);
    format.setProperty(DocumentProperty::ListId, para.listOverride);
    format.setProperty(DocumentProperty::ListLevel, std::clamp(para.listLevel, 0, 8));
    format.setProperty(DocumentProperty::ListStart, level.start);
    format.setProperty(DocumentProperty::ListNumberFormat, level.numberFormat);
    if (!level.bullet())
        format.setProperty(DocumentProperty::ListLevelText, level.text);
    return format;
}

} // namespace

void DocumentBuilder::applyListLevel(const ParaState& para, const ListLevel& level,
                                     QTextBlockFormat format) {
    endList();
    auto& levels = m_levelLists[para.listOverride];
    const size_t depth = size_t(std::clamp(para.listLevel, 0, ListTables::levels - 1));
    std::fill(levels.begin() + qsizetype(depth) + 1, levels.end(), LevelList());
    LevelList& at = levels[depth];
    const int perList = level.bullet() ? ListNumbers::bulletsPerList : ListNumbers::itemsPerList;
    if (at.list && at.items < perList) {
        format.setObjectIndex(at.list->objectIndex());
        m_cursor.setBlockFormat(format);
        ++at.items;
        return;
    }
    m_cursor.setBlockFormat(format);
    QTextListFormat listFormat = listFormatOf(para, level);
    // Cut for speed: ListNumbers counts on across the cut.
    if (at.list)
        listFormat.setProperty(DocumentProperty::ListContinues, true);
    at.list = m_cursor.createList(listFormat);
    at.items = 1;
    ListNumbers::setQtAffixes(*at.list, m_numbering);
}

void DocumentBuilder::applyBlockFormat(const ParaState& para) {
    QTextBlockFormat format = blockFormatOf(para);
    if (para.list != ListStyle::None && para.listOverride) {
        if (const std::optional<ListLevel> level =
                m_header.lists.level(para.listOverride, para.listLevel)) {
            applyListLevel(para, *level, format);
            return;
        }
    }
    if (para.list == ListStyle::None) {
        endList();
        if (m_blockFormatVersion != m_paraVersion)
            m_cursor.setBlockFormat(format);
        return;
    }
    // Consecutive paragraphs of one kind form one list; its indent comes from the paragraphs'
    // own left margins, so the list adds none.
    //
    // Qt marks every item of a list for layout again each time one is added, so a list costs the
    // square of its length to build. A long run is cut into lists of a bounded size: bullets look
    // the same in any list, numbers go on counting (ListNumbers).
    const bool listFull =
        m_listItems >=
        (para.list == ListStyle::Bullet ? ListNumbers::bulletsPerList : ListNumbers::itemsPerList);
    if (!m_list || m_listStyle != para.list || listFull) {
        m_cursor.setBlockFormat(format);
        QTextListFormat listFormat;
        listFormat.setStyle(para.list == ListStyle::Bullet ? QTextListFormat::ListDisc
                                                           : QTextListFormat::ListDecimal);
        listFormat.setIndent(0);
        if (m_list && m_listStyle == para.list && para.list != ListStyle::Bullet)
            listFormat.setProperty(DocumentProperty::ListContinues, true);
        m_list = m_cursor.createList(listFormat);
        m_listStyle = para.list;
        m_listItems = 1;
        return;
    }
    format.setObjectIndex(m_list->objectIndex());
    m_cursor.setBlockFormat(format);
    ++m_listItems;
}

} // namespace rtf
