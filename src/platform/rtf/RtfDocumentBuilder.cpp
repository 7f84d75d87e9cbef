#include "platform/rtf/RtfDocumentBuilder.h"

#include "platform/rtf/RtfPicture.h"
#include "platform/rtf/RtfStateWords.h"

#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextList>
#include <QUrl>

namespace rtf {

DocumentBuilder::DocumentBuilder(QTextDocument& document, const HeaderTables& header)
    : m_document(document), m_formats(header), m_undoWasEnabled(document.isUndoRedoEnabled()) {
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

void DocumentBuilder::appendText(const QString& text, const CharState& chars) {
    if (text.isEmpty())
        return;
    beginContent();
    m_cursor.insertText(text, m_formats.of(chars));
}

void DocumentBuilder::appendImage(const Picture& picture) {
    QImage image = decodePicture(picture);
    const QSizeF size = displaySize(picture, image);
    if (image.isNull())
        image = placeholderImage();
    const QString name = pictureName(++m_imageCount);
    m_document.addResource(QTextDocument::ImageResource, QUrl(name), QVariant(image));
    QTextImageFormat format;
    format.setName(name);
    format.setWidth(size.width());
    format.setHeight(size.height());
    if (picture.source.startsWith("{\\pict"))
        keepOriginalPicture(m_document, name, picture.source, size);
    beginContent();
    m_cursor.insertImage(format);
}

void DocumentBuilder::endParagraph(const ParaState& para, const CharState& markChars) {
    if (m_breakPending) {
        m_cursor.insertBlock();
        m_blockEmpty = true;
    }
    if (m_blockEmpty)
        m_cursor.setBlockCharFormat(m_formats.of(markChars));
    applyBlockFormat(para);
    m_breakPending = true;
    m_blockEmpty = true;
}

void DocumentBuilder::finish(const ParaState& para) {
    if (!m_breakPending)
        applyBlockFormat(para);
}

void DocumentBuilder::applyBlockFormat(const ParaState& para) {
    QTextBlockFormat format = blockFormatOf(para);
    if (para.list == ListStyle::None) {
        m_list = nullptr;
        m_listStyle = ListStyle::None;
        m_cursor.setBlockFormat(format);
        return;
    }
    // Consecutive paragraphs of one kind form one list; its indent comes from the paragraphs'
    // own left margins, so the list adds none.
    if (!m_list || m_listStyle != para.list) {
        m_cursor.setBlockFormat(format);
        QTextListFormat listFormat;
        listFormat.setStyle(para.list == ListStyle::Bullet ? QTextListFormat::ListDisc
                                                           : QTextListFormat::ListDecimal);
        listFormat.setIndent(0);
        m_list = m_cursor.createList(listFormat);
        m_listStyle = para.list;
        return;
    }
    format.setObjectIndex(m_list->objectIndex());
    m_cursor.setBlockFormat(format);
}

} // namespace rtf
