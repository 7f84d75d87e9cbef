#include "model/ListNumbers.h"

#include "model/DocumentProperties.h"

#include <QHash>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <vector>

namespace ListNumbers {

namespace {

constexpr int noLevel = -1;

bool continues(const QTextList& list) {
    return list.format().boolProperty(DocumentProperty::ListContinues);
}

bool fromListTable(const QTextListFormat& format) {
    return format.hasProperty(DocumentProperty::ListId);
}

int levelOf(const QTextListFormat& format) {
    return fromListTable(format) ? format.intProperty(DocumentProperty::ListLevel) : noLevel;
}

bool isBullet(int style) {
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
           style == QTextListFormat::ListSquare;
}

// From `from` back: the last item of list `id` at `level` or a lower one. Lists of deeper levels
// are passed whole: each starts after the last item above it.
QTextBlock previousItem(QTextBlock from, int id, int level) {
    while (from.isValid()) {
        const QTextList* list = from.textList();
        if (!list) {
            from = from.previous();
            continue;
        }
        const QTextListFormat format = list->format();
        if (!fromListTable(format) || format.intProperty(DocumentProperty::ListId) != id) {
            from = from.previous();
            continue;
        }
        if (levelOf(format) <= level)
            return from;
        const QTextBlock first = list->item(0);
        from = first.position() < from.position() ? first.previous() : from.previous();
    }
    return {};
}

QString letters(int number, char16_t a) {
    QString text;
    for (; number > 0; number = (number - 1) / 26)
        text.prepend(QChar(char16_t(a + (number - 1) % 26)));
    return text;
}

QString roman(int number, bool upper) {
    static constexpr struct {
        int value;
        const char* text;
    } digits[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"},
                  {90, "xc"},  {50, "l"},   {40, "xl"}, {10, "x"},   {9, "ix"},
                  {5, "v"},    {4, "iv"},   {1, "i"}};
    QString text;
    for (const auto& digit : digits) {
        for (; number >= digit.value; number -= digit.value)
            text += QLatin1String(digit.text);
    }
    return upper ? text.toUpper() : text;
}

QString bulletText(int style) {
    switch (style) {
    case QTextListFormat::ListCircle:
        return QStringLiteral("\u25E6");
    case QTextListFormat::ListSquare:
        return QStringLiteral("\u25AA");
    default:
        return QStringLiteral("\u2022");
    }
}

// The legacy run's number text: Qt's own prefix and suffix around the number.
QString affixed(const QTextList& list, const QTextBlock& block, const QString& number) {
    const QTextListFormat format = list.format();
    const QString prefix = format.numberPrefix();
    const QString suffix = format.hasProperty(QTextFormat::ListNumberSuffix) ? format.numberSuffix()
                                                                             : QStringLiteral(".");
    return block.blockFormat().layoutDirection() == Qt::RightToLeft ? suffix + number + prefix
                                                                    : prefix + number + suffix;
}

} // namespace

QTextBlock itemBefore(const QTextList& list) {
    if (list.count() == 0)
        return {};
    const QTextListFormat format = list.format();
    const QTextBlock before = list.item(0).previous();
    if (!fromListTable(format)) {
        const QTextList* earlier = before.textList();
        if (!continues(list) || !earlier || earlier == &list ||
            earlier->format().style() != format.style() || fromListTable(earlier->format()))
            return {};
        return before;
    }
    const int level = levelOf(format);
    const QTextBlock found =
        previousItem(before, format.intProperty(DocumentProperty::ListId), level);
    if (!found.isValid() || levelOf(found.textList()->format()) != level)
        return {};
    return found;
}

int Numbering::itemsBefore(const QTextList& list) {
    // The lists the count goes back through, latest first, up to one whose start is known.
    std::vector<std::pair<const QTextList*, QTextBlock>> chain;
    int items = 0;
    for (const QTextList* current = &list;;) {
        if (const auto known = m_itemsBefore.constFind(current); known != m_itemsBefore.cend()) {
            items = *known;
            break;
        }
        const QTextBlock before = itemBefore(*current);
        const QTextList* earlier = before.textList();
        if (!earlier || earlier == current) {
            m_itemsBefore.insert(current, 0);
            break;
        }
        chain.emplace_back(current, before);
        current = earlier;
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const QTextList* earlier = it->second.textList();
        // Mostly the earlier list's last item, which needs no search.
        const int count = earlier->count();
        items +=
            earlier->item(count - 1) == it->second ? count : earlier->itemNumber(it->second) + 1;
        m_itemsBefore.insert(it->first, items);
    }
    return items;
}

int Numbering::itemNumber(const QTextBlock& block) {
    const QTextList* list = block.textList();
    if (!list)
        return 0;
    int number = list->itemNumber(block) + 1 + itemsBefore(*list);
    const QTextListFormat format = list->format();
    if (format.hasProperty(DocumentProperty::ListStart))
        number += format.intProperty(DocumentProperty::ListStart) - 1;
    return number;
}

int itemNumber(const QTextBlock& block) {
    return Numbering().itemNumber(block);
}

QString numberText(const QTextList& list, int number) {
    const QTextListFormat format = list.format();
    switch (format.style()) {
    case QTextListFormat::ListLowerAlpha:
    case QTextListFormat::ListUpperAlpha:
        if (number > 0)
            return letters(number, format.style() == QTextListFormat::ListLowerAlpha ? u'a' : u'A');
        break;
    case QTextListFormat::ListLowerRoman:
    case QTextListFormat::ListUpperRoman:
        if (number > 0 && number < 5000)
            return roman(number, format.style() == QTextListFormat::ListUpperRoman);
        break;
    default:
        break;
    }
    constexpr int decimalFromZeroOne = 22;
    if (format.intProperty(DocumentProperty::ListNumberFormat) == decimalFromZeroOne &&
        number >= 0 && number < 10)
        return QLatin1Char('0') + QString::number(number);
    return QString::number(number);
}

namespace {

// The text of an item of a list from a list table; `numberAt` and `numberLength` get where its
// own number is in it.
QString levelItemText(Numbering& numbering, const QTextList& list, const QTextBlock& block,
                      qsizetype* numberAt, qsizetype* numberLength) {
    const QTextListFormat format = list.format();
    const int level = levelOf(format);
    QString levelText = format.stringProperty(DocumentProperty::ListLevelText);
    if (!format.hasProperty(DocumentProperty::ListLevelText))
        levelText = QChar(char16_t(1 + level)) + QLatin1Char('.');
    const int id = format.intProperty(DocumentProperty::ListId);
    QString text;
    for (const QChar c : std::as_const(levelText)) {
        const int placeholder = c.unicode() - 1;
        if (placeholder < 0 || placeholder > 8) {
            text += c;
        } else if (placeholder == level) {
            const QString number = numberText(list, numbering.itemNumber(block));
            if (numberAt && numberLength) {
                *numberAt = text.size();
                *numberLength = number.size();
            }
            text += number;
        } else if (placeholder < level) {
            // The number of the item above at that level, in its own style. A deeper level's
            // has not started under this item, and shows nothing.
            const QTextBlock above = previousItem(block.previous(), id, placeholder);
            if (above.isValid() && levelOf(above.textList()->format()) == placeholder)
                text += numberText(*above.textList(), numbering.itemNumber(above));
        }
    }
    return text;
}

} // namespace

QString Numbering::itemText(const QTextBlock& block) {
    const QTextList* list = block.textList();
    if (!list)
        return QString();
    const QTextListFormat format = list->format();
    if (isBullet(format.style()))
        return bulletText(format.style());
    if (!fromListTable(format))
        return affixed(*list, block, numberText(*list, itemNumber(block)));
    return levelItemText(*this, *list, block, nullptr, nullptr);
}

QString itemText(const QTextBlock& block) {
    return Numbering().itemText(block);
}

void setQtAffixes(QTextList& list, Numbering& numbering) {
    if (list.count() == 0 || !fromListTable(list.format()) || isBullet(list.format().style()))
        return;
    qsizetype at = -1;
    qsizetype length = 0;
    const QString text = levelItemText(numbering, list, list.item(0), &at, &length);
    QTextListFormat format = list.format();
    format.setNumberPrefix(at < 0 ? text : text.first(at));
    format.setNumberSuffix(at < 0 ? QString() : text.sliced(at + length));
    list.setFormat(format);
}

bool hasRuns(const QTextDocument& document) {
    const QList<QTextFormat> formats = document.allFormats();
    return std::any_of(formats.begin(), formats.end(), [](const QTextFormat& format) {
        return format.isListFormat() && format.boolProperty(DocumentProperty::ListContinues);
    });
}

void joinRuns(QTextDocument& document, int maxItems) {
    if (!hasRuns(document))
        return;
    // The runs first: joining changes the lists being followed.
    // Lists of deeper levels may stand between two of a run.
    std::vector<std::vector<QTextList*>> runs;
    QHash<const QTextList*, size_t> runOf;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextList* list = block.textList();
        if (!list || list->item(0) != block)
            continue;
        const QTextList* before = continues(*list) ? itemBefore(*list).textList() : nullptr;
        const auto run = before ? runOf.constFind(before) : runOf.cend();
        if (run != runOf.cend() && runs[*run].back() == before) {
            runs[*run].push_back(list);
            runOf.insert(list, *run);
        } else {
            runOf.insert(list, runs.size());
            runs.push_back({list});
        }
    }
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const std::vector<QTextList*>& run : runs) {
        int items = 0;
        for (const QTextList* list : run)
            items += list->count();
        if (run.size() < 2 || items > maxItems)
            continue;
        QTextList* first = run.front();
        for (size_t i = 1; i < run.size(); ++i) {
            std::vector<QTextBlock> blocks;
            for (int item = 0; item < run[i]->count(); ++item)
                blocks.push_back(run[i]->item(item));
            for (const QTextBlock& block : blocks)
                first->add(block);
        }
    }
    cursor.endEditBlock();
}

