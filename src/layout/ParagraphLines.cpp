#include "layout/ParagraphLines.h"

#include "model/LineTabs.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>
#include <QTextTable>
#include <QtMath>

namespace ParagraphLines {

namespace {
constexpr QChar frameStart(0xFDD0);
constexpr QChar frameEnd(0xFDD1);
// About this many characters go into a piece: a few screens of text.
constexpr int pieceLength = 8192;
// A piece ends after a space when there is one this close before its length is reached.
constexpr int spaceSearch = 64;
} // namespace

int pieceEnd(const QTextDocument& document, int blockPosition, int from, int to) {
    int end = qMin(to, from + pieceLength);
    if (end >= to)
        return end;
    // After a space if there is one near, so that no word is cut; never inside a pair of
    // surrogates.
    for (int at = end; at > end - spaceSearch; --at) {
        if (document.characterAt(blockPosition + at - 1).isSpace()) {
            end = at;
            break;
        }
    }
    if (document.characterAt(blockPosition + end - 1).isHighSurrogate())
        --end;
    return end;
}

Qt::Alignment visualAlignment(Qt::LayoutDirection direction, Qt::Alignment alignment) {
    if (!(alignment & Qt::AlignHorizontal_Mask))
        alignment |= Qt::AlignLeft;
    if (!(alignment & Qt::AlignAbsolute) && (alignment & (Qt::AlignLeft | Qt::AlignRight))) {
        if (direction == Qt::RightToLeft)
            alignment ^= (Qt::AlignLeft | Qt::AlignRight);
        alignment |= Qt::AlignAbsolute;
    }
    return alignment;
}

Margins marginsOf(const QTextBlockFormat& format, qreal scale) {
    // Space above and below grows with the device's resolution; side margins stay as given.
    return {format.topMargin() * scale, format.bottomMargin() * scale};
}

bool followsTable(const QTextBlock& block) {
    const int position = block.position();
    return position > 0 && block.document()->characterAt(position - 1) == frameEnd;
}

bool hiddenBeforeTable(const QTextBlock& block) {
    if (block.length() != 1 || block.document()->characterAt(block.position()) != frameStart)
        return false;
    const QTextBlockFormat format = block.blockFormat();
    if (format.hasProperty(QTextFormat::BlockTrailingHorizontalRulerWidth) ||
        format.hasProperty(QTextFormat::BackgroundBrush))
        return false;
    // A cell's mark is a frame's start too; a table's own start is its first position's mark.
    const QTextBlock next = block.next();
    const auto* table = qobject_cast<const QTextTable*>(QTextCursor(next).currentFrame());
    return table && table->firstPosition() == next.position();
}

bool hiddenAfterTable(const QTextBlock& block) {
    return block.length() == 1 && followsTable(block);
}

qreal layOut(QTextLayout& layout, const QString& text, const QTextBlockFormat& format,
             Qt::LayoutDirection direction, bool firstPiece, const Settings& settings, qreal width,
             qreal& widest, const Paging* paging) {
    const bool rightToLeft = direction == Qt::RightToLeft;
    QTextOption option = settings.option;
    option.setTextDirection(direction);
    Qt::Alignment alignment = settings.option.alignment();
    if (format.hasProperty(QTextFormat::BlockAlignment))
        alignment = format.alignment();
    option.setAlignment(visualAlignment(direction, alignment));
    if (format.nonBreakableLines())
        option.setWrapMode(QTextOption::ManualWrap);
    const bool wordOrAnywhere = option.wrapMode() == QTextOption::WrapAtWordBoundaryOrAnywhere;

    const QTextDocument* document = settings.document;
    const qreal scale = settings.scale;
    qreal indent = format.indent();
    if (const QTextObject* list = document->objectForFormat(format))
        indent += list->format().toListFormat().indent();
    indent *= scale * document->indentWidth();
    const qreal leftMargin = format.leftMargin() + (rightToLeft ? 0 : indent);
    const qreal rightMargin = format.rightMargin() + (rightToLeft ? indent : 0);
    const qreal lineLeft = leftMargin;
    const qreal lineRight = width - rightMargin;
    const int heightType = format.lineHeightType();

    // Qt measures stops from each line's start; the paragraph's count from the column's edge.
    const bool tabs = text.contains(u'\t');
    const LineTabs::Origins origins = LineTabs::originsOf(format, direction, indent);
    const auto stopsFrom = [&](qreal origin) {
        return LineTabs::fromLineStart(format.tabPositions(), origin / scale,
                                       settings.option.tabStopDistance(), width / scale);
    };
    const bool originsDiffer = firstPiece && origins.first != origins.others;
    option.setTabs(tabs ? stopsFrom(firstPiece ? origins.first : origins.others)
                        : format.tabPositions());
    layout.setTextOption(option);

    qreal y = 0;
    qreal bottom = 0;
    bool firstLine = firstPiece;
    layout.beginLayout();
    while (true) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLeadingIncluded(true);
        qreal left = lineLeft;
        qreal right = lineRight;
        if (firstLine) {
            const qreal textIndent = format.textIndent();
            if (rightToLeft)
                right -= textIndent;
            else
                left += textIndent;
            firstLine = false;
        }
        line.setLineWidth(right - left);
        if (line.naturalTextWidth() > right - left) {
            // A word wider than the line: break it anywhere rather than overflow.
            if (wordOrAnywhere) {
                option.setWrapMode(QTextOption::WrapAnywhere);
                layout.setTextOption(option);
            }
            line.setLineWidth(qMax<qreal>(line.naturalTextWidth(), right - left));
            if (wordOrAnywhere) {
                option.setWrapMode(QTextOption::WordWrap);
                layout.setTextOption(option);
            }
        }
        if (tabs && originsDiffer && line.lineNumber() == 0 &&
            LineTabs::othersDecide(text, line.textStart() + line.textLength())) {
            // The lines after the first hold the tabs: they have the stops, as in Qt's layout.
            option.setTabs(stopsFrom(origins.others));
            layout.setTextOption(option);
        }
        const qreal height = line.height();
        const qreal rawHeight = qCeil(line.ascent() + line.descent() + line.leading());
        const qreal lineHeight = format.lineHeight(rawHeight, scale);
        const qreal lineBottom = format.lineHeight(height, scale);
        qreal adjustment = 0;
        if (heightType == QTextBlockFormat::FixedHeight)
            adjustment = line.ascent() + qMax<qreal>(line.leading(), 0) - lineHeight * 4 / 5;
        else if (heightType == QTextBlockFormat::MinimumHeight)
            adjustment = height - lineHeight;
        if (paging) {
            const bool given = heightType == QTextBlockFormat::FixedHeight ||
                               heightType == QTextBlockFormat::MinimumHeight;
            const qreal at = paging->top + y;
            y += paging->place(at, given ? lineBottom : height) - at;
        }
        line.setPosition(QPointF(left, y - adjustment));
        bottom = y + lineBottom;
        y += lineHeight;
        widest = qMax(widest, line.x() + line.naturalTextWidth() + rightMargin);
    }
    layout.endLayout();
    return qMax(y, bottom);
}

} // namespace ParagraphLines
