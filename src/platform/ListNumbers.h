#pragma once

class QString;
class QTextBlock;
class QTextDocument;

// Qt marks every item of a list for layout again each time an item joins it, so one list of n
// items costs n² to build or to add to. A long numbered list is therefore held as a run of
// short lists, each after the first marked as continuing the list before it
// (DocumentProperty::ListContinues). The pane draws the numbers the run counts; Qt's own layout
// (printing, documents with tables) counts each list from 1, so there the run is joined back
// into one list while that costs little.
namespace ListNumbers {

// Where a long numbered list is cut.
constexpr int itemsPerList = 256;
// Where a long run of bullets is cut: they look the same in any list.
constexpr int bulletsPerList = 32;
// The longest run joined back into one list: about a third of a second.
constexpr int maxJoinedItems = 4096;

// The paragraph's number in its run of lists, from 1; 0 outside lists.
int itemNumber(const QTextBlock& block);
// The number or letter as drawn before the paragraph ("12."), empty outside lists.
QString itemText(const QTextBlock& block);

bool hasRuns(const QTextDocument& document);
// Joins each run of at most `maxItems` items into its first list.
void joinRuns(QTextDocument& document, int maxItems = maxJoinedItems);

} // namespace ListNumbers
