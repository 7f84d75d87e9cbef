#include "pane/HtmlTagReader.h"

#include <utility>

namespace {
// Qt's reader skips all white space but a paragraph separator between the parts of a tag.
bool isSpace(QChar c) {
    return c.isSpace() && c != QChar::ParagraphSeparator;
}
} // namespace

HtmlTag HtmlTagReader::tag(qsizetype start, bool wantAttributes) {
    HtmlTag tag;
    pos_ = start + 1;
    eatSpace();
    if (at(u'!')) {
        tag.declaration = true;
        ++pos_;
        if (at(u'-') && pos_ + 1 < s_.size() && s_[pos_ + 1] == u'-') {
            const qsizetype end = s_.indexOf(QLatin1String("-->"), pos_ + 2);
            tag.end = end < 0 ? s_.size() : end + 3;
        } else {
            skipPast(u'>');
            tag.end = pos_;
        }
        return tag;
    }
    if (at(u'/')) {
        tag.closing = true;
        ++pos_;
        tag.name = word(true).toLower().trimmed();
        skipPast(u'>');
        tag.end = pos_;
        return tag;
    }
    tag.name = word(true).toLower();
    if (pos_ < s_.size() && s_[pos_].isSpace())
        readAttributes(tag, wantAttributes);
    while (pos_ < s_.size() && s_[pos_] != u'>') {
        if (s_[pos_] == u'/')
            tag.selfClosed = true;
        ++pos_;
    }
    tag.end = qMin(pos_ + 1, s_.size());
    return tag;
}

void HtmlTagReader::eatSpace() {
    while (pos_ < s_.size() && isSpace(s_[pos_]))
        ++pos_;
}

void HtmlTagReader::skipPast(QChar c) {
    const qsizetype found = s_.indexOf(c, pos_);
    pos_ = found < 0 ? s_.size() : found + 1;
}

QString HtmlTagReader::value(const HtmlAttribute& attribute) {
    if (attribute.valueStart < 0)
        return QStringLiteral("1");
    pos_ = attribute.valueStart;
    return word(true);
}

void HtmlTagReader::readAttributes(HtmlTag& tag, bool keep) {
    while (pos_ < s_.size()) {
        eatSpace();
        if (at(u'>') || at(u'/'))
            break;
        const qsizetype keyStart = pos_;
        QString key = word(keep).toLower();
        if (pos_ == keyStart)
            break;
        HtmlAttribute attribute{std::move(key)};
        eatSpace();
        if (at(u'=')) {
            ++pos_;
            eatSpace();
            attribute.valueStart = pos_;
            word(false);
            attribute.valueEnd = pos_;
            if (attribute.valueEnd == attribute.valueStart)
                continue;
            if (attribute.valueEnd - attribute.valueStart > longValue_)
                tag.longAttribute = true;
        }
        if (keep)
            tag.attributes.push_back(std::move(attribute));
    }
}

QString HtmlTagReader::word(bool keep) {
    QString word;
    if (at(u'"')) {
        ++pos_;
        while (pos_ < s_.size()) {
            const QChar c = s_[pos_++];
            if (c == u'"')
                break;
            append(word, c, keep);
        }
    } else if (at(u'\'')) {
        ++pos_;
        while (pos_ < s_.size()) {
            const QChar c = s_[pos_++];
            if (c == u'\'' && s_[pos_ - 2] != u'\\')
                break;
            if (keep)
                word += c;
        }
    } else {
        while (pos_ < s_.size()) {
            const QChar c = s_[pos_++];
            if (c == u'>' || (c == u'/' && at(u'>')) || c == u'<' || c == u'=' || c.isSpace()) {
                --pos_;
                break;
            }
            append(word, c, keep);
        }
    }
    return word;
}

void HtmlTagReader::append(QString& word, QChar c, bool keep) {
    if (c != u'&') {
        if (keep)
            word += c;
        return;
    }
    // As Qt: up to nine characters and a ';', else the '&' alone.
    const qsizetype semicolon = s_.mid(pos_, 10).indexOf(u';');
    if (semicolon > 1 && s_[pos_] == u'#') {
        QStringView number = s_.mid(pos_ + 1, semicolon - 1);
        int base = 10;
        if (number.startsWith(u'x') || number.startsWith(u'X')) {
            number = number.mid(1);
            base = 16;
        }
        bool ok = false;
        const uint code = number.toUInt(&ok, base);
        if (ok && !number.contains(u' ')) {
            pos_ += semicolon + 1;
            if (keep)
                word += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
            return;
        }
    }
    if (semicolon > 1) {
        static const std::pair<const char*, QChar> named[] = {
            {"amp", u'&'},  {"lt", u'<'},    {"gt", u'>'},
            {"quot", u'"'}, {"apos", u'\''}, {"nbsp", QChar(0xA0)}};
        const QStringView entity = s_.mid(pos_, semicolon);
        for (const auto& [text, character] : named) {
            if (entity == QLatin1String(text)) {
                pos_ += semicolon + 1;
                if (keep)
                    word += character;
                return;
            }
        }
    }
    if (keep)
        word += c;
}
