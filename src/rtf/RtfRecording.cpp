#include "rtf/RtfRecording.h"

namespace rtf {

void Recording::appendText(const QString& text, const CharState& chars) {
    m_items.push_back({Item::Kind::Text, text, chars, {}, {}, {}});
}

void Recording::appendImage(const Picture& picture) {
    m_items.push_back({Item::Kind::Image, {}, {}, {}, picture, {}});
}

void Recording::attachObject(QByteArrayView group) {
    m_items.push_back({Item::Kind::Object, {}, {}, {}, {}, group});
}

void Recording::appendFootnoteNumber(const CharState& chars) {
    m_items.push_back({Item::Kind::FootnoteNumber, {}, chars, {}, {}, {}});
}

void Recording::endParagraph(const ParaState& para, const CharState& markChars) {
    m_items.push_back({Item::Kind::ParagraphEnd, {}, markChars, para, {}, {}});
}

void Recording::replay(ContentSink& sink) const {
    for (const Item& item : m_items) {
        switch (item.kind) {
        case Item::Kind::Text:
            sink.appendText(item.text, item.chars);
            break;
        case Item::Kind::Image:
            sink.appendImage(item.picture);
            break;
        case Item::Kind::Object:
            sink.attachObject(item.object);
            break;
        case Item::Kind::ParagraphEnd:
            sink.endParagraph(item.para, item.chars);
            break;
        case Item::Kind::FootnoteNumber:
            sink.appendFootnoteNumber(item.chars);
            break;
        }
    }
}

} // namespace rtf
