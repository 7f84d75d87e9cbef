#pragma once

#include "platform/rtf/RtfGroupState.h"

#include <QTextBlockFormat>
#include <QTextCursor>

class QTextDocument;
class QTextList;
class QTextImageFormat;

namespace rtf {

// Fills a document paragraph by paragraph, in one edit block with undo off. A paragraph mark
// only takes effect once something follows it, so the mark that ends a file does not leave an
// empty paragraph behind.
class DocumentBuilder {
public:
    explicit DocumentBuilder(QTextDocument& document);
    ~DocumentBuilder();
    DocumentBuilder(const DocumentBuilder&) = delete;
    DocumentBuilder& operator=(const DocumentBuilder&) = delete;

    void appendText(const QString& text, const QTextCharFormat& format);
    void appendImage(const QTextImageFormat& format);
    // Ends the current paragraph with these formats; `markFormat` is kept for empty paragraphs.
    void endParagraph(const QTextBlockFormat& format, ListStyle list,
                      const QTextCharFormat& markFormat);
    // Gives the last paragraph its formats, unless a paragraph mark already ended it.
    void finish(const QTextBlockFormat& format, ListStyle list);

private:
    void beginContent();
    void applyBlockFormat(QTextBlockFormat format, ListStyle list);

    QTextDocument& m_document;
    QTextCursor m_cursor;
    bool m_undoWasEnabled;
    bool m_breakPending = false;
    bool m_blockEmpty = true;
    QTextList* m_list = nullptr;
    ListStyle m_listStyle = ListStyle::None;
};

} // namespace rtf
