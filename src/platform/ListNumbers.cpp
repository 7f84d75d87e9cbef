#include "platform/ListNumbers.h"

#include "platform/DocumentProperties.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>

#include <algorithm>
#include <vector>

namespace ListNumbers {

namespace {

bool continues(const QTextList& list) {
    return list.format().boolProperty(DocumentProperty::ListContinues);
}

// The list `list` goes on from, if any.
QTextList* listBefore(const QTextList& list) {
    if (!continues(list) || list.count() == 0)
        return nullptr;
    QTextList* before = list.item(0).previous().textList();
    if (!before || before == &list || before->format().style() != list.format().style())
        return nullptr;
    return before;
}

} // namespace

int itemNumber(const QTextBlock& block) {
    const QTextList* list = block.textList();
    if (!list)
        return 0;
    int number = list->itemNumber(block) + 1;
    for (const QTextList* before = listBefore(*list); before; before = listBefore(*before))
        number += before->count();
    return number;
}

QString itemText(const QTextBlock& block) {
    const QTextList* list = block.textList();
    if (!list)
        return QString();
    const QTextListFormat format = list->format();
    if (format.style() != QTextListFormat::ListDecimal || !continues(*list))
        return list->itemText(block);
    const QString prefix = format.numberPrefix();
    const QString suffix = format.hasProperty(QTextFormat::ListNumberSuffix) ? format.numberSuffix()
                                                                             : QStringLiteral(".");
    const QString number = QString::number(itemNumber(block));
    return block.blockFormat().layoutDirection() == Qt::RightToLeft ? suffix + number + prefix
                                                                    : prefix + number + suffix;
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
    std::vector<std::vector<QTextList*>> runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextList* list = block.textList();
        if (!list || list->item(0) != block)
            continue;
        QTextList* before = listBefore(*list);
        if (before && !runs.empty() && runs.back().back() == before)
            runs.back().push_back(list);
        else
            runs.push_back({list});
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

} // namespace ListNumbers
