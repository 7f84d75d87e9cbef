#include "pane/PaneParagraphs.h"

#include "model/DocumentProperties.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextList>

namespace PaneParagraphs {

Indents indentsOf(const QTextBlock& block) {
    const QTextBlockFormat format = block.blockFormat();
    const qreal markerRoom =
        block.textList() ? format.doubleProperty(DocumentProperty::ListMarkerRoom) : qreal(0);
    const qreal first = format.textIndent() - markerRoom;
    return {format.leftMargin() + first, -first};
}

void setIndents(QTextBlockFormat& format, bool inList, const Indents& indents) {
    const qreal left = indents.firstLine + indents.hanging;
    if (inList) {
        setListIndents(format, left, -indents.hanging);
        return;
    }
    format.setLeftMargin(left);
    format.setTextIndent(-indents.hanging);
    format.clearProperty(DocumentProperty::ListMarkerRoom);
}

void breakParagraph(QTextCursor& cursor) {
    // Enter in an empty list paragraph ends the list there instead, as in other word
    // processors: the paragraph leaves its list and stands where its number stood, with no
    // hanging indent. Every other Enter makes a paragraph, also in an empty paragraph (Qt's
    // widget would turn an empty paragraph back into a plain one and add none).
    if (!cursor.hasSelection() && cursor.block().length() == 1 && cursor.block().textList()) {
        cursor.beginEditBlock();
        const QTextBlock block = cursor.block();
        leaveList(block);
        QTextBlockFormat format = block.blockFormat();
        setIndents(format, false, {indentsOf(block).firstLine, 0});
        QTextCursor(block).setBlockFormat(format);
        cursor.endEditBlock();
        return;
    }
    const QTextBlockFormat paragraph = cursor.blockFormat();
    const QTextCharFormat characters = cursor.charFormat();
    cursor.beginEditBlock();
    cursor.insertBlock(paragraph, characters);
    // What stands at the paragraph's end (a section's end, a page break after it, the hidden
    // text of its mark) goes with the text after the caret; a page break before it stays with
    // the text before.
    const auto breaksAfter = paragraph.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter;
    if (paragraph.hasProperty(DocumentProperty::SectionEnd) || breaksAfter ||
        paragraph.hasProperty(DocumentProperty::HiddenText)) {
        QTextCursor before(cursor.block().previous());
        QTextBlockFormat format = before.blockFormat();
        format.clearProperty(DocumentProperty::SectionEnd);
        format.clearProperty(DocumentProperty::HiddenText);
        format.setPageBreakPolicy(format.pageBreakPolicy() & ~QTextFormat::PageBreak_AlwaysAfter);
        before.setBlockFormat(format);
    }
    if (paragraph.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore) {
        QTextBlockFormat format = cursor.blockFormat();
        format.setPageBreakPolicy(format.pageBreakPolicy() & ~QTextFormat::PageBreak_AlwaysBefore);
        cursor.setBlockFormat(format);
    }
    cursor.endEditBlock();
}

void leaveList(const QTextBlock& block) {
    QTextList* list = block.textList();
    if (!list)
        return;
    const Indents indents = indentsOf(block);
    list->remove(block);
    QTextBlockFormat format = block.blockFormat();
    format.setIndent(0);
    setIndents(format, false, indents);
    QTextCursor(block).setBlockFormat(format);
}

} // namespace PaneParagraphs
