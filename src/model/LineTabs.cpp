#include "model/LineTabs.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>

#include <algorithm>
#include <cmath>

namespace LineTabs {

namespace {
// Qt's own default distance between stops, when a document names none.
constexpr qreal qtDefaultDistance = 80;
// A line no wider than this holds all the default stops spelt out; Qt places any further ones.
constexpr int maxDefaultStops = 512;
// How far the default stops are spelt out when the page has no width: 22 inches.
constexpr qreal unknownReach = 96 * 22;

qreal listIndentOf(const QTextDocument& document, const QTextBlock& block) {
    const QTextBlockFormat format = block.blockFormat();
    qreal indent = format.indent();
    if (const QTextList* list = block.textList())
        indent += list->format().indent();
    return indent * document.indentWidth();
}

qreal reachOf(const QTextDocument& document) {
    const qreal width = document.pageSize().width();
    return width > 0 && width < unknownReach * 16 ? width : unknownReach;
}

// Gives the paragraph `stops` unless it has them already.
void setStops(QTextCursor& cursor, const QTextBlock& block, const QList<QTextOption::Tab>& stops) {
    if (block.blockFormat().tabPositions() == stops)
        return;
    cursor.setPosition(block.position());
    QTextBlockFormat format;
    format.setTabPositions(stops);
    cursor.mergeBlockFormat(format);
}
} // namespace

Origins originsOf(const QTextBlockFormat& format, Qt::LayoutDirection direction, qreal listIndent) {
    const qreal margin =
        (direction == Qt::RightToLeft ? format.rightMargin() : format.leftMargin()) + listIndent;
    return {margin + format.textIndent(), margin};
}

QList<QTextOption::Tab> fromLineStart(const QList<QTextOption::Tab>& stops, qreal origin,
                                      qreal defaultDistance, qreal reach) {
    QList<QTextOption::Tab> sorted = stops;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const QTextOption::Tab& a, const QTextOption::Tab& b) {
                         return a.position < b.position;
                     });
    QList<QTextOption::Tab> result;
    qreal last = origin;
    for (QTextOption::Tab stop : sorted) {
        last = std::max(last, stop.position);
        // A stop at or before the line's start is one the line never reaches.
        if (stop.position <= origin)
            continue;
        stop.position -= origin;
        result.append(stop);
    }
    const qreal distance = defaultDistance > 0 ? defaultDistance : qtDefaultDistance;
    // Qt's own default stops are right when the line starts on one of them.
    const qreal offset = std::fmod(origin, distance);
    if (std::abs(offset) < 1e-6 || std::abs(std::abs(offset) - distance) < 1e-6)
        return result;
    qreal next = (std::floor(last / distance) + 1) * distance;
    for (int count = 0; count < maxDefaultStops && next - origin <= reach; ++count) {
        result.append(QTextOption::Tab(next - origin, QTextOption::LeftTab));
        next += distance;
    }
    return result;
}

bool othersDecide(const QString& text, int firstLineEnd) {
    const QStringView first = QStringView(text).left(firstLineEnd);
    return !first.contains(u'\t') && text.indexOf(u'\t', firstLineEnd) >= 0;
}

void measureFromLineStarts(QTextDocument& document) {
    const qreal distance = document.defaultTextOption().tabStopDistance();
    const qreal reach = reachOf(document);
    struct Paragraph {
        QTextBlock block;
        QList<QTextOption::Tab> stops; // from the margin
        Origins origins;
    };
    std::vector<Paragraph> withTabs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!block.text().contains(u'\t'))
            continue;
        withTabs.push_back(
            {block, block.blockFormat().tabPositions(),
             originsOf(block.blockFormat(), block.textDirection(), listIndentOf(document, block))});
    }
    if (withTabs.empty())
        return;
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (const Paragraph& paragraph : withTabs) {
        setStops(cursor, paragraph.block,
                 fromLineStart(paragraph.stops, paragraph.origins.first, distance, reach));
    }
    cursor.endEditBlock();

    // Where the first line ends is known once the copy is laid out.
    bool laidOut = false;
    bool editing = false;
    for (const Paragraph& paragraph : withTabs) {
        if (paragraph.origins.first == paragraph.origins.others)
            continue;
        if (!laidOut) {
            (void)document.pageCount();
            laidOut = true;
        }
        const QTextLayout* layout = paragraph.block.layout();
        if (!layout || layout->lineCount() < 2)
            continue;
        const QTextLine first = layout->lineAt(0);
        if (!othersDecide(paragraph.block.text(), first.textStart() + first.textLength()))
            continue;
        if (!editing) {
            cursor.beginEditBlock();
            editing = true;
        }
        setStops(cursor, paragraph.block,
                 fromLineStart(paragraph.stops, paragraph.origins.others, distance, reach));
    }
    if (editing)
        cursor.endEditBlock();
}

} // namespace LineTabs
