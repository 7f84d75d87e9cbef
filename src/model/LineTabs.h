#pragma once

#include <QList>
#include <QTextOption>

class QTextBlock;
class QTextBlockFormat;
class QTextDocument;

// A paragraph's tab stops are distances from the margin (from a cell's edge in a table), whatever
// its indents, and so are the default stops every `tabStopDistance`. Qt's text layout measures
// the stops it is given from the start of each line instead, so both layouts hand it the stops
// as seen from where the line starts.
//
// One paragraph has one list of stops in Qt's layout, while its first line may start elsewhere
// than the others: the list is the first line's when the first line holds a tab or is the only
// line, else the following lines'. Only a paragraph with tabs both on its first line and on a
// later one, and a first-line indent, keeps a line whose stops are off by that indent.
namespace LineTabs {

// Where the lines of a paragraph start, from the margin on the side its text starts from.
struct Origins {
    qreal first = 0;
    qreal others = 0;
};

// `listIndent` is the indent of the paragraph's list and its own `indent()`, in layout units.
Origins originsOf(const QTextBlockFormat& format, Qt::LayoutDirection direction, qreal listIndent);

// The stops of a line that starts `origin` from the margin, sorted, as Qt measures them from
// the line's start, with the default stops after the last one spelt out up to `reach` from the
// line's start (Qt's own default stops count from the line's start). A distance of 0 or less
// means Qt's default distance.
QList<QTextOption::Tab> fromLineStart(const QList<QTextOption::Tab>& stops, qreal origin,
                                      qreal defaultDistance, qreal reach);

// Whether the paragraph's lines after its first, from `firstLineEnd` (an offset in `text`) on,
// should have the stops: they hold a tab and the first line does not.
bool othersDecide(const QString& text, int firstLineEnd);

// Rewrites the stops of every paragraph of `document`, a copy laid out by Qt's own layout, as Qt
// measures them, so that its tabs stand where the pane shows them. Lays the copy out.
void measureFromLineStarts(QTextDocument& document);

} // namespace LineTabs
