#include "rtf/RtfListTableWriter.h"

#include "model/DocumentProperties.h"
#include "model/ListNumbers.h"

#include <QTextBlock>
#include <QTextList>

namespace rtf {

namespace {

constexpr int bulletFormat = 23;
// Where the list table's numbers start: any will do, as long as each list has its own.
constexpr int firstListId = 1000;

int numberFormatOf(const QTextListFormat& format) {
    if (format.hasProperty(DocumentProperty::ListNumberFormat))
        return format.intProperty(DocumentProperty::ListNumberFormat);
    switch (format.style()) {
    case QTextListFormat::ListUpperRoman:
        return 1;
    case QTextListFormat::ListLowerRoman:
        return 2;
    case QTextListFormat::ListUpperAlpha:
        return 3;
    case QTextListFormat::ListLowerAlpha:
        return 4;
    case QTextListFormat::ListDisc:
    case QTextListFormat::ListCircle:
    case QTextListFormat::ListSquare:
        return bulletFormat;
    default:
        return 0;
    }
}

QString bulletTextOf(QTextListFormat::Style style) {
    switch (style) {
    case QTextListFormat::ListCircle:
        return QStringLiteral("o");
    case QTextListFormat::ListSquare:
        return QStringLiteral("\u25AA");
    default:
        return QStringLiteral("\u2022");
    }
}

void appendHex(std::string& out, int byte) {
    static constexpr char digits[] = "0123456789abcdef";
    out.append("\\'");
    out.push_back(digits[(byte >> 4) & 15]);
    out.push_back(digits[byte & 15]);
}

} // namespace

void appendRtfText(std::string& out, QStringView text) {
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c >= 0x20 && c < 0x7F) {
            if (c == u'\\' || c == u'{' || c == u'}')
                out.push_back('\\');
            out.push_back(char(c));
        } else if (c >= 0x20) {
            out.append("\\u").append(std::to_string(c > 0x7FFF ? int(c) - 0x10000 : int(c)));
            out.push_back('?');
        }
    }
}

void ListTableWriter::collect(const QTextBlock& block) {
    const QTextList* list = block.textList();
    if (!list || m_items.contains(list) ||
        list->format().style() == QTextListFormat::ListStyleUndefined)
        return;
    const QTextListFormat format = list->format();
    Item item;
    if (format.hasProperty(DocumentProperty::ListId)) {
        const int id = format.intProperty(DocumentProperty::ListId);
        if (!m_listOfId.contains(id))
            m_listOfId.insert(id, add());
        item = {m_listOfId.value(id),
                std::clamp(format.intProperty(DocumentProperty::ListLevel), 0, levels - 1)};
    } else if (numberFormatOf(format) == bulletFormat) {
        if (!m_bullets)
            m_bullets = add();
        item = {m_bullets, 0};
    } else if (const QTextList* before = ListNumbers::itemBefore(*list).textList();
               before && m_items.contains(before)) {
        item = m_items.value(before);
    } else {
        item = {add(), 0};
    }
    m_items.insert(list, item);
    describe(*list, item);
}

int ListTableWriter::add() {
    m_lists.emplace_back();
    return int(m_lists.size());
}

void ListTableWriter::describe(const QTextList& list, Item item) {
    Level& level = m_lists[size_t(item.list) - 1].described[size_t(item.level)];
    if (level.given)
        return;
    const QTextListFormat format = list.format();
    level.given = true;
    level.numberFormat = numberFormatOf(format);
    level.start = format.hasProperty(DocumentProperty::ListStart)
                      ? format.intProperty(DocumentProperty::ListStart)
                      : 1;
    const QChar placeholder(char16_t(1 + item.level));
    if (level.numberFormat == bulletFormat) {
        level.text = bulletTextOf(format.style());
    } else if (format.hasProperty(DocumentProperty::ListLevelText)) {
        level.text = format.stringProperty(DocumentProperty::ListLevelText);
    } else {
        const QString suffix = format.hasProperty(QTextFormat::ListNumberSuffix)
                                   ? format.numberSuffix()
                                   : QStringLiteral(".");
        level.text = format.numberPrefix() + placeholder + suffix;
    }
}

std::string ListTableWriter::tables() const {
    if (m_lists.empty())
        return {};
    std::string out = "{\\*\\listtable";
    for (size_t i = 0; i < m_lists.size(); ++i) {
        out.append("\r\n{\\list\\listtemplateid").append(std::to_string(firstListId + i));
        for (int index = 0; index < levels; ++index) {
            Level level = m_lists[i].described[size_t(index)];
            if (!level.given)
                level.text = QChar(char16_t(1 + index)) + QStringLiteral(".");
            out.append("{\\listlevel\\levelnfc").append(std::to_string(level.numberFormat));
            out.append("\\levelnfcn").append(std::to_string(level.numberFormat));
            out.append("\\leveljc0\\levelfollow0\\levelstartat");
            out.append(std::to_string(level.start));
            std::string numbers;
            std::string text;
            for (qsizetype at = 0; at < level.text.size(); ++at) {
                const char16_t c = level.text[at].unicode();
                if (c >= 1 && c <= levels) {
                    appendHex(text, c - 1);
                    appendHex(numbers, int(at) + 1);
                } else {
                    appendRtfText(text, QStringView(level.text).sliced(at, 1));
                }
            }
            out.append("{\\leveltext");
            appendHex(out, int(std::min<qsizetype>(level.text.size(), 255)));
            out.append(text).append(";}{\\levelnumbers").append(numbers).append(";}}");
        }
        out.append("\\listid").append(std::to_string(firstListId + i)).append("}");
    }
    out.append("}\r\n{\\*\\listoverridetable");
    for (size_t i = 0; i < m_lists.size(); ++i) {
        out.append("{\\listoverride\\listid").append(std::to_string(firstListId + i));
        out.append("\\listoverridecount0\\ls").append(std::to_string(i + 1)).append("}");
    }
    out.append("}\r\n");
    return out;
}

} // namespace rtf
