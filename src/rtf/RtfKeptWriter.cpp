#include "rtf/RtfDocumentWriter.h"

#include "model/DocumentProperties.h"
#include "rtf/RtfKeptGroups.h"

#include <QTextCursor>
#include <QTextFragment>
#include <QTextFrame>

#include <algorithm>
#include <utility>

namespace rtf {

void DocumentWriter::addKeptTables(const KeptGroup& group) {
    for (const KeptGroup::Font& font : group.fonts) {
        addFamily(font.name);
        // The body's text may be in the same font, written as letters: a symbol character set
        // would read them as symbols. (Fonts named Symbol are symbol fonts here anyway.)
        if (const int charset = KeptGroups::charsetOf(font.codePage); charset && charset != 2)
            m_charsets.insert(font.name, charset);
    }
    for (const KeptGroup::Color& color : group.colors)
        addColor(QColor(color.rgb));
}

void DocumentWriter::writeKept(const KeptGroup& group) {
    const QByteArray bytes =
        group.rewritten([&](const QString& name, int) { return m_familyIndex.value(name); },
                        [&](QRgb rgb) { return m_colorIndex.value(rgb); });
    m_out.append(bytes.constData(), size_t(bytes.size()));
    m_needSpace = false;
}

void DocumentWriter::closeFields(size_t count, const QTextBlock& block) {
    bool paragraphInside = false;
    for (; count > 0 && !m_openFields.empty(); --count) {
        m_out.append("}}");
        m_state = m_openFields.back().state;
        paragraphInside = paragraphInside || m_openFields.back().block != block.blockNumber();
        m_openFields.pop_back();
        m_needSpace = false;
    }
    // A field that holds paragraph marks was open when this paragraph's format was written; its
    // closing brace undid that, and the mark would take the format from before the field.
    if (paragraphInside && block.isValid())
        writeParagraphFormat(block, m_level, m_sayLevel, true);
}

void DocumentWriter::writeFieldsOf(const QTextCharFormat& format, const QTextBlock& block) {
    const std::vector<int> path = KeptGroups::fieldPath(m_kept, format);
    if (path.empty() && m_openFields.empty())
        return;
    size_t shared = 0;
    while (shared < path.size() && shared < m_openFields.size() &&
           path[shared] == m_openFields[shared].id)
        ++shared;
    closeFields(m_openFields.size() - shared, block);
    for (size_t i = shared; i < path.size(); ++i) {
        m_openFields.push_back({path[i], m_state, block.blockNumber()});
        writeKept(m_kept[size_t(path[i]) - 1]);
        m_out.append("{\\fldrslt ");
    }
}

QList<int> DocumentWriter::emptyFieldsOf(const QTextCharFormat& format) const {
    QList<int> fields = format.property(DocumentProperty::EmptyFields).value<QList<int>>();
    fields.removeIf([this](int id) {
        return id <= 0 || size_t(id) > m_kept.size() ||
               m_kept[size_t(id) - 1].kind != KeptGroup::Kind::Field;
    });
    return fields;
}

void DocumentWriter::writeEmptyFields(const QTextCharFormat& format) {
    const QList<int> fields = format.property(DocumentProperty::EmptyFields).value<QList<int>>();
    // Compared element by element: Qt's list comparison hands memcmp a null pointer when one
    // of two empty lists was never allocated.
    if (std::ranges::equal(fields, m_lastEmptyFields))
        return;
    m_lastEmptyFields = fields;
    for (const int id : emptyFieldsOf(format)) {
        writeKept(m_kept[size_t(id) - 1]);
        m_out.append("{\\fldrslt }}");
        m_needSpace = false;
    }
}

QList<int> DocumentWriter::hiddenOf(const QTextFormat& format) const {
    QList<int> groups = format.property(DocumentProperty::HiddenText).value<QList<int>>();
    groups.removeIf([this](int id) {
        return id <= 0 || size_t(id) > m_kept.size() ||
               m_kept[size_t(id) - 1].kind != KeptGroup::Kind::Hidden;
    });
    return groups;
}

void DocumentWriter::writeHidden(const QTextCharFormat& format) {
    // Text typed after a character that carries hidden text takes its format, and so the same
    // groups: they are written once.
    const QList<int> groups = hiddenOf(format);
    if (std::ranges::equal(groups, m_lastHidden))
        return;
    m_lastHidden = groups;
    for (const int id : groups) {
        if (!std::exchange(m_hiddenWritten[id], true))
            writeKept(m_kept[size_t(id) - 1]);
    }
}

bool DocumentWriter::inSameFrame(const QTextBlock& block, const QTextBlock& next) const {
    return !m_hasFrames || !next.isValid() ||
           QTextCursor(block).currentFrame() == QTextCursor(next).currentFrame();
}

void DocumentWriter::closeFieldsBeforeMark(const QTextBlock& block) {
    if (m_openFields.empty())
        return;
    // The paragraph mark is in the fields that go on in the text after it; empty paragraphs
    // between are looked past, as far as a real document has them, but not a table's edge,
    // which ends every field.
    std::vector<int> next;
    QTextBlock after = block.next();
    for (int i = 0; i < 64 && after.isValid() && inSameFrame(block, after);
         ++i, after = after.next()) {
        if (const auto it = after.begin(); !it.atEnd()) {
            next = KeptGroups::fieldPath(m_kept, it.fragment().charFormat());
            break;
        }
    }
    size_t shared = 0;
    while (shared < next.size() && shared < m_openFields.size() &&
           next[shared] == m_openFields[shared].id)
        ++shared;
    closeFields(m_openFields.size() - shared, block);
}

// Switches to the format of a run of `text`, and writes the footnote whose mark starts it; returns
// what is left to write.
QStringView DocumentWriter::startRun(int formatIndex, const QTextCharFormat& format,
                                     QStringView text) {
    const int note = format.intProperty(DocumentProperty::FootnoteId);
    if (note <= 0 || size_t(note) > m_kept.size() || note == m_lastFootnote) {
        m_lastFootnote = note;
        switchTo(formatIndex, format);
        return text;
    }
    m_lastFootnote = note;
    const KeptGroup& footnote = m_kept[size_t(note) - 1];
    qsizetype markLength = 0;
    if (footnote.numbered) {
        // The number the document gives the footnote, raised in a group of its own as writers
        // do, so that no reader has to know the word that lowers text again.
        while (markLength < text.size() && text[markLength].isDigit())
            ++markLength;
        QTextCharFormat level = format;
        level.clearProperty(QTextFormat::TextVerticalAlignment);
        switchTo(-1, level);
        const auto vertical = format.verticalAlignment();
        m_out.append(vertical == QTextCharFormat::AlignSuperScript ? "{\\super"
                     : vertical == QTextCharFormat::AlignSubScript ? "{\\sub"
                                                                   : "{");
        m_out.append("\\chftn}");
        m_needSpace = false;
        if (markLength < text.size())
            switchTo(formatIndex, format);
    } else {
        // The character the file had as the mark.
        switchTo(formatIndex, format);
        markLength = std::min<qsizetype>(1, text.size());
        writeText(text.first(markLength));
    }
    writeKept(footnote);
    return text.sliced(markLength);
}

} // namespace rtf
