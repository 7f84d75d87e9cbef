#pragma once

#include "model/ListNumbers.h"
#include "rtf/RtfCharFormats.h"
#include "rtf/RtfContentSink.h"
#include "rtf/RtfExtent.h"
#include "rtf/RtfKeptGroups.h"

#include <QTextBlockFormat>
#include <QTextCursor>

#include <array>
#include <functional>
#include <unordered_map>

class QTextDocument;
class QTextList;

namespace rtf {

struct TableGrid;

// Fills a document paragraph by paragraph, in one edit block with undo off. Formats come from
// the header the reader fills in as it goes.
class DocumentBuilder final : public ContentSink {
public:
    DocumentBuilder(QTextDocument& document, const HeaderTables& header,
                    Extent extent = Extent::File);
    ~DocumentBuilder() override;
    DocumentBuilder(const DocumentBuilder&) = delete;
    DocumentBuilder& operator=(const DocumentBuilder&) = delete;

    void appendText(const QString& text, const CharState& chars) override;
    void appendImage(const Picture& picture) override;
    void attachObject(QByteArrayView group) override;
    void offerAlternative(const Picture& picture) override;
    void keepSideGroup(const KeptGroup& group) override;
    void attachFootnote(const KeptGroup& group, int markLength) override;
    void keepHidden(const KeptGroup& group) override;
    void beginField(const KeptGroup& field) override;
    void endField() override;
    void endSection() override;
    void setDefaultTabWidth(int twips) override;
    void appendTable(const Table& table) override;
    void endParagraph(const ParaState& para, const CharState& markChars) override;
    void finish(const ParaState& para) override;

    // Hands the document to `take`, with the groups kept so far, each time it holds `paragraphs`
    // paragraphs or more that nothing later in the file can change, and empties it after. Once
    // `take` returns false the document is kept whole.
    using PartTaker =
        std::function<bool(const QTextDocument& document, const std::vector<KeptGroup>& kept)>;
    void handOverParts(int paragraphs, PartTaker take);

private:
    // Where a paragraph mark was read and nothing after it yet, the paragraphs before are
    // finished: a part is handed over there, before what follows is placed.
    void handOverIfDue();
    void beginContent();
    const QTextBlockFormat& blockFormatOf(const ParaState& para);
    void applyBlockFormat(const ParaState& para);
    void endList();
    // The paragraph is an item of a list from the list table.
    void applyListLevel(const ParaState& para, const ListLevel& level, QTextBlockFormat format);
    const QTextCharFormat& fieldFormat(const QTextCharFormat& format);
    // `format` carrying the fields with empty results that wait for content, which it takes.
    void takeEmptyFields(QTextCharFormat& format);
    // `format` carrying the hidden text read since the last content, which it takes.
    void takeHidden(QTextFormat& format);
    // The hidden text no content followed stays with the paragraph, before its mark.
    void hiddenToBlock();
    void placeTable(const Table& table, const TableGrid& grid);
    // Starts over in the empty paragraph the cursor is in, which follows a cell's or a table's
    // own mark.
    void startAfterFrameMark();
    void markListsInTheirTextsFormat();

    QTextDocument& m_document;
    const HeaderTables& m_header;
    CharFormats m_formats;
    const Extent m_extent;
    QTextCursor m_cursor;
    bool m_undoWasEnabled;
    bool m_breakPending = false;
    bool m_blockEmpty = true;
    // The current paragraph follows a cell's start or a table's end, whose mark also holds the
    // cell's or table's own format.
    bool m_afterFrameMark = false;
    QTextCharFormat m_lastChars; // the text last inserted, or the last empty paragraph's mark
    ParaState m_lastPara;
    QTextBlockFormat m_lastParaFormat; // m_lastPara's, once worked out
    int m_paraVersion = 0;             // counts the changes of m_lastParaFormat
    int m_blockFormatVersion = -1;     // the m_paraVersion whose format the current block has
    QTextList* m_list = nullptr;
    ListStyle m_listStyle = ListStyle::None;
    int m_listItems = 0; // paragraphs in m_list
    // Lists from the list table, by \ls: at each level, the QTextList its items join and how many
    // it holds. An item starts the levels below its own again.
    struct LevelList {
        QTextList* list = nullptr;
        int items = 0;
    };
    std::unordered_map<int, std::array<LevelList, ListTables::levels>> m_levelLists;
    // Counts for the numbers Qt's layout draws: what it learns of the lists read stays true, as
    // lists only grow at their ends.
    ListNumbers::Numbering m_numbering;
    int m_imageCount = 0;
    bool m_tablesPlaced = false;
    QString m_lastImageName; // the picture last inserted, at the size it shows
    QSizeF m_lastImageSize;
    std::vector<KeptGroup> m_kept;
    // The fields whose results are being read, innermost last: each one's number among the kept
    // groups and the address its text links to, if any.
    struct OpenField {
        int id = 0;
        QString link;
        int placed = 0; // m_placed when it opened
    };
    std::vector<OpenField> m_fields;
    int m_placed = 0;   // text runs and pictures inserted
    int m_sections = 0; // section breaks read
    // Fields that ended with an empty result, for the next text or picture to carry.
    QList<int> m_emptyFields;
    // Hidden text read since the last content, for the next text or picture to carry.
    QList<int> m_hidden;
    QTextCharFormat m_fieldBase; // the format fieldFormat() last worked from, and its result
    QTextCharFormat m_fieldFormat;
    // Tables being placed: their cells' paragraphs are read as the body's are. (Inside the edit
    // block the cursor does not know the frame it stands in.)
    int m_tablesOpen = 0;
    int m_partParagraphs = 0;
    PartTaker m_takePart;
};

} // namespace rtf
