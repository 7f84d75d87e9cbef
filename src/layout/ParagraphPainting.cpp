#include "layout/ParagraphPainting.h"

#include "model/DocumentProperties.h"
#include "model/ListNumbers.h"

#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>

#include <algorithm>

namespace ParagraphPainting {

namespace {
using PaintContext = QAbstractTextDocumentLayout::PaintContext;
using Selection = QAbstractTextDocumentLayout::Selection;

void drawListMarker(QPainter* painter, const PaintContext& context, const QTextBlock& block,
                    const QTextLayout* layout, const Settings& settings,
                    const QTextCharFormat* selectionFormat);
} // namespace

void draw(QPainter* painter, const PaintContext& context, const QTextBlock& block,
          const QTextLayout& paragraph, const Settings& settings) {
    const QTextLayout* layout = &paragraph;
    QRectF bounds = layout->boundingRect();
    bounds.translate(layout->position());
    if (!block.isVisible() || (context.clip.isValid() && (bounds.bottom() < context.clip.y() ||
                                                          bounds.top() > context.clip.bottom())))
        return;
    const QTextBlockFormat format = block.blockFormat();
    const QBrush background = format.background();
    if (background != Qt::NoBrush) {
        painter->save();
        painter->setBrushOrigin(bounds.topLeft());
        painter->fillRect(bounds, background);
        painter->restore();
    }

    QList<QTextLayout::FormatRange> selections;
    const int position = block.position();
    const int length = block.length();
    const QTextCharFormat* selectionFormat = nullptr;
    for (const Selection& range : context.selections) {
        const int start = range.cursor.selectionStart() - position;
        const int end = range.cursor.selectionEnd() - position;
        if (start < length && end > 0 && end > start) {
            selections.append({start, end - start, range.format});
        } else if (!range.cursor.hasSelection() &&
                   range.format.hasProperty(QTextFormat::FullWidthSelection) &&
                   block.contains(range.cursor.position())) {
            const QTextLine line = layout->lineForTextPosition(range.cursor.position() - position);
            QTextLayout::FormatRange whole{line.textStart(), line.textLength(), range.format};
            if (whole.start + whole.length == length - 1)
                ++whole.length;
            selections.append(whole);
        }
        if (start < 0 && end >= 1)
            selectionFormat = &range.format;
    }

    if (const auto* list =
            qobject_cast<const QTextList*>(block.document()->objectForFormat(format))) {
        if (list->format().style() != QTextListFormat::ListStyleUndefined)
            drawListMarker(painter, context, block, layout, settings, selectionFormat);
    }

    const QPen pen = painter->pen();
    painter->setPen(context.palette.color(QPalette::Text));
    const QRectF& frame = settings.frame;
    layout->draw(painter, QPointF(), selections,
                 context.clip.isValid() ? (context.clip & frame) : frame);
    if ((context.cursorPosition >= position && context.cursorPosition < position + length) ||
        (context.cursorPosition < -1 && !layout->preeditAreaText().isEmpty())) {
        int caret = context.cursorPosition;
        if (caret < -1)
            caret = layout->preeditAreaPosition() - (caret + 2);
        else
            caret -= position;
        layout->drawCursor(painter, QPointF(), caret, settings.cursorWidth);
    }
    painter->setPen(pen);
}

namespace {
void drawListMarker(QPainter* painter, const PaintContext& context, const QTextBlock& block,
                    const QTextLayout* layout, const Settings& settings,
                    const QTextCharFormat* selectionFormat) {
    if (layout->lineCount() == 0)
        return;
    const QTextBlockFormat blockFormat = block.blockFormat();
    // In the format of the paragraph's text: the block's own is the mark before it, which may be
    // a heading's before a paragraph of body text.
    QTextCharFormat charFormat = block.charFormat();
    if (const auto first = block.begin();
        !first.atEnd() && !first.fragment().charFormat().isImageFormat())
        charFormat = first.fragment().charFormat();
    QFont font(charFormat.font());
    if (settings.device)
        font = QFont(font, settings.device);
    const QFontMetrics metrics(font);
    const auto* list =
        static_cast<const QTextList*>(block.document()->objectForFormat(blockFormat));
    int style = list->format().style();
    if (blockFormat.hasProperty(QTextFormat::ListStyle))
        style = blockFormat.intProperty(QTextFormat::ListStyle);

    const Qt::LayoutDirection direction = block.textDirection();
    QPointF at = layout->position().toPoint();
    const QRectF firstLine = layout->lineAt(0).naturalTextRect();
    at += firstLine.topLeft().toPoint();
    if (direction == Qt::RightToLeft)
        at.rx() += firstLine.width();

    QString number;
    QSizeF size;
    switch (style) {
    case QTextListFormat::ListDecimal:
    case QTextListFormat::ListLowerAlpha:
    case QTextListFormat::ListUpperAlpha:
    case QTextListFormat::ListLowerRoman:
    case QTextListFormat::ListUpperRoman:
        number = ListNumbers::itemText(block);
        size = QSizeF(metrics.horizontalAdvance(number), metrics.height());
        break;
    case QTextListFormat::ListSquare:
    case QTextListFormat::ListCircle:
    case QTextListFormat::ListDisc:
        size = QSizeF(metrics.lineSpacing() / 3, metrics.lineSpacing() / 3);
        break;
    default:
        return;
    }
    QRectF marker(at, size);
    const qreal space = metrics.horizontalAdvance(u' ');
    marker.translate(direction == Qt::LeftToRight ? -space - size.width() : space,
                     metrics.height() / 2 - size.height() / 2);
    // A number or bullet starts where the paragraph's first line does, the text standing at the
    // hanging indent after it, when there is room for it there: as printed.
    const qreal room = blockFormat.doubleProperty(DocumentProperty::ListMarkerRoom);
    if (size.width() + space <= room)
        marker.moveLeft(direction == Qt::LeftToRight ? at.x() - room
                                                     : at.x() + room - size.width());

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    if (selectionFormat) {
        painter->setPen(QPen(selectionFormat->foreground(), 0));
        painter->fillRect(marker, selectionFormat->background());
    } else {
        QBrush foreground = charFormat.foreground();
        if (foreground == Qt::NoBrush)
            foreground = context.palette.text();
        painter->setPen(QPen(foreground, 0));
    }
    const QBrush brush = context.palette.brush(QPalette::Text);
    switch (style) {
    case QTextListFormat::ListSquare:
        painter->fillRect(marker, brush);
        break;
    case QTextListFormat::ListCircle:
        painter->setPen(QPen(brush, 0));
        painter->drawEllipse(marker.translated(0.5, 0.5));
        break;
    case QTextListFormat::ListDisc:
        painter->setBrush(brush);
        painter->setPen(Qt::NoPen);
        painter->drawEllipse(marker);
        break;
    default: {
        QTextLayout text(number, font, settings.device);
        text.setCacheEnabled(true);
        QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
        option.setTextDirection(direction);
        text.setTextOption(option);
        text.beginLayout();
        QTextLine line = text.createLine();
        if (line.isValid())
            line.setLeadingIncluded(true);
        text.endLayout();
        // On the first line's baseline, whatever the sizes of the number's and the text's fonts.
        const auto baseline = [](const QTextLine& of) {
            return of.ascent() + (of.leadingIncluded() ? std::max<qreal>(0, of.leading()) : 0);
        };
        const qreal numberBaseline = line.isValid() ? baseline(line) : metrics.ascent();
        text.draw(painter,
                  QPointF(marker.left(), at.y() + baseline(layout->lineAt(0)) - numberBaseline));
        break;
    }
    }
    painter->restore();
}
} // namespace

} // namespace ParagraphPainting
