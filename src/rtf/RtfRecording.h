#pragma once

#include "pictures/RtfPicture.h"
#include "rtf/RtfContentSink.h"

#include <vector>

namespace rtf {

// Content kept aside to be placed later: a list number that only counts when its paragraph
// turns out not to be in a list.
class Recording final : public ContentSink {
public:
    void appendText(const QString& text, const CharState& chars) override;
    void appendImage(const Picture& picture) override;
    void attachObject(QByteArrayView group) override;
    void appendFootnoteNumber(const CharState& chars) override;
    void endParagraph(const ParaState& para, const CharState& markChars) override;
    void finish(const ParaState&) override {}

    bool isEmpty() const { return m_items.empty(); }
    void replay(ContentSink& sink) const;
    void clear() { m_items.clear(); }

private:
    struct Item {
        enum class Kind { Text, Image, Object, ParagraphEnd, FootnoteNumber } kind;
        QString text;
        CharState chars;
        ParaState para;
        Picture picture;
        QByteArrayView object; // an object's group, which lives as long as the file's data
    };
    std::vector<Item> m_items;
};

} // namespace rtf
