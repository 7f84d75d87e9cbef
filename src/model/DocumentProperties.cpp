#include "model/DocumentProperties.h"

#include "model/Twips.h"

#include <QTextBlockFormat>

#include <algorithm>

void setListIndents(QTextBlockFormat& format, qreal left, qreal first) {
    // The least room for a number: "10." in a 12-point font.
    constexpr qreal minRoom = Twips::toLayout(360);
    const qreal number = left + first;
    qreal text = first < 0 ? left : number;
    // The number is followed by a tab: to the hanging indent, or to a stop the paragraph has
    // before it.
    for (const QTextOption::Tab& stop : format.tabPositions()) {
        if (stop.position > number && stop.position < text)
            text = stop.position;
    }
    text = std::max(text, std::max<qreal>(number, 0) + minRoom);
    format.setLeftMargin(left);
    format.setTextIndent(text - left);
    format.setProperty(DocumentProperty::ListMarkerRoom, text - number);
}