void writeOutNumbers(QTextDocument& document) {
    // Every number first: they depend on the lists being taken apart.
    struct Item {
        QTextBlock block;
        QString text;
    };
    std::vector<Item> items;
    Numbering numbering;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (const QTextList* list = block.textList();
            list && list->format().style() != QTextListFormat::ListStyleUndefined)
            items.push_back({block, numbering.itemText(block)});
    }
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const Item& item : items) {
        QTextBlockFormat format = item.block.blockFormat();
        const qreal text = format.leftMargin() + format.textIndent();
        const qreal room = format.doubleProperty(DocumentProperty::ListMarkerRoom);
        format.setObjectIndex(-1);
        format.clearProperty(DocumentProperty::ListMarkerRoom);
        format.setTextIndent(format.textIndent() - room);
        // Tab stops are measured as the paragraph's others are.
        QList<QTextOption::Tab> tabs = format.tabPositions();
        const auto after = std::find_if(tabs.begin(), tabs.end(), [&](const QTextOption::Tab& tab) {
            return tab.position >= text;
        });
        if (room > 0 && (after == tabs.end() || after->position != text))
            tabs.insert(after, QTextOption::Tab(text, QTextOption::LeftTab));
        format.setTabPositions(tabs);
        QTextCursor at(item.block);
        at.setBlockFormat(format);
        QTextCharFormat chars = item.block.charFormat();
        if (const auto first = item.block.begin(); !first.atEnd())
            chars = first.fragment().charFormat();
        chars.clearProperty(DocumentProperty::FieldId);
        chars.clearProperty(DocumentProperty::FootnoteId);
        chars.clearProperty(DocumentProperty::EmptyFields);
        if (chars.isImageFormat())
            chars = item.block.charFormat();
        at.insertText(item.text + QLatin1Char('\t'), chars);
    }
    cursor.endEditBlock();
}

} // namespace ListNumbers
