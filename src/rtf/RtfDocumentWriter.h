#pragma once

#include "model/ListNumbers.h"
#include "rtf/RtfExtent.h"
#include "rtf/RtfFormatWords.h"
#include "rtf/RtfKeptGroups.h"
#include "rtf/RtfListTableWriter.h"
#include "rtf/RtfStateWords.h"
#include "rtf/RtfTableWriter.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>

#include <optional>
#include <string>
#include <vector>

namespace rtf {

// Writes a document as RTF, keeping the character formatting the stream is in so only changes
// are written. What the document keeps without showing (fields, footnotes, hidden text, the
// groups it does not read) is written by RtfKeptWriter.cpp.
class DocumentWriter final : public FrameOutput {
public:
    DocumentWriter(const QTextDocument& document, Extent extent)
        : m_document(document), m_extent(extent), m_kept(KeptGroups::load(document)) {
        m_out.reserve(size_t(document.characterCount()) * 2 + 1024);
    }
    QByteArray run();

    void paragraph(const QTextBlock& block, int level, bool sayLevel) override;
    void append(std::string_view rtf) override;
    void endParagraph(const QTextBlock& block) override;
    int colorIndex(QRgb rgb) const override { return m_colorIndex.value(rgb); }

private:
    void collectTables();
    void addFamily(const QString& family);
    void addColor(const QBrush& brush);
    QString familyOf(const QTextCharFormat& format) const;
    int halfPointsOf(const QTextCharFormat& format) const;
    void writeHeader();
    void writeSection(int section);
    void writeFontNameByte(char c, bool hex);
    // `again` for a paragraph whose format is said again after a field's end, without its number.
    void writeParagraphFormat(const QTextBlock& block, int level, bool sayLevel,
                              bool again = false);
    void writeListItem(const QTextBlock& block, const QTextList& list, bool again);
    void switchTo(int formatIndex, const QTextCharFormat& format);
    RunState runStateOf(const QTextCharFormat& format) const;
    void writeText(QStringView text);
    void writeUnicode(char16_t c);
    void writeImage(const QTextImageFormat& format);
    void addKeptTables(const KeptGroup& group);
    void writeKept(const KeptGroup& group);
    void writeFieldsOf(const QTextCharFormat& format, const QTextBlock& block);
    void closeFields(size_t count, const QTextBlock& block);
    void closeFieldsBeforeMark(const QTextBlock& block);
    bool inSameFrame(const QTextBlock& block, const QTextBlock& next) const;
    QStringView startRun(int formatIndex, const QTextCharFormat& format, QStringView text);
    // The fields with empty results the text of `format` carries, valid ones only.
    QList<int> emptyFieldsOf(const QTextCharFormat& format) const;
    void writeEmptyFields(const QTextCharFormat& format);
    // The hidden text a character or paragraph mark carries, valid groups only.
    QList<int> hiddenOf(const QTextFormat& format) const;
    void writeHidden(const QTextCharFormat& format);
    void word(const char* name);
    void word(const char* name, int value);
    void hexByte(unsigned char byte);

    const QTextDocument& m_document;
    const Extent m_extent;
    std::string m_out; // std::string appends inline, which the per-character path needs
    QStringList m_families;
    QHash<QString, int> m_familyIndex;
    QList<QRgb> m_colors;
    QHash<QRgb, int> m_colorIndex;
    ListTableWriter m_lists;
    ListNumbers::Numbering m_numbering;
    RunState m_state;
    std::vector<std::optional<RunState>> m_runStates; // by the document's format index
    // Fonts whose bytes mean Symbol characters (any spelling of the name), so text in them goes
    // as \u.
    QSet<int> m_symbolFonts;
    bool m_needSpace = false; // the last control word needs a delimiter before text
    QString m_defaultFamily;
    int m_defaultHalfPoints = 24;
    std::vector<KeptGroup> m_kept;
    QHash<QString, int> m_charsets; // fonts that kept groups use with a character set of their own
    // The fields open in the output, outermost first: each one's number, the character formats
    // when it opened, which its closing brace brings back, and the paragraph it opened in.
    struct OpenField {
        int id = 0;
        RunState state;
        int block = 0;
    };
    std::vector<OpenField> m_openFields;
    int m_lastFootnote = 0; // the footnote whose mark the last text written was
    // The empty fields the last text written carried: text typed after it carries them too.
    QList<int> m_lastEmptyFields;
    QList<int> m_lastHidden; // the same for hidden text
    // Hidden text written: a group is written once, where it first comes, though a paragraph
    // split by Enter or text copied within the document carries it twice.
    QHash<int, bool> m_hiddenWritten;
    QSet<int> m_sectionsWritten; // sections whose headers and footers are written
    bool m_hasFrames = false;    // the document holds tables
    int m_level = 0;             // how many tables deep the paragraph being written is
    bool m_sayLevel = false;
};

} // namespace rtf
