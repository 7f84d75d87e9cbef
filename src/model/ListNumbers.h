#pragma once

#include <QHash>
#include <QString>

class QTextBlock;
class QTextDocument;
class QTextList;

// Qt marks every item of a list for layout again each time an item joins it, so one list of n
// items costs n² to build or to add to. A long numbered list is therefore held as a run of
// short lists, each after the first marked as continuing the list before it
// (DocumentProperty::ListContinues). The pane draws the numbers the run counts; Qt's own layout
// (printing, documents with tables) counts each list from 1, so there the run is joined back
// into one list while that costs little.
//
// Lists read from files' list tables (DocumentProperty::ListId) count as those files mean: the
// items of one list count on across the paragraphs between them, each level on its own, a deeper
// level from its start again under each new item above it, and the number is written out in the
// level's text ("1.", "(a)", "2.1"). This is the one place that counts them: the pane's drawing,
// the RTF writer and printed copies all ask here.
namespace ListNumbers {

// Where a long numbered list is cut.
constexpr int itemsPerList = 256;
// Where a long run of bullets is cut: they look the same in any list.
constexpr int bulletsPerList = 32;
// The longest run joined back into one list: about a third of a second.
constexpr int maxJoinedItems = 4096;

// The paragraph's number in its list, counted from the level's start; 0 outside lists.
int itemNumber(const QTextBlock& block);
// What stands before the paragraph: its number in its level's text ("12.", "(b)", "1.3"), or
// the bullet character; empty outside lists.
QString itemText(const QTextBlock& block);

// The same for many paragraphs of a document that does not change meanwhile (saving, printing):
// it remembers where each list's count starts, so that numbering every paragraph of a long list
// costs as much as the list is long.
class Numbering {
public:
    int itemNumber(const QTextBlock& block);
    QString itemText(const QTextBlock& block);

private:
    int itemsBefore(const QTextList& list);
    QHash<const QTextList*, int> m_itemsBefore;
};
// `number` as a level of `list`'s style writes it: "4", "d", "IV".
QString numberText(const QTextList& list, int number);

// The item of `list`'s own paragraphs that it counts on from, if any: the last item of the
// list before it in the same run or, for lists from list tables, the last item of the same list
// and level before it that no item of a lower level follows.
QTextBlock itemBefore(const QTextList& list);

// Gives `list` the prefix and suffix around its numbers that its first item's text has, for Qt's
// own layout, which draws them with its own count. `numbering` may have counted the paragraphs
// before the list.
void setQtAffixes(QTextList& list, Numbering& numbering);

bool hasRuns(const QTextDocument& document);
// Joins each run of at most `maxItems` items into its first list.
void joinRuns(QTextDocument& document, int maxItems = maxJoinedItems);

// For a copy to be laid out by Qt (printing): each list paragraph leaves its list and starts
// with its number or bullet as text and a tab, the number where the paragraph's first line
// starts and its text at the hanging indent, as other word processors print them.
void writeOutNumbers(QTextDocument& document);

} // namespace ListNumbers
