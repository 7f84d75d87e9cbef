#pragma once

#include <Qt>

// A paragraph's justification as the pane reads and sets it. The values are the pane's own
// codes, in the order the program has always numbered them: right comes before centre.
// Justified paragraphs come only from files; no button or option sets them.
enum class Alignment { Left = 0, Right = 1, Centre = 2, Justified = 3 };

// Each justification as Qt's layout takes it, from one table.
Qt::Alignment qtAlignmentOf(Alignment alignment);
// A paragraph's Qt alignment read back; anything but right, centre or justified is left.
Alignment alignmentOf(Qt::Alignment alignment);
