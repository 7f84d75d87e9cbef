#pragma once

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

#include <vector>

namespace rtf {

// Deeper groups share the state of the deepest one kept: no real file nests this far, and a
// hostile one must not cost memory per brace.
constexpr size_t maxKeptDepth = 2048;
constexpr int maxUnicodeSkip = 16;
// Default stops closer than this are damage: a line of nothing but stops.
constexpr int minDefaultTab = 36;

// The tokenizer's listener: it keeps the groups' states and hands each token to the part of the
// reader its destination belongs to; the body's text and paragraphs it reads itself.
class DocumentReader final : public TokenListener, private ReadingContext {
public:
    DocumentReader(ContentSink& sink, HeaderTables& header, const Tokenizer& tokenizer);

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
    void noteHidden(qsizetype from, qsizetype to) override;
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

} // namespace rtf
