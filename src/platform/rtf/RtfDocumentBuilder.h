#pragma once

#include "platform/rtf/RtfCharFormats.h"
#include "platform/rtf/RtfContentSink.h"

#include <QTextBlockFormat>
#include <QTextCursor>

class QTextDocument;
class QTextList;

namespace rtf {

// Fills a document paragraph by paragraph, in one edit block with undo off. Formats come from
// the header the reader fills in as it goes.
class DocumentBuilder final : public ContentSink {
public:
    DocumentBuilder(QTextDocument& document, const HeaderTables& header);
    ~DocumentBuilder() override;
    DocumentBuilder(const DocumentBuilder&) = delete;
    DocumentBuilder& operator=(const DocumentBuilder&) = delete;

    void appendText(const QString& text, const CharState& chars) override;
    void appendImage(const Picture& picture) override;
    void endParagraph(const ParaState& para, const CharState& markChars) override;
    void finish(const ParaState& para) override;

private:
    void beginContent();
    void applyBlockFormat(const ParaState& para);

    QTextDocument& m_document;
    CharFormats m_formats;
    QTextCursor m_cursor;
    bool m_undoWasEnabled;
    bool m_breakPending = false;
    bool m_blockEmpty = true;
    QTextList* m_list = nullptr;
    ListStyle m_listStyle = ListStyle::None;
    int m_imageCount = 0;
};

} // namespace rtf
