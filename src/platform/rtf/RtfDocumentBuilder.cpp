#include "platform/rtf/RtfDocumentBuilder.h"

#include <QTextDocument>
#include <QTextList>

namespace rtf {

DocumentBuilder::DocumentBuilder(QTextDocument& document)
    : m_document(document), m_undoWasEnabled(document.isUndoRedoEnabled()) {
    m_document.setUndoRedoEnabled(false);
    m_document.clear();
    m_cursor = QTextCursor(&m_document);
    m_cursor.beginEditBlock();
}

DocumentBuilder::~DocumentBuilder() {
    m_cursor.endEditBlock();
    m_document.setUndoRedoEnabled(m_undoWasEnabled);
}

void DocumentBuilder::beginContent() {
    if (m_breakPending) {
        m_cursor.insertBlock();
        m_breakPending = false;
    }
    m_blockEmpty = false;
}

void DocumentBuilder::appendText(const QString& text, const QTextCharFormat& format) {
    if (text.isEmpty())
        return;
    beginContent();
    m_cursor.insertText(text, format);
}

void DocumentBuilder::appendImage(const QTextImageFormat& format) {
    beginContent();
    m_cursor.insertImage(format);
}

void DocumentBuilder::endParagraph(const QTextBlockFormat& format, ListStyle list,
                                   const QTextCharFormat& markFormat) {
    if (m_breakPending) {
        m_cursor.insertBlock();
        m_blockEmpty = true;
    }
    if (m_blockEmpty)
        m_cursor.setBlockCharFormat(markFormat);
    applyBlockFormat(format, list);
    m_breakPending = true;
    m_blockEmpty = true;
}

void DocumentBuilder::finish(const QTextBlockFormat& format, ListStyle list) {
    if (!m_breakPending)
        applyBlockFormat(format, list);
}

void DocumentBuilder::applyBlockFormat(QTextBlockFormat format, ListStyle list) {
    if (list == ListStyle::None) {
        m_list = nullptr;
        m_listStyle = ListStyle::None;
        m_cursor.setBlockFormat(format);
        return;
    }
    // Consecutive paragraphs of one kind form one list; its indent comes from the paragraphs'
    // own left margins, so the list adds none.
    if (!m_list || m_listStyle != list) {
        m_cursor.setBlockFormat(format);
        QTextListFormat listFormat;
        listFormat.setStyle(list == ListStyle::Bullet ? QTextListFormat::ListDisc
                                                      : QTextListFormat::ListDecimal);
        listFormat.setIndent(0);
        m_list = m_cursor.createList(listFormat);
        m_listStyle = list;
        return;
    }
    format.setObjectIndex(m_list->objectIndex());
    m_cursor.setBlockFormat(format);
}

} // namespace rtf
